#pragma once

#include <QString>

class QWidget;

// Gives a window the program's icon group (every size of it), and its top-level owner as well
// when `alsoOwner` is true.
void SetWindowIcons(QWidget* window, const QString& iconName, bool alsoOwner);

// Keeps a window above all others, or returns it to the normal order; it is neither moved nor
// resized.
void SetTopmost(QWidget* targetForm, bool onTop);
