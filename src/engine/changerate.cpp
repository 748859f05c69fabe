#include "engine/changerate.h"

#include <QCoreApplication>
#include <algorithm>
#include <cmath>

void ChangeRate::observe(int64_t seenAt, std::optional<int64_t> lastModified, bool isNew) {
    m_fetches.push_back(isNew);
    if (m_fetches.size() > 8)
        m_fetches.pop_front();
    if (!isNew)
        return;
    // the server's own time of the change is better than when it was noticed; once a server
    // has sent it, moments of the two kinds are not mixed
    if (lastModified)
        m_haveLastModified = true;
    else if (m_haveLastModified)
        return;
    // the first picture seen without a server time shows when watching began, not when the
    // picture changed: it is where the count starts
    if (!lastModified && !m_watching) {
        m_watching = true;
        return;
    }
    const int64_t moment = lastModified.value_or(seenAt);
    if (!m_changes.empty() && moment <= m_changes.back())
        return; // the same change again, or a clock that went back
    m_changes.push_back(moment);
    if (m_changes.size() > changesKept)
        m_changes.pop_front();
}

void ChangeRate::reset() {
    m_changes.clear();
    m_fetches.clear();
    m_haveLastModified = false;
    m_watching = false;
}

std::optional<int> ChangeRate::intervalSeconds() const {
    if (m_changes.size() < changesNeeded)
        return std::nullopt;
    const double mean = double(m_changes.back() - m_changes.front()) / double(m_changes.size() - 1);
    // a day at the most: server times can be nonsense
    return int(std::clamp(std::lround(mean), 1L, 86400L));
}

bool ChangeRate::newAtEveryFetch() const {
    return m_fetches.size() >= changesNeeded &&
           std::all_of(m_fetches.begin(), m_fetches.end(), [](bool isNew) { return isNew; });
}

std::string ChangeRate::text() const {
    const std::optional<int> seconds = intervalSeconds();
    if (!seconds)
        return {};
    const auto said = [](const char* text, const QString& value) {
        return QCoreApplication::translate("ChangeRate", text).arg(value);
    };
    QString every;
    if (*seconds < 90)
        every = said(QT_TRANSLATE_NOOP("ChangeRate", "%1 s"), QString::number(*seconds));
    else if (*seconds < 90 * 60)
        every = said(QT_TRANSLATE_NOOP("ChangeRate", "%1 min"),
                     QString::number(std::lround(*seconds / 60.0)));
    else
        every = said(QT_TRANSLATE_NOOP("ChangeRate", "%1 h"),
                     QString::number(std::lround(*seconds / 3600.0)));
    if (newAtEveryFetch())
        return said(QT_TRANSLATE_NOOP("ChangeRate",
                                      "changes at every refresh, about every %1 or faster"),
                    every)
            .toStdString();
    return said(QT_TRANSLATE_NOOP("ChangeRate", "changes about every %1"), every).toStdString();
}
