#pragma once

#include "config/camsettings.h"
#include "source/picturesource.h"

// How a cam's source connects, as its owner chose it (kept in the cam's own settings, section
// "CamChoices", as "transport=udp"; a damaged text reads as the defaults).
extern const CamKey<SourceChoices> sourceChoicesKey;
