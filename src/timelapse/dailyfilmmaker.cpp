#include "timelapse/dailyfilmmaker.h"

#include "common/datetimetext.h"
#include "common/localtext.h"
#include "config/camsettings.h"
#include "config/settings.h"
#include "history/camrules.h"

#include <QDir>
#include <QFileInfo>
#include <QTimer>

namespace {

constexpr const char* rules = "DailyFilms";
constexpr const char* made = "DailyFilmsMade";

// "on HH:mm from to skipDark skipRepeats fps", as "1 01:00 0 24 1 0 10", then " motion" for a
// film of only the pictures with motion and " mp4" for an MP4 film (each left out otherwise, so
// the rules read as they did before)
QString ruleText(const DailyFilmRule& rule) {
    return QString("%1 %2 %3 %4 %5 %6 %7")
               .arg(int(rule.on))
               .arg(rule.at.toString("HH:mm"))
               .arg(rule.fromHour)
               .arg(rule.toHour)
               .arg(int(rule.skipDark))
               .arg(int(rule.skipRepeats))
               .arg(rule.framesPerSecond) +
           (rule.onlyMotion ? " motion" : "") + (rule.mp4 ? " mp4" : "");
}

std::optional<DailyFilmRule> readRule(const QString& text) {
    QStringList parts = text.split(' ');
    const bool mp4 = parts.size() > 7 && parts.last() == "mp4";
    if (mp4)
        parts.removeLast();
    const bool onlyMotion = parts.size() == 8 && parts.last() == "motion";
    if (onlyMotion)
        parts.removeLast();
    int numbers[7] = {};
    bool fine = parts.size() == 7;
    for (int i = 0; fine && i < 7; ++i)
        if (i != 1)
            numbers[i] = parts[i].toInt(&fine);
    const QTime at = fine ? QTime::fromString(parts[1], "HH:mm") : QTime();
    if (!fine || !at.isValid() || numbers[2] < 0 || numbers[3] > 24 || numbers[2] >= numbers[3] ||
        numbers[6] < 1 || numbers[6] > 120)
        return std::nullopt; // a damaged rule makes no film
    return DailyFilmRule{numbers[0] == 1, at,         numbers[2], numbers[3], numbers[4] == 1,
                         numbers[5] == 1, numbers[6], onlyMotion, mp4};
}

std::optional<QDate> readDay(const QString& text) {
    const QDate day = QDate::fromString(text, Qt::ISODate);
    return day.isValid() ? std::optional(day) : std::nullopt;
}

QString dayText(const QDate& day) {
    return day.toString(Qt::ISODate);
}

const CamKey<DailyFilmRule> ruleKey{rules, {}, readRule, ruleText};
const CamKey<QDate> madeKey{made, {}, readDay, dayText};

} // namespace

DailyFilmMaker::DailyFilmMaker(CamSettings& settings, QString camFolder, QString defaultFilmFolder,
                               std::function<std::vector<CamNames>()> cams, QObject* parent)
    : QObject(parent), m_settings(settings), m_camFolder(std::move(camFolder)),
      m_defaultFilmFolder(std::move(defaultFilmFolder)), m_cams(std::move(cams)),
      m_now([] { return QDateTime::currentDateTime(); }) {
    m_minute = new QTimer(this);
    m_minute->setInterval(60 * 1000);
    connect(m_minute, &QTimer::timeout, this, &DailyFilmMaker::makeDueFilms);
    m_minute->start();
    QTimer::singleShot(30 * 1000, this, &DailyFilmMaker::makeDueFilms); // days missed
}

DailyFilmMaker::~DailyFilmMaker() {
    *m_ending = true;
    m_queue.clear();
}

DailyFilmRule DailyFilmMaker::rule(const QByteArray& cam) const {
    return m_settings.value(ruleKey, cam);
}

