#include "ui/statustext.h"

#include <QPainter>
#include <QStyle>

StatusText::StatusText(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

void StatusText::setText(const QString& text) {
    if (text == m_text)
        return;
    m_text = text;
    setAccessibleName(text);
    update();
}

QSize StatusText::sizeHint() const {
    return {minimumWidth(), fontMetrics().height()};
}

QSize StatusText::minimumSizeHint() const {
    return sizeHint();
}

void StatusText::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    style()->drawItemText(
        &painter, contentsRect(),
        int(QStyle::visualAlignment(layoutDirection(), Qt::AlignLeft | Qt::AlignVCenter)),
        palette(), isEnabled(), m_text, foregroundRole());
}
