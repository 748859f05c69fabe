#include "fetch/recycledbodies.h"

#include "fetch/response.h"

#include <algorithm>
#include <atomic>
#include <cstring>

namespace {

// Bodies larger than this are not kept: a rare outsized picture should not hold its memory.
constexpr auto largestKept = qsizetype(keptBufferBytes);

// Storage fits a body when it holds it without keeping much more than it needs.
bool fits(const QByteArray& storage, qsizetype size) {
    return storage.capacity() >= size && storage.capacity() <= 2 * size + 64 * 1024;
}

} // namespace

QByteArray RecycledBodies::copyOf(std::string_view bytes) {
    const auto size = qsizetype(bytes.size());
    ++m_uses;
    for (Kept& kept : m_kept) {
        // held here alone: no panel, decode or viewer sees these bytes any more
        if (kept.body.isNull() || !kept.body.isDetached() || !fits(kept.body, size))
            continue;
        // the last other holder may have let go on a decoding thread: its reads come first
        std::atomic_thread_fence(std::memory_order_acquire);
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
