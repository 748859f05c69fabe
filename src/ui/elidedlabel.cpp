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
