#include "net/receptionbudget.h"

#include <algorithm>

namespace {

// what a cam that kept no picture yet is sure to get
constexpr int64_t smallPicture = 1024 * 1024;

} // namespace

void ReceptionBudget::join(Holder holder) {
    m_holders.try_emplace(holder);
}

void ReceptionBudget::leave(Holder holder) {
    if (const auto held = m_holders.find(holder); held != m_holders.end()) {
        m_held -= held->second.all();
        m_holders.erase(held);
    }
}

int64_t ReceptionBudget::share() const {
    return m_limit / int64_t(std::max<size_t>(m_holders.size(), 1));
}

bool ReceptionBudget::take(Holder holder, int64_t bytes) {
    Held& own = m_holders[holder]; // an answer of a cam that never joined still counts
    // only what leaves each other cam room for what it needs, up to its share: its next picture
    // beside the one it keeps, or a small picture's room
    const int64_t each = share();
    int64_t othersRoom = 0;
    for (const auto& [other, held] : m_holders)
        if (other != holder)
            othersRoom +=
                std::max<int64_t>(0, std::min(each, 2 * held.kept + smallPicture) - held.all());
    if (m_held + bytes + othersRoom > m_limit)
        return false;
    own.receiving += bytes;
    m_held += bytes;
    return true;
}

void ReceptionBudget::giveBack(Holder holder, int64_t bytes) {
    if (const auto held = m_holders.find(holder); held != m_holders.end()) {
        bytes = std::min(bytes, held->second.receiving);
        held->second.receiving -= bytes;
        m_held -= bytes;
    }
}

void ReceptionBudget::keep(Holder holder, int64_t bytes) {
    if (const auto held = m_holders.find(holder); held != m_holders.end()) {
        m_held += bytes - held->second.kept;
        held->second.kept = bytes;
    }
}
