#pragma once

#include <QFont>
#include <QString>

class QToolButton;
class QWidget;

// Small pieces every window is built from.

// A font of the given family and size; `bold` is set either way, so a child never takes its
// frame's weight by accident.
QFont designFont(const QString& family = QStringLiteral("Verdana"), double points = 8.25,
                 bool bold = false);
// The toolkit's default font, not bold.
QFont plainDefaultFont();

enum class ButtonFace { PictureAboveCaption, PictureOnly };

// A button showing a picture, above its caption unless it is a picture only.
QToolButton* makePictureButton(QWidget* parent, const QString& name, const QString& caption,
                               const QString& tooltip, const QString& picture,
                               ButtonFace face = ButtonFace::PictureAboveCaption,
                               int pictureSize = 32);

// Shows a window, or brings it to the front when it is already open.
void bringForward(QWidget* window);
