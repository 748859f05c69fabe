#pragma once

#include "history/camhistory.h"
#include "history/daymotion.h"

#include <QWidget>
#include <atomic>
#include <map>
#include <memory>

class BackgroundQueue;
class PicturesAhead;
class SliderMarks;
class QComboBox;
class QLabel;
class QPushButton;
class QSlider;
class QTimer;
class QToolButton;

// Under the viewer's picture: the selected cam's saved pictures, one day at a time. The slider
// goes through the day's pictures (its hours marked below it; Home, End, the arrows and Page
// Up/Down move it) and shows each with its time; "Live" goes back to the running picture; Play
// shows the day as a loop at the chosen speed; Export Range makes a film of the day shown. The
// day's motion events are judged from its pictures off the window's thread and shown as a band
// along the slider; the arrows (Ctrl+Left, Ctrl+Right) go to the previous and next event.
class HistoryStrip : public QWidget {
    Q_OBJECT
  public:
    explicit HistoryStrip(QWidget* parent);
    ~HistoryStrip() override;

    // The cam's history, as read from the folder; the strip shows the newest day, live.
    void setHistory(CamHistory history);
    const CamHistory& history() const { return m_history; }
    // A picture saved since: the history follows it.
    void addSaved(const QString& path);
    // A saved picture is shown rather than the running one.
    bool isBrowsing() const { return m_browsing; }
    // The index in the history of the picture the slider is on.
    size_t currentIndex() const;
    // Back to the running picture.
    void goLive();

    // The cam's motion choices, by which its days are judged.
    void setMotionChoices(const MotionSettings& settings, const MotionMask& mask);
    // To the first picture of the previous (-1) or next (+1) motion event of the day shown.
    void stepEvent(int step);
    // The day's events as [first, end) slider values; none until the day is judged.
    const std::vector<std::pair<int, int>>& dayEvents() const;
    bool isJudging() const { return !m_judging.isEmpty(); }

    QSlider* slider() const { return m_slider; }
    QComboBox* dayBox() const { return m_day; }
    QPushButton* playButton() const { return m_play; }
    QLabel* timeLabel() const { return m_time; }

  signals:
    // A saved picture to show in place of the running one.
    void pictureChosen(const QImage& picture);
    void liveChosen();
    void exportRangeRequested(const QByteArray& cam, const QDateTime& from, const QDateTime& to);

  private:
    void makeEventButtons();
    void showDay(int dayIndex, bool atEnd);
    void fillDays();
    void moveTo(int sliderValue);
    void showWhenDecoded(const QString& path, const QImage& picture);
    void playStep();
    void updateTimeText();
    // The band of the day shown, from its judgement; the day is judged when it has none, and
    // the pictures saved since the last judgement are judged on.
    void showDayMotion();
    void judgeDay(const QString& key, const DayMotion& before, const QStringList& paths, int from);
    // A judgement under way is not wanted any more.
    void stopJudging();
    QString dayKey() const;

    CamHistory m_history;
    std::vector<QDate> m_days;
    size_t m_first = 0, m_end = 0; // the shown day's pictures
    bool m_browsing = false;
    QString m_waitingFor; // the picture chosen, while it is decoded
    PicturesAhead* m_ahead = nullptr;
    QComboBox* m_day = nullptr;
    QSlider* m_slider = nullptr;
    SliderMarks* m_hours = nullptr;
    QToolButton* m_previousEvent = nullptr;
    QToolButton* m_nextEvent = nullptr;
    MotionSettings m_motion;
    MotionMask m_mask;
    std::map<QString, DayMotion> m_judged; // by cam, day and choices, the last few
    QString m_judging;                     // the day being judged; one at a time
    std::shared_ptr<std::atomic<bool>> m_stopJudging;
    std::unique_ptr<BackgroundQueue> m_judge;
    QLabel* m_time = nullptr;
    QPushButton* m_play = nullptr;
    QComboBox* m_speed = nullptr;
    QPushButton* m_export = nullptr;
    QPushButton* m_live = nullptr;
    QTimer* m_player = nullptr;
};
