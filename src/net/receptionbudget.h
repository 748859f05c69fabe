#pragma once

#include <cstdint>
#include <unordered_map>

// What all cams' pictures may hold at once: the answers being received and, once received, the
// picture each cam keeps (shown, waiting for its decode or its save). A cam gets only what
// leaves every other cam that joined room for its next picture (twice what it keeps, at least
// 1 MB, at most its share of the budget): a cam of huge pictures waits for a later try while
// small cams go on. An answer that gets nothing fails with its reason, and its cam tries again
// later.
// Used on one thread only.
class ReceptionBudget {
  public:
    using Holder = const void*;

    explicit ReceptionBudget(int64_t bytes) : m_limit(bytes) {}

    // A cam holds bytes from now on, until it leaves (which gives back all it held).
    void join(Holder holder);
    void leave(Holder holder);

    // Takes `bytes` more for an answer `holder` receives; false, taking nothing, when the
    // rules above refuse it.
    bool take(Holder holder, int64_t bytes);
    void giveBack(Holder holder, int64_t bytes);
    // What `holder` keeps of the pictures it received, replacing what it kept before (not
    // refused: its answer was taken before).
    void keep(Holder holder, int64_t bytes);

    int64_t held() const { return m_held; }
    int64_t limit() const { return m_limit; }
    int64_t share() const;

  private:
    struct Held {
        int64_t receiving = 0;
        int64_t kept = 0;
        int64_t all() const { return receiving + kept; }
    };

    int64_t m_limit;
    int64_t m_held = 0;
    std::unordered_map<Holder, Held> m_holders;
};

// The program's budget: 256 MB for the pictures of all cams together.
inline constexpr int64_t programReceptionBytes = int64_t(256) * 1024 * 1024;
