#include "viewer/maskeditor.h"

#include "ui/motioncolour.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>

MaskEditor::MaskEditor(QWidget* picture) : QWidget(picture) {
    setObjectName("motionMaskEditor");
    setAccessibleName(tr("Motion mask"));
    setAccessibleDescription(tr("Drag over the picture to ignore a part of it; drag from an "
                                "ignored part to watch it again"));
    setCursor(Qt::CrossCursor);
    setGeometry(picture->rect());
    picture->installEventFilter(this);
    hide();
}

void MaskEditor::setMask(const MotionMask& mask) {
    m_mask = mask;
    update();
}

bool MaskEditor::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parent() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return false;
}

QRect MaskEditor::cellRect(int column, int row) const {
    const auto edge = [](int length, int cell, int cells) { return length * cell / cells; };
    const int left = edge(width(), column, MotionMask::columns);
    const int top = edge(height(), row, MotionMask::rows);
    return QRect(QPoint(left, top), QPoint(edge(width(), column + 1, MotionMask::columns) - 1,
                                           edge(height(), row + 1, MotionMask::rows) - 1));
}

QRectF MaskEditor::sharesOf(const QRect& area) const {
    const double across = std::max(width(), 1), down = std::max(height(), 1);
    return QRectF(area.x() / across, area.y() / down, area.width() / across, area.height() / down);
}

void MaskEditor::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QColor masked = MotionColour();
    masked.setAlpha(90);
    for (int row = 0; row < MotionMask::rows; ++row)
        for (int column = 0; column < MotionMask::columns; ++column)
            if (m_mask.isMasked(column, row))
                painter.fillRect(cellRect(column, row), masked);
    // the grid, faintly, so a user sees what a drag will take
    painter.setPen(QColor(255, 255, 255, 40));
    for (int column = 1; column < MotionMask::columns; ++column)
        painter.drawLine(cellRect(column, 0).left(), 0, cellRect(column, 0).left(), height());
    for (int row = 1; row < MotionMask::rows; ++row)
        painter.drawLine(0, cellRect(0, row).top(), width(), cellRect(0, row).top());
    if (!m_drag.isEmpty()) {
        painter.setPen(QPen(m_freeing ? Qt::white : MotionColour(), 2, Qt::DashLine));
        painter.drawRect(m_drag);
    }
}

void MaskEditor::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    m_dragStart = event->position().toPoint();
    const QRect cell = MotionMask::cellsOf(sharesOf(QRect(m_dragStart, QSize(1, 1))));
    m_freeing = m_mask.isMasked(cell.x(), cell.y());
    m_drag = QRect(m_dragStart, QSize(1, 1));
    update();
}

void MaskEditor::mouseMoveEvent(QMouseEvent* event) {
    if (m_drag.isEmpty())
        return;
    const QPoint at = event->position().toPoint();
    // both corners inside, whichever way the drag went
    m_drag = QRect(QPoint(std::min(at.x(), m_dragStart.x()), std::min(at.y(), m_dragStart.y())),
                   QPoint(std::max(at.x(), m_dragStart.x()), std::max(at.y(), m_dragStart.y()))) &
             rect();
    update();
}

void MaskEditor::mouseReleaseEvent(QMouseEvent* event) {
    if (m_drag.isEmpty() || event->button() != Qt::LeftButton)
        return;
    m_mask.setMasked(MotionMask::cellsOf(sharesOf(m_drag)), !m_freeing);
    m_drag = QRect();
    update();
    emit maskChanged(m_mask);
}
