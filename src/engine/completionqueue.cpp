#include "engine/completionqueue.h"

#include <algorithm>

void CompletionQueue::add(quint64 ticket, Completion completion, bool ready) {
    m_entries.push_back({ticket, ready, std::move(completion)});
}

bool CompletionQueue::decoded(quint64 ticket, const PlaceDecode& result) {
    for (Entry& entry : m_entries) {
        if (entry.ticket == ticket && !entry.ready) {
            entry.completion.decoded = result;
            entry.ready = true;
            return true;
        }
    }
    return false;
}

std::optional<Completion> CompletionQueue::takeReady() {
    if (m_entries.empty() || !m_entries.front().ready)
        return std::nullopt;
    Completion completion = std::move(m_entries.front().completion);
    m_entries.pop_front();
    return completion;
}

std::optional<Completion> CompletionQueue::forget(quint64 ticket) {
    const auto entry = std::find_if(m_entries.begin(), m_entries.end(),
                                    [ticket](const Entry& e) { return e.ticket == ticket; });
    if (entry == m_entries.end())
        return std::nullopt;
    Completion completion = std::move(entry->completion);
    m_entries.erase(entry);
    return completion;
}

int64_t CompletionQueue::heldBytes() const {
    int64_t bytes = 0;
    for (const Entry& entry : m_entries)
        bytes += entry.completion.fetched.body.size();
    return bytes;
}
