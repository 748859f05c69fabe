#include "panels/completionqueue.h"

#include <algorithm>

void CompletionQueue::add(quint64 ticket, PanelCompletion completion, bool ready) {
    m_entries.push_back({ticket, ready, std::move(completion)});
}

bool CompletionQueue::decoded(quint64 ticket, const PanelDecode& result) {
    for (Entry& entry : m_entries) {
        if (entry.ticket == ticket && !entry.ready) {
            entry.completion.decoded = result;
            entry.ready = true;
            return true;
        }
    }
    return false;
}

std::optional<PanelCompletion> CompletionQueue::takeReady() {
    if (m_entries.empty() || !m_entries.front().ready)
        return std::nullopt;
    PanelCompletion completion = std::move(m_entries.front().completion);
    m_entries.pop_front();
    return completion;
}

void CompletionQueue::forget(quint64 ticket) {
    std::erase_if(m_entries, [ticket](const Entry& entry) { return entry.ticket == ticket; });
}
