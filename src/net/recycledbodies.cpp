#include "net/recycledbodies.h"

#include "net/response.h"

#include <algorithm>
#include <utility>

QByteArray RecycledBodies::spare() {
    for (Kept& kept : m_kept) {
        // held here alone: no panel, decode or viewer sees these bytes any more. The last other
        // holder may have let go on a worker thread: the count is read with acquire, so its
        // reads come before our writes (its letting go was the count's releasing decrement)
        if (kept.body.isNull() || !kept.body.data_ptr().d_ptr() ||
            kept.body.data_ptr().d_ptr()->ref_.loadAcquire() != 1)
            continue;
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
