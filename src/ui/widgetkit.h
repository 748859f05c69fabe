#pragma once

#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>

class QLineEdit;
class QToolButton;
class QWidget;

// Small pieces every window is built from.

// The desktop's font at the size the design's font of `points` has beside its normal 8.25
// points (the family names the design's face and is not used: the desktop's face is); `bold` is
// set either way, so a child never takes its frame's weight by accident.
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

// A hidden picture of a window, kept for other controls to take theirs from; returns it.
QImage makeHiddenPicture(QWidget* parent, const char* name, const QString& picture,
                         const QRect& twips);

// Labels and buttons placed at the design's sizes grow to the right to show their whole text (a
// larger desktop font, a longer translation) where no other control of `window` is in the way.
// Returns the width the window needs to hold them.
int WidenToText(QWidget* window);

// Places `widget` at a design position given in twips, within its parent.
void setGeometryTwips(QWidget* widget, int left, int top, int width, int height);
void setGeometryTwips(QWidget* widget, const QRect& twips);

// A box whose text may be longer than the box: set from the program it shows the text's start,
// and while the text does not fit, hovering shows it whole above the box's own tooltip.
void ShowWholeTextOnHover(QLineEdit* box);
void SetTextShowingStart(QLineEdit* box, const QString& text);
