#include "fetch/recycledbodies.h"

#include <algorithm>
#include <cstring>

namespace {
// Bodies larger than this are not kept: a rare outsized picture should not hold its memory.
constexpr qsizetype largestKept = 8 * 1024 * 1024;
} // namespace

QByteArray RecycledBodies::copyOf(std::string_view bytes) {
    const auto size = qsizetype(bytes.size());
    ++m_uses;
    for (Kept& kept : m_kept) {
        // held here alone: no panel, decode or viewer sees these bytes any more
        if (kept.body.isNull() || !kept.body.isDetached() || kept.body.capacity() < size)
            continue;
        kept.body.resize(size); // within its capacity: the same storage
        if (size > 0)
            std::memcpy(kept.body.data(), bytes.data(), bytes.size());
        kept.lastUse = m_uses;
        return kept.body;
    }
    // new storage, with room for a slightly larger picture next time
    QByteArray body;
    body.reserve(size + size / 8);
    body.append(bytes.data(), size);
    if (size <= largestKept) {
        Kept& oldest =
            *std::min_element(m_kept.begin(), m_kept.end(),
                              [](const Kept& a, const Kept& b) { return a.lastUse < b.lastUse; });
        oldest = {body, m_uses};
    }
    return body;
}
