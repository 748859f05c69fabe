#include "widgetkit.h"

#include <QGuiApplication>
#include <QIcon>
#include <QToolButton>

QFont designFont(const QString& family, double points, bool bold) {
    QFont font(family);
    font.setPointSizeF(points);
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
    return button;
}

void bringForward(QWidget* window) {
    window->show();
    window->raise();
    window->activateWindow();
}
