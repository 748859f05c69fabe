#include "viewer/slidermarks.h"

#include "ui/motioncolour.h"

#include <QPainter>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>

namespace {

constexpr int bandHeight = 4;

} // namespace

SliderMarks::SliderMarks(QSlider* slider, QWidget* parent) : QWidget(parent), m_slider(slider) {
    setMinimumHeight(bandHeight + fontMetrics().height() + 4);
}

void SliderMarks::setHours(std::vector<std::pair<int, int>> marks) {
    m_hours = std::move(marks);
    update();
}

void SliderMarks::setEvents(std::vector<std::pair<int, int>> events) {
    m_events = std::move(events);
    update();
}

int SliderMarks::placeOf(int value) const {
    QStyleOptionSlider option;
    option.initFrom(m_slider);
    option.orientation = Qt::Horizontal;
    option.minimum = m_slider->minimum();
    option.maximum = m_slider->maximum();
    const QRect groove = m_slider->style()->subControlRect(QStyle::CC_Slider, &option,
                                                           QStyle::SC_SliderGroove, m_slider);
    const QRect handle = m_slider->style()->subControlRect(QStyle::CC_Slider, &option,
                                                           QStyle::SC_SliderHandle, m_slider);
    const int span = std::max(groove.width() - handle.width(), 0);
    const int offset = m_slider->x() - x() + groove.x() + handle.width() / 2;
    return offset + QStyle::sliderPositionFromValue(option.minimum, option.maximum, value, span);
}

void SliderMarks::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // an event at least three pixels wide, so a single picture's shows
    for (const auto& [first, end] : m_events) {
        const int from = placeOf(first), to = placeOf(std::max(first, end - 1));
        painter.fillRect(QRect(from - 1, 0, std::max(to - from, 0) + 3, bandHeight),
                         MotionColour());
    }
    painter.setPen(palette().color(QPalette::WindowText));
    int lastLabelEnd = -1000;
    for (const auto& [value, hour] : m_hours) {
        const int at = placeOf(value);
        painter.drawLine(at, bandHeight, at, bandHeight + 3);
        const QString label = QString::number(hour);
        const int width = fontMetrics().horizontalAdvance(label);
        if (at - width / 2 > lastLabelEnd + 4) { // labels that fit, the others left out
            painter.drawText(at - width / 2, bandHeight + 4 + fontMetrics().ascent(), label);
            lastLabelEnd = at + width / 2;
        }
    }
}
