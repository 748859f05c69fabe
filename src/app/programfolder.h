#pragma once

#include <QString>

// The folder of the executable, without a trailing "/": the cam list, Help.rtf and the cam
// folder live there.
QString programFolder();
