#include "engine/addresscheck.h"

AddressChecker::~AddressChecker() = default;
