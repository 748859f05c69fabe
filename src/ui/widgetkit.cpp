#include "ui/widgetkit.h"

#include "ui/screentwips.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
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

namespace {

// The width a label's or a button's whole text needs; 0 for other widgets, a picture, wrapped
// text, and labels that cut their text themselves.
int widthForText(const QWidget* widget) {
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
        // a push or tool button shows its text between narrow margins, a check box beside its box
        const QString text = QString(button->text()).remove('&');
        if (text.isEmpty())
            return 0;
        if (button->inherits("QCheckBox") || button->inherits("QRadioButton"))
            return button->sizeHint().width();
        return button->fontMetrics().horizontalAdvance(text) + 8;
    }
    const auto* label = qobject_cast<const QLabel*>(widget);
    if (!label || label->wordWrap() || label->text().isEmpty() || !label->pixmap().isNull() ||
        label->inherits("ElidedLabel"))
        return 0;
    int textWidth = 0;
    for (const QString& line : label->text().split('\n'))
        textWidth = std::max(textWidth, label->fontMetrics().horizontalAdvance(line));
    const QMargins margins = label->contentsMargins();
    return textWidth + margins.left() + margins.right() + 2 * label->indent() + 2;
}

} // namespace

int WidenToText(QWidget* window) {
    int needed = 0;
    const QList<QWidget*> children = window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* child : children) {
        const int width = widthForText(child);
        if (width <= child->width())
            continue;
        const QRect wanted(child->pos(), QSize(width, child->height()));
        const bool blocked = std::any_of(children.begin(), children.end(), [&](QWidget* other) {
            return other != child && !other->isHidden() && other->geometry().intersects(wanted) &&
                   !other->geometry().intersects(child->geometry());
        });
        if (blocked)
            continue;
        child->resize(width, child->height());
        needed = std::max(needed, wanted.right() + 1 + tw(60));
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

void ShowWholeTextOnHover(QLineEdit* box) {
    QObject::connect(box, &QLineEdit::textChanged, box, [box, own = box->toolTip()] {
        const int room = box->width() - 2 * box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
        const bool cut = box->fontMetrics().horizontalAdvance(box->text()) > room;
        box->setToolTip(!cut ? own : own.isEmpty() ? box->text() : box->text() + '\n' + own);
    });
}

void SetTextShowingStart(QLineEdit* box, const QString& text) {
    box->setText(text);
    box->setCursorPosition(0);
}