void DailyFilmMaker::setRule(const QByteArray& cam, const DailyFilmRule& rule) {
    if (rule == this->rule(cam))
        return;
    if (rule.on && !this->rule(cam).on) { // films start with yesterday's, not older days'
        m_settings.clear(madeKey, cam);
        m_madeThisRun.remove(cam);
    }
    m_settings.setValue(ruleKey, cam, rule);
}

QString DailyFilmMaker::filmFolder() const {
    return m_settings.store().ReadUserSetting(m_settings.product(), rules, "folder",
                                              m_defaultFilmFolder);
}

void DailyFilmMaker::setFilmFolder(const QString& folder) {
    m_settings.store().WriteUserSetting(m_settings.product(), rules, "folder", folder);
}

QDate DailyFilmMaker::lastMade(const QByteArray& cam) const {
    const QDate stored = m_settings.value(madeKey, cam);
    const QDate thisRun = m_madeThisRun.value(cam); // kept even where settings cannot be
    return !thisRun.isValid() || (stored.isValid() && stored > thisRun) ? stored : thisRun;
}

void DailyFilmMaker::makeDueFilms() {
    if (m_working)
        return;
    const QDateTime now = m_now();
    for (const CamNames& cam : m_cams()) {
        if (const auto retry = m_retryAfter.find(cam.current);
            retry != m_retryAfter.end() && *retry > now)
            continue;
        const DailyFilmRule camRule = rule(cam.current);
        for (const QDate& day : DueFilmDays(camRule, lastMade(cam.current), now))
            m_due.push_back({cam, day, camRule});
    }
    makeNext();
}

void DailyFilmMaker::makeNext() {
    if (m_due.empty())
        return;
    const Film film = m_due.front();
    m_due.pop_front();
    m_working = true;
    TimelapseOptions options =
        DailyFilmOptions(film.rule, m_camFolder, film.cam.current, film.day, filmFolder());
    options.formerNames = film.cam.former;
    if (options.onlyMotion) {
        options.motion = m_settings.value(motionSettingsKey, film.cam.current);
        options.mask = m_settings.value(motionMaskKey, film.cam.current);
    }
    for (const CamNames& cam : m_cams())
        options.otherCams.push_back(cam.current);
    m_queue.run(
        this,
        [options, ending = m_ending] {
            QDir().mkpath(QFileInfo(options.output).absolutePath());
            return TimelapseExport(options).run([ending](int, int) { return !*ending; });
        },
        [this, film, options](const TimelapseSummary& summary) {
            m_working = false;
            const QString time = longTimeText(QTime::currentTime());
            // a day is made once, with or without pictures; a film that could not be written
            // keeps its day (and the cam's later ones) due, tried again an hour later
            const bool written = summary.error.isEmpty() || summary.nothingToFilm;
            if (written) {
                m_retryAfter.remove(film.cam.current);
                m_madeThisRun.insert(film.cam.current, film.day);
                m_settings.setValue(madeKey, film.cam.current, film.day);
            } else {
                m_retryAfter.insert(film.cam.current, m_now().addSecs(3600));
                std::erase_if(m_due, [&film](const Film& due) {
                    return due.cam.current == film.cam.current;
                });
            }
            if (summary.error.isEmpty()) {
                emit statusText(tr("%1 the daily film of %2 for %3 was made: %4")
                                    .arg(time, localText(film.cam.current), shortDateText(film.day),
                                         options.output));
                emit filmMade(options.output);
            } else if (written) {
                emit statusText(tr("%1 no daily film of %2 for %3: %4")
                                    .arg(time, localText(film.cam.current), shortDateText(film.day),
                                         summary.error));
            } else {
                emit statusText(tr("%1 the daily film of %2 for %3 could not be written, tried "
                                   "again in an hour: %4")
                                    .arg(time, localText(film.cam.current), shortDateText(film.day),
                                         summary.error));
            }
            if (m_due.empty())
                makeDueFilms(); // what came due meanwhile
            else
                makeNext();
        });
}
