#include "viewer/historystrip.h"

#include "common/background.h"
#include "common/datetimetext.h"
#include "history/picturesahead.h"
#include "viewer/slidermarks.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimer>
#include <QToolButton>

namespace {

// The most a saved picture is shown at: the largest screen's pixels, as the full-screen view.
QSize largestScreen() {
    QSize largest;
    for (const QScreen* screen : QGuiApplication::screens())
        largest = largest.expandedTo(screen->size() * screen->devicePixelRatio());
    return largest;
}

} // namespace

HistoryStrip::HistoryStrip(QWidget* parent) : QWidget(parent) {
    setObjectName("historyStrip");
    m_ahead = new PicturesAhead(largestScreen(), this);
    m_day = new QComboBox(this);
    m_day->setObjectName("cboHistoryDay");
    m_day->setAccessibleName(tr("Day of the saved pictures"));
    m_slider = new QSlider(Qt::Horizontal, this);
    m_slider->setObjectName("sldHistory");
    m_slider->setAccessibleName(tr("Saved pictures"));
    m_hours = new SliderMarks(m_slider, this);
    m_hours->setAccessibleName(tr("Hours of the day and motion"));
    m_time = new QLabel(this);
    m_time->setObjectName("lblHistoryTime");
    m_play = new QPushButton(tr("Play"), this);
    m_play->setObjectName("cmdHistoryPlay");
    m_play->setCheckable(true);
    m_speed = new QComboBox(this);
    m_speed->setObjectName("cboHistorySpeed");
    m_speed->setAccessibleName(tr("Pictures a second"));
    for (int speed : {1, 2, 5, 10, 25})
        m_speed->addItem(tr("%n a second", nullptr, speed), speed);
    m_speed->setCurrentIndex(2);
    m_export = new QPushButton(tr("Export Range..."), this);
    m_export->setObjectName("cmdHistoryExport");
    m_export->setToolTip(tr("A time-lapse film of the day shown"));
    m_live = new QPushButton(tr("Live"), this);
    m_live->setObjectName("cmdHistoryLive");
    m_live->setToolTip(tr("Back to the running picture"));
    m_player = new QTimer(this);
    makeEventButtons();

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 2, 0, 0);
    grid->setVerticalSpacing(0);
    grid->addWidget(m_day, 0, 0);
    grid->addWidget(m_slider, 0, 1, 1, 4);
    grid->addWidget(m_hours, 1, 1, 1, 4);
    grid->addWidget(m_time, 2, 0, 1, 2);
    grid->addWidget(m_play, 2, 2);
    grid->addWidget(m_speed, 2, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_previousEvent);
    buttons->addWidget(m_nextEvent);
    buttons->addWidget(m_export);
    buttons->addWidget(m_live);
    grid->addLayout(buttons, 2, 4);
    grid->setColumnStretch(1, 1);

    connect(m_slider, &QSlider::valueChanged, this, &HistoryStrip::moveTo);
    connect(m_day, &QComboBox::activated, this, [this](int day) {
        showDay(day, false);
        moveTo(m_slider->value());
    });
    connect(m_ahead, &PicturesAhead::decoded, this, &HistoryStrip::showWhenDecoded);
    connect(m_live, &QPushButton::clicked, this, &HistoryStrip::goLive);
    connect(m_play, &QPushButton::toggled, this, [this](bool on) {
        if (on)
            m_player->start(1000 / m_speed->currentData().toInt());
        else
            m_player->stop();
    });
    connect(m_speed, &QComboBox::currentIndexChanged, this,
            [this] { m_player->setInterval(1000 / m_speed->currentData().toInt()); });
    connect(m_player, &QTimer::timeout, this, &HistoryStrip::playStep);
    connect(m_export, &QPushButton::clicked, this, [this] {
        if (m_end > m_first)
            emit exportRangeRequested(m_history.cam(), m_history.at(m_first).taken,
                                      m_history.at(m_end - 1).taken);
    });
}

void HistoryStrip::setHistory(CamHistory history) {
    m_history = std::move(history);
    m_ahead->clear();
    m_browsing = false;
    m_play->setChecked(false);
    fillDays();
    showDay(int(m_days.size()) - 1, true);
}

void HistoryStrip::fillDays() {
    m_days = m_history.days();
    const QSignalBlocker quiet(m_day);
    m_day->clear();
    for (const QDate& day : m_days)
        m_day->addItem(shortDateText(day));
}

