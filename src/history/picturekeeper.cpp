#include "history/picturekeeper.h"

#include "common/datetimetext.h"
#include "config/camsettings.h"
#include "config/settings.h"

#include <QTimer>

namespace {

constexpr const char* section = "KeepPictures";

// "days gigabytes", as "30 2.5"; a damaged value keeps everything
std::optional<KeepRule> readRule(const QString& text) {
    const QStringList parts = text.split(' ');
    bool daysRead = false, sizeRead = false;
    const int days = parts.value(0).toInt(&daysRead);
    const double gigabytes = parts.value(1).toDouble(&sizeRead);
    if (parts.size() != 2 || !daysRead || !sizeRead || days < 0 || days > 36500 ||
        !(gigabytes >= 0 && gigabytes <= 1e6))
        return std::nullopt;
    return KeepRule{days, gigabytes};
}

// a rule that bounds nothing is no rule: it is removed
QString ruleText(const KeepRule& rule) {
    return rule.bounds() ? QString("%1 %2").arg(rule.days).arg(rule.gigabytes) : QString();
}

const CamKey<KeepRule> camRuleKey{section, {}, readRule, ruleText};

} // namespace

PictureKeeper::PictureKeeper(CamSettings& settings, QString camFolder,
                             std::function<std::vector<CamNames>()> cams, QObject* parent)
    : QObject(parent), m_settings(settings), m_camFolder(std::move(camFolder)),
      m_cams(std::move(cams)) {
    m_hourly = new QTimer(this);
    m_hourly->setInterval(3600 * 1000);
    connect(m_hourly, &QTimer::timeout, this, &PictureKeeper::keepWithinRules);
    m_hourly->start();
    QTimer::singleShot(60 * 1000, this, &PictureKeeper::keepWithinRules); // after the start's rush
}

PictureKeeper::~PictureKeeper() {
    m_queue.clear();
}

KeepRule PictureKeeper::overallRule() const {
    return readRule(m_settings.store().ReadUserSetting(m_settings.product(), section, "all", {}))
        .value_or(KeepRule{});
}

KeepRule PictureKeeper::camRule(const QByteArray& cam) const {
    return m_settings.value(camRuleKey, cam);
}

void PictureKeeper::setOverallRule(const KeepRule& rule) {
    if (rule.bounds())
        m_settings.store().WriteUserSetting(m_settings.product(), section, "all", ruleText(rule));
    else
        m_settings.store().RemoveUserSetting(m_settings.product(), section, "all");
}

void PictureKeeper::setCamRule(const QByteArray& cam, const KeepRule& rule) {
    m_settings.setValue(camRuleKey, cam, rule);
}

void PictureKeeper::keepWithinRules() {
    if (m_working) {
        m_again = true;
        return;
    }
    const std::vector<CamNames> cams = m_cams();
    std::map<QByteArray, KeepRule> rules;
    for (const CamNames& cam : cams)
        rules[cam.current] = camRule(cam.current);
    m_working = true;
    m_queue.run(
        this,
        [folder = m_camFolder, cams, rules, overall = overallRule()] {
            return KeepWithinRules(folder, cams, rules, overall, QDateTime::currentDateTime());
        },
        [this](const RemovalResult& result) {
            m_working = false;
            const QString time = longTimeText(QTime::currentTime());
            const QString megabytes = QString::number(double(result.bytes) / (1 << 20), 'f', 1);
            // English has texts of their own for one; %n gives other languages their plurals
            if (result.removed == 1)
                emit statusText(tr("%1 an old picture was removed to keep within the rules "
                                   "(%2 MB)")
                                    .arg(time, megabytes));
            else if (result.removed > 1)
                emit statusText(tr("%1 %n old pictures were removed to keep within the rules "
                                   "(%2 MB)",
                                   nullptr, result.removed)
                                    .arg(time, megabytes));
            if (result.removed > 0)
                emit picturesRemoved();
            if (result.clockAhead && !m_clockAheadSaid)
                emit statusText(tr("%1 the clock is more than a day past the newest saved "
                                   "picture: no picture is removed for its age until they agree")
                                    .arg(time));
            m_clockAheadSaid = result.clockAhead;
            if (result.failed > 0)
                emit statusText(tr("%1 old pictures that the rules let go could not be removed: "
                                   "%2")
                                    .arg(time)
                                    .arg(result.failed));
            if (std::exchange(m_again, false))
                keepWithinRules();
        });
}
