#include "engine/freshness.h"

#include <QCoreApplication>
#include <algorithm>

void FreshnessTracker::fetchStarted() {
    m_last = Freshness::Fetching;
}

void FreshnessTracker::newPicture(int64_t now) {
    m_last = Freshness::New;
    m_newSince = now;
    m_failingSince.reset();
    m_reason.clear();
}

void FreshnessTracker::samePicture() {
    m_last = Freshness::Unchanged;
    m_failingSince.reset();
    m_reason.clear();
}

void FreshnessTracker::failed(std::string reason, bool connectionFailure,
                              std::optional<int64_t> now) {
    if (!m_failingSince)
        m_failingSince = now;
    m_connectionFailures = connectionFailure ? m_connectionFailures + 1 : 0;
    m_last = m_connectionFailures >= offlineAfter ? Freshness::Offline : Freshness::Error;
    m_reason = std::move(reason);
}

void FreshnessTracker::stopped() {
    *this = FreshnessTracker{};
}

Freshness FreshnessTracker::state(int64_t now, int32_t refreshSecs) const {
    if (m_last == Freshness::New || m_last == Freshness::Unchanged) {
        const int64_t staleAfter = std::max<int64_t>(10 * int64_t(std::max(refreshSecs, 0)), 600);
        if (m_newSince && now - *m_newSince >= staleAfter)
            return Freshness::Stale;
    }
    return m_last;
}

std::optional<int64_t> FreshnessTracker::ageSeconds(int64_t now) const {
    if (!m_newSince)
        return std::nullopt;
    return std::max<int64_t>(0, now - *m_newSince);
}

std::optional<int64_t> FreshnessTracker::failingSeconds(int64_t now) const {
    if (!m_failingSince || (m_last != Freshness::Error && m_last != Freshness::Offline))
        return std::nullopt;
    return std::max<int64_t>(0, now - *m_failingSince);
}

namespace {

// the text in the user's language, with %1 filled in, as UTF-8
std::string said(const char* text, const std::string& value = {}) {
    QString translated = QCoreApplication::translate("Freshness", text);
    if (!value.empty())
        translated = translated.arg(QString::fromStdString(value));
    return translated.toStdString();
}

} // namespace

std::string DurationText(int64_t seconds) {
    if (seconds < 60)
        return said(QT_TRANSLATE_NOOP("Freshness", "%1 s"), std::to_string(seconds));
    if (seconds < 3600)
        return said(QT_TRANSLATE_NOOP("Freshness", "%1 min"), std::to_string(seconds / 60));
    if (seconds < 2 * 86400)
        return said(QT_TRANSLATE_NOOP("Freshness", "%1 h"), std::to_string(seconds / 3600));
    return said(QT_TRANSLATE_NOOP("Freshness", "%1 days"), std::to_string(seconds / 86400));
}

std::string AgeText(int64_t seconds) {
    //: how old a picture is: "12 s old", "3 min old"
    return said(QT_TRANSLATE_NOOP("Freshness", "%1 old"), DurationText(seconds));
}

std::string FailingText(Freshness state, const std::string& reason,
                        std::optional<int64_t> failingSeconds) {
    if (state != Freshness::Offline)
        return reason.empty() ? FreshnessText(state, reason) : reason;
    if (!failingSeconds)
        return said(QT_TRANSLATE_NOOP("Freshness", "offline"));
    return said(QT_TRANSLATE_NOOP("Freshness", "offline for %1"), DurationText(*failingSeconds));
}

std::string FreshnessText(Freshness state, const std::string& reason) {
    switch (state) {
    case Freshness::Idle:
        return said(QT_TRANSLATE_NOOP("Freshness", "not running"));
    case Freshness::Fetching:
        return said(QT_TRANSLATE_NOOP("Freshness", "fetching"));
    case Freshness::New:
        return said(QT_TRANSLATE_NOOP("Freshness", "new picture"));
    case Freshness::Unchanged:
        return said(QT_TRANSLATE_NOOP("Freshness", "unchanged"));
    case Freshness::Stale:
        return said(QT_TRANSLATE_NOOP("Freshness", "stale: no new picture for a long time"));
    case Freshness::Error:
        return said(QT_TRANSLATE_NOOP("Freshness", "error: %1"), reason);
    case Freshness::Offline:
        return said(QT_TRANSLATE_NOOP("Freshness", "offline: %1"), reason);
    case Freshness::Motion:
        return said(QT_TRANSLATE_NOOP("Freshness", "new picture, with motion"));
    }
    return {};
}