void HistoryStrip::showDay(int dayIndex, bool atEnd) {
    const QSignalBlocker quiet(m_slider);
    m_day->setCurrentIndex(dayIndex);
    std::tie(m_first, m_end) = dayIndex >= 0 ? m_history.dayRange(m_days[size_t(dayIndex)])
                                             : std::pair<size_t, size_t>{0, 0};
    const int count = int(m_end - m_first);
    m_slider->setRange(0, std::max(0, count - 1));
    m_slider->setPageStep(std::max(1, count / 24)); // about an hour of a day's pictures
    m_slider->setValue(atEnd ? m_slider->maximum() : 0);
    std::vector<std::pair<int, int>> marks;
    for (size_t i = m_first; i < m_end; ++i) {
        const int hour = m_history.at(i).taken.time().hour();
        if (marks.empty() || marks.back().second != hour)
            marks.emplace_back(int(i - m_first), hour);
    }
    m_hours->setHours(std::move(marks));
    showDayMotion();
    updateTimeText();
}

size_t HistoryStrip::currentIndex() const {
    return m_first + size_t(m_slider->value());
}

void HistoryStrip::addSaved(const QString& path) {
    const bool onAPicture = m_end > m_first;
    const size_t shown = onAPicture ? currentIndex() : 0;
    const QString shownPath = onAPicture ? m_history.at(shown).path : QString();
    const QDate shownDay = onAPicture ? m_history.at(shown).taken.date() : QDate();
    if (!m_history.add(path))
        return;
    fillDays();
    if (!m_browsing || !onAPicture) { // live: on the newest picture, quietly
        showDay(int(m_days.size()) - 1, true);
        return;
    }
    // browsing: the picture shown stays under the slider (one further on when the new one
    // went before it)
    const auto day = std::find(m_days.begin(), m_days.end(), shownDay);
    showDay(int(day - m_days.begin()), false);
    const size_t now = m_history.at(shown).path == shownPath ? shown : shown + 1;
    const QSignalBlocker quiet(m_slider);
    m_slider->setValue(int(now - m_first));
    updateTimeText();
}

void HistoryStrip::moveTo(int value) {
    if (m_end <= m_first)
        return;
    m_browsing = true;
    const size_t index = m_first + size_t(value);
    updateTimeText();
    // this picture, then the next ones, then the ones before: where the slider goes next
    QStringList wanted;
    for (const size_t i : {index, index + 1, index + 2, index + 3, index - 1, index - 2})
        if (i >= m_first && i < m_end)
            wanted.append(m_history.at(i).path);
    m_waitingFor = wanted.first();
    m_ahead->want(wanted);
    if (const QImage ready = m_ahead->ready(m_waitingFor); !ready.isNull())
        showWhenDecoded(m_waitingFor, ready);
}

void HistoryStrip::showWhenDecoded(const QString& path, const QImage& picture) {
    if (path != m_waitingFor || !m_browsing)
        return;
    m_waitingFor.clear();
    if (picture.isNull())
        m_time->setText(tr("%1: the picture could not be read").arg(m_time->text()));
    else
        emit pictureChosen(picture);
}

void HistoryStrip::playStep() {
    if (!m_waitingFor.isEmpty() || m_end <= m_first)
        return; // the picture before is still on its way: the film waits for it
    m_slider->setValue(m_slider->value() >= m_slider->maximum() ? 0 : m_slider->value() + 1);
}

void HistoryStrip::goLive() {
    m_play->setChecked(false);
    m_browsing = false;
    m_waitingFor.clear();
    if (!m_days.empty())
        showDay(int(m_days.size()) - 1, true);
    emit liveChosen();
}

void HistoryStrip::updateTimeText() {
    if (m_end <= m_first) {
        m_time->setText(tr("No saved pictures"));
        return;
    }
    const CamPictureFile& picture = m_history.at(currentIndex());
    //: the picture's time, its number among the day's pictures, their count
    m_time->setText(tr("%1 (%2 of %3)%4")
                        .arg(longTimeText(picture.taken.time()))
                        .arg(currentIndex() - m_first + 1)
                        .arg(m_end - m_first)
                        .arg(m_browsing ? QString() : tr(", live shown")));
}
