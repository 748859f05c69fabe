#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The small mark of a panel that tells at a glance how its cam is doing.
enum class Freshness {
    Idle,      // not running
    Fetching,  // a fetch is under way
    New,       // the last fetch brought a new picture
    Unchanged, // the last fetch brought the picture already shown
    Stale,     // no new picture for ten intervals or ten minutes, whichever is longer
    Error,     // the last fetch failed; the reason goes with it
    Offline,   // three connections in a row could not be made
    Motion,    // the picture shows motion (while motion is watched)
};

// Follows one panel's fetches; times are seconds since 1970.
class FreshnessTracker {
  public:
    void fetchStarted();
    void newPicture(int64_t now);
    void samePicture();
    // `now`, when given, starts the time the cam has been failing (its first failure since a
    // picture).
    void failed(std::string reason, bool connectionFailure,
                std::optional<int64_t> now = std::nullopt);
    void connected() { m_connectionFailures = 0; }
    // The last tries could not reach the cam's server (not: it answered with an error).
    bool isUnreachable() const { return m_connectionFailures > 0; }
    void stopped();

    Freshness state(int64_t now, int32_t refreshSecs) const;
    const std::string& reason() const { return m_reason; }
    // Seconds since the picture shown arrived as new; nothing before the first picture.
    std::optional<int64_t> ageSeconds(int64_t now) const;
    // Seconds since the first of the failures that followed the last picture; nothing while it
    // does not fail.
    std::optional<int64_t> failingSeconds(int64_t now) const;

    static constexpr int offlineAfter = 3;

  private:
    Freshness m_last = Freshness::Idle;
    std::string m_reason;
    std::optional<int64_t> m_newSince;
    std::optional<int64_t> m_failingSince;
    int m_connectionFailures = 0;
};

// "12 s old", "3 min old", "5 h old", "2 days old".
std::string AgeText(int64_t seconds);
// "12 s", "3 min", "5 h", "2 days".
std::string DurationText(int64_t seconds);
// The mark's words: "fetching", "new picture", ..., with the reason of an error.
std::string FreshnessText(Freshness state, const std::string& reason);
// The short words over a failing cam's picture: "offline for 3 min", or the error's reason
// ("the cam refused the user name or password").
std::string FailingText(Freshness state, const std::string& reason,
                        std::optional<int64_t> failingSeconds);
