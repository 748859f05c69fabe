#include "listpane/addresscheck.h"

AddressChecker::~AddressChecker() = default;
