#include "viewer/picturemouse.h"

#include "ui/screentwips.h"
#include "viewer/detailsblock.h"
#include "viewer/viewerpane.h"

#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace {

// a fourth of a doubling a wheel notch, as image viewers step
const double quarterStepIn = std::pow(2.0, 0.25);
const double quarterStepOut = 1 / quarterStepIn;
constexpr int maxSmoothZoom = 16;

} // namespace

PictureMouse::PictureMouse(ViewerPane& viewer, QWidget* area, QWidget* image)
    : QObject(&viewer), m_viewer(viewer), m_area(area), m_image(image) {
    area->installEventFilter(this);
    image->installEventFilter(this);
}

void PictureMouse::zoomAbout(int step, QPoint at, bool smooth) {
    DetailsBlock& details = *m_viewer.details();
    const QRect before = m_image->geometry();
    const double acrossX =
        std::clamp(double(at.x() - before.x()) / std::max(1, before.width()), 0.0, 1.0);
    const double acrossY =
        std::clamp(double(at.y() - before.y()) / std::max(1, before.height()), 0.0, 1.0);
    const QScrollBar* factors = details.zoomSlider();
    const double shown = m_viewer.shownScale();
    if (!smooth) {
        const int factor = details.isFit() ? factors->minimum() - 1 : details.zoomFactor();
        if (step < 0 && factor <= factors->minimum()) {
            if (!details.isFit())
                m_viewer.toggleFit();
        } else {
            details.setZoomScale(std::clamp(factor + step, factors->minimum(), factors->maximum()));
        }
    } else if (step < 0 && !details.isFit() && shown * quarterStepOut <= m_viewer.fitScale()) {
        m_viewer.toggleFit(); // smaller than Fit is Fit
    } else if (step > 0 || !details.isFit()) {
        const double fit = m_viewer.fitScale();
        details.setZoomScale(std::clamp(shown * (step > 0 ? quarterStepIn : quarterStepOut), fit,
                                        std::max(fit, double(maxSmoothZoom))));
    }
    if (details.isFit())
        return;
    // the point under the cursor stays under it, as far as the bars reach
    const QSize after = m_image->size();
    m_viewer.horizontalBar()->setValue(twipsOf(int(acrossX * after.width()) - at.x()));
    m_viewer.verticalBar()->setValue(twipsOf(int(acrossY * after.height()) - at.y()));
}

bool PictureMouse::eventFilter(QObject* watched, QEvent* event) {
    const auto inArea = [&](QPointF point) {
        return watched == m_image ? m_image->mapTo(m_area, point.toPoint()) : point.toPoint();
    };
    switch (event->type()) {
    case QEvent::Wheel: {
        auto* wheel = static_cast<QWheelEvent*>(event);
        if (const int notches = wheel->angleDelta().y(); notches != 0)
            zoomAbout(notches > 0 ? 1 : -1, inArea(wheel->position()),
                      !(wheel->modifiers() & Qt::ControlModifier));
        return true;
    }
    case QEvent::MouseButtonDblClick:
        m_viewer.toggleFit();
        return true;
    case QEvent::MouseButtonPress: {
        auto* press = static_cast<QMouseEvent*>(event);
        if (press->button() != Qt::LeftButton || m_viewer.details()->isFit())
            return false;
        m_dragFrom = press->globalPosition().toPoint();
        m_barsAtDrag = {m_viewer.horizontalBar()->value(), m_viewer.verticalBar()->value()};
        m_image->setCursor(Qt::ClosedHandCursor);
        return true;
    }
    case QEvent::MouseMove:
        if (m_dragFrom) {
            const QPoint moved =
                static_cast<QMouseEvent*>(event)->globalPosition().toPoint() - *m_dragFrom;
            m_viewer.horizontalBar()->setValue(m_barsAtDrag.x() - twipsOf(moved.x()));
            m_viewer.verticalBar()->setValue(m_barsAtDrag.y() - twipsOf(moved.y()));
            return true;
        }
        return false;
    case QEvent::MouseButtonRelease:
        if (m_dragFrom) {
            m_dragFrom.reset();
            m_image->unsetCursor();
            return true;
        }
        return false;
    default:
        return false;
    }
}
