// The history strip's motion: each day judged once from its pictures on a thread of its own,
// shown as a band, and the steps from event to event.
#include "common/background.h"
#include "viewer/historystrip.h"
#include "viewer/slidermarks.h"

#include <QSlider>
#include <QToolButton>

namespace {

constexpr size_t mostJudgedDays = 8;

} // namespace

HistoryStrip::~HistoryStrip() {
    stopJudging();
    m_judge.reset(); // waits for the picture being judged
}

void HistoryStrip::makeEventButtons() {
    m_judge = std::make_unique<BackgroundQueue>(1);
    for (auto [button, step] : {std::pair{&m_previousEvent, -1}, std::pair{&m_nextEvent, 1}}) {
        *button = new QToolButton(this);
        (*button)->setArrowType(step < 0 ? Qt::LeftArrow : Qt::RightArrow);
        (*button)->setEnabled(false);
        connect(*button, &QToolButton::clicked, this, [this, step] { stepEvent(step); });
    }
    m_previousEvent->setObjectName("cmdPreviousEvent");
    m_previousEvent->setAccessibleName(tr("Previous motion event"));
    m_previousEvent->setToolTip(tr("Previous motion event (Ctrl+Left)"));
    m_nextEvent->setObjectName("cmdNextEvent");
    m_nextEvent->setAccessibleName(tr("Next motion event"));
    m_nextEvent->setToolTip(tr("Next motion event (Ctrl+Right)"));
}

void HistoryStrip::setMotionChoices(const MotionSettings& settings, const MotionMask& mask) {
    MotionSettings judged = settings;
    judged.on = false; // whether motion is watched live does not change a judgement
    if (judged == m_motion && mask == m_mask)
        return;
    m_motion = judged;
    m_mask = mask;
    stopJudging(); // by the choices before
    showDayMotion();
}

QString HistoryStrip::dayKey() const {
    if (m_end <= m_first)
        return {};
    // a judgement holds for the choices it was made by
    return QString::fromLatin1(m_history.cam().toHex()) + " " +
           m_history.at(m_first).taken.date().toString(Qt::ISODate) + " " + m_motion.toText() +
           " " + m_mask.toText();
}

void HistoryStrip::stopJudging() {
    if (m_stopJudging)
        *m_stopJudging = true;
}

const std::vector<std::pair<int, int>>& HistoryStrip::dayEvents() const {
    return m_hours->events();
}

void HistoryStrip::showDayMotion() {
    const QString key = dayKey();
    const auto judged = m_judged.find(key);
    const int count = int(m_end - m_first);
    // pictures saved since keep the places of those before them: the band stays meanwhile
    m_hours->setEvents(judged != m_judged.end() ? judged->second.events
                                                : std::vector<std::pair<int, int>>{});
    const bool any = !dayEvents().empty();
    m_previousEvent->setEnabled(any);
    m_nextEvent->setEnabled(any);
    if (!m_judging.isEmpty() && m_judging != key)
        stopJudging(); // another day or cam is shown: it is judged once this one has stopped
    if (key.isEmpty() || !m_judging.isEmpty() ||
        (judged != m_judged.end() && judged->second.pictures == count))
        return; // judged, or a judgement under way (the day is looked at again after it)
    // a day judged before is carried on over the pictures saved since
    const DayMotion before = judged != m_judged.end() ? judged->second : DayMotion{};
    const int from = laterPicturesFrom(before);
    QStringList paths;
    for (size_t i = m_first + size_t(from); i < m_end; ++i)
        paths << m_history.at(i).path;
    judgeDay(key, before, paths, from);
}

void HistoryStrip::judgeDay(const QString& key, const DayMotion& before, const QStringList& paths,
                            int from) {
    m_stopJudging = std::make_shared<std::atomic<bool>>(false);
    m_judging = key;
    m_judge->run(
        this,
        [before, paths, from, settings = m_motion, mask = m_mask, stop = m_stopJudging] {
            return JudgeLaterPictures(before, paths, from, settings, mask, *stop);
        },
        [this, key](DayMotion motion) {
            m_judging.clear();
            if (!motion.stopped) {
                if (m_judged.size() >= mostJudgedDays && !m_judged.contains(key))
                    m_judged.erase(m_judged.begin());
                m_judged[key] = std::move(motion);
            }
            showDayMotion(); // this day's band, or the next judgement the strip waits for
        });
}

void HistoryStrip::stepEvent(int step) {
    if (m_end <= m_first)
        return;
    DayMotion shown;
    shown.events = dayEvents();
    if (const auto start = EventStartNear(shown, m_slider->value(), step))
        m_slider->setValue(*start);
}
