#include "ui/widgetkit.h"

#include "ui/screentwips.h"

#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QToolButton>
#include <QWidget>
#include <algorithm>

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

int WidenLabelsToText(QWidget* window) {
    int needed = 0;
    const QList<QWidget*> children = window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* child : children) {
        auto* label = qobject_cast<QLabel*>(child);
        if (!label || label->wordWrap() || label->text().isEmpty() || !label->pixmap().isNull() ||
            label->inherits("ElidedLabel"))
            continue;
        int textWidth = 0;
        for (const QString& line : label->text().split('\n'))
            textWidth = std::max(textWidth, label->fontMetrics().horizontalAdvance(line));
        const QMargins margins = label->contentsMargins();
        const int width = textWidth + margins.left() + margins.right() + 2 * label->indent() + 2;
        if (width <= label->width())
            continue;
        const QRect wanted(label->pos(), QSize(width, label->height()));
        const bool blocked = std::any_of(children.begin(), children.end(), [&](QWidget* other) {
            return other != label && !other->isHidden() && other->geometry().intersects(wanted) &&
                   !other->geometry().intersects(label->geometry());
        });
        if (blocked)
            continue;
        label->resize(width, label->height());
        needed = std::max(needed, wanted.right() + 1 + label->x());
    }
    return needed;
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
