#pragma once

#include <cstdint>

// What all cams' answers may hold at once while they are received. An answer that would take
// more than is left fails with its reason, and its cam tries again later; the others go on.
// Used on one thread only.
class ReceptionBudget {
  public:
    explicit ReceptionBudget(int64_t bytes) : m_limit(bytes) {}

    // Takes `bytes` more; false, taking nothing, when that would pass the budget.
    bool take(int64_t bytes) {
        if (m_held + bytes > m_limit)
            return false;
        m_held += bytes;
        return true;
    }
    void giveBack(int64_t bytes) { m_held -= bytes; }
    int64_t held() const { return m_held; }
    int64_t limit() const { return m_limit; }

  private:
    int64_t m_limit;
    int64_t m_held = 0;
};

// The program's budget: 256 MB for the answers being received, all cams together.
inline constexpr int64_t programReceptionBytes = int64_t(256) * 1024 * 1024;
