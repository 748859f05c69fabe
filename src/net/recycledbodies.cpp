#include "net/recycledbodies.h"

#include "net/response.h"

#include <algorithm>
#include <atomic>
#include <utility>

QByteArray RecycledBodies::spare() {
    for (Kept& kept : m_kept) {
        // held here alone: no panel, decode or viewer sees these bytes any more
        if (kept.body.isNull() || !kept.body.isDetached())
            continue;
        // the last other holder may have let go on a worker thread: its reads come first (the
        // workers let go before they hand their results back under a lock)
        std::atomic_thread_fence(std::memory_order_acquire);
        kept.lastUse = 0;
        return std::exchange(kept.body, QByteArray());
    }
    return {};
}

void RecycledBodies::keep(const QByteArray& body) {
    // a rare outsized picture does not hold its memory
    if (body.isNull() || body.capacity() > qsizetype(keptBufferBytes))
        return;
    for (const Kept& kept : m_kept)
        if (kept.body.isSharedWith(body))
            return; // kept already
    Kept& oldest =
        *std::min_element(m_kept.begin(), m_kept.end(),
                          [](const Kept& a, const Kept& b) { return a.lastUse < b.lastUse; });
    oldest = {body, ++m_uses};
}
