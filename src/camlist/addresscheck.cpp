#include "camlist/addresscheck.h"

AddressChecker::~AddressChecker() = default;
