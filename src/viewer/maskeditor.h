#pragma once

#include "motion/motionmask.h"

#include <QPoint>
#include <QWidget>

// Over the viewer's picture while the motion mask is edited: the masked cells shown faintly;
// a rectangle dragged over the picture masks the cells under it, or frees them when it starts
// on a masked cell. Lies over whatever widget it is given, at its size.
class MaskEditor : public QWidget {
    Q_OBJECT
  public:
    explicit MaskEditor(QWidget* picture);

    void setMask(const MotionMask& mask);
    const MotionMask& mask() const { return m_mask; }

  signals:
    // A drag changed the mask.
    void maskChanged(const MotionMask& mask);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    // A rectangle of this widget as shares of the picture (0 to 1).
    QRectF sharesOf(const QRect& area) const;
    QRect cellRect(int column, int row) const;

    MotionMask m_mask;
    QPoint m_dragStart;
    QRect m_drag; // the rectangle being dragged; empty when none
    bool m_freeing = false;
};
