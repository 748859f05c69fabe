#include "ui/widgetkit.h"

#include "ui/screentwips.h"

#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QToolButton>
#include <QWidget>

QFont designFont(const QString& /*family*/, double points, bool bold) {
    QFont font = QGuiApplication::font();
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * points / 8.25);
    font.setBold(bold);
    return font;
}

QFont plainDefaultFont() {
    QFont font = QGuiApplication::font();
    font.setBold(false);
    return font;
}

QToolButton* makePictureButton(QWidget* parent, const QString& name, const QString& caption,
                               const QString& tooltip, const QString& picture, ButtonFace face,
                               int pictureSize) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(caption);
    button->setToolTip(tooltip);
    button->setIcon(QIcon(picture));
    button->setIconSize(QSize(pictureSize, pictureSize));
    button->setToolButtonStyle(face == ButtonFace::PictureOnly ? Qt::ToolButtonIconOnly
                                                               : Qt::ToolButtonTextUnderIcon);
    button->setFont(plainDefaultFont());
    // a picture alone says nothing to a screen reader: the tooltip names the button
    if (caption.isEmpty())
        button->setAccessibleName(tooltip);
    else if (tooltip != caption)
        button->setAccessibleDescription(tooltip);
    return button;
}

void bringForward(QWidget* window) {
    window->show();
    window->raise();
    window->activateWindow();
}

void setGeometryTwips(QWidget* widget, int left, int top, int width, int height) {
    widget->setGeometry(tw(left), tw(top), tw(width), tw(height));
}

void setGeometryTwips(QWidget* widget, const QRect& twips) {
    setGeometryTwips(widget, twips.x(), twips.y(), twips.width(), twips.height());
}

QImage makeHiddenPicture(QWidget* parent, const char* name, const QString& picture,
                         const QRect& twips) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    if (!picture.isEmpty())
        label->setPixmap(QPixmap(picture));
    setGeometryTwips(label, twips);
    label->hide();
    return picture.isEmpty() ? QImage() : label->pixmap().toImage();
}
