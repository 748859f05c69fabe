#pragma once

#include <QWidget>
#include <utility>
#include <vector>

class QSlider;

// Under the history slider: the hours of the day shown, marked where each hour's first picture
// is, and the day's motion events as a band over the pictures they span.
class SliderMarks : public QWidget {
  public:
    SliderMarks(QSlider* slider, QWidget* parent);

    // (slider value, hour) of each hour's first picture
    void setHours(std::vector<std::pair<int, int>> marks);
    // [first, end) slider values of each event; none while the day is being judged
    void setEvents(std::vector<std::pair<int, int>> events);
    const std::vector<std::pair<int, int>>& events() const { return m_events; }

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    // Where a slider value is, across this widget.
    int placeOf(int value) const;

    QSlider* m_slider;
    std::vector<std::pair<int, int>> m_hours;
    std::vector<std::pair<int, int>> m_events;
};
