#pragma once

#include "motion/motiondetector.h"

#include <QString>

// A cam's motion as its details and the dialogs' Test show it: "motion 3.2 % (starts at
// 1.5 %)", in the user's language and number format.
QString MotionLevelText(const MotionReading& reading);

// The name of a sensitivity as the user chooses it ("Medium").
QString MotionSensitivityText(MotionSensitivity sensitivity);
