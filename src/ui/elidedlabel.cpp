#include "ui/elidedlabel.h"

#include <QPainter>
#include <QStyle>

bool ElidedLabel::isElided() const {
    return fontMetrics().horizontalAdvance(text()) > contentsRect().width();
}

void ElidedLabel::setNote(const QString& note) {
    m_note = note;
    setToolTip(note);
    update();
}

void ElidedLabel::setRoomFor(const QString& sample) {
    m_roomFor = sample;
    updateGeometry();
}

QSize ElidedLabel::sizeHint() const {
    QSize size = QLabel::sizeHint();
    if (!m_roomFor.isEmpty())
        size.setWidth(fontMetrics().horizontalAdvance(m_roomFor) +
                      fontMetrics().averageCharWidth() + contentsMargins().left() +
                      contentsMargins().right());
    return size;
}

QSize ElidedLabel::minimumSizeHint() const {
    if (!m_roomFor.isEmpty())
        return sizeHint();
    // room for the "..." that says there is more
    return {fontMetrics().horizontalAdvance(QStringLiteral("MMM\u2026")),
            QLabel::minimumSizeHint().height()};
}

void ElidedLabel::paintEvent(QPaintEvent*) {
    const QRect area = contentsRect();
    const QString shown = fontMetrics().elidedText(text(), Qt::ElideRight, area.width());
    // the whole text in the tooltip while it is cut, only the note otherwise
    const QString tip = shown == text()    ? m_note
                        : m_note.isEmpty() ? text()
                                           : text() + '\n' + m_note;
    if (toolTip() != tip)
        setToolTip(tip);
    QPainter painter(this);
    style()->drawItemText(&painter, area, int(alignment()), palette(), isEnabled(), shown,
                          foregroundRole());
}
