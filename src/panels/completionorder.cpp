#include "panels/completionorder.h"

quint64 CompletionOrder::add(int panel, PanelCompletion completion, bool ready) {
    const quint64 ticket = m_nextTicket++;
    m_panels[panel].push_back({ticket, ready, std::move(completion)});
    if (!ready)
        m_owners.insert(ticket, panel);
    return ticket;
}

std::optional<int> CompletionOrder::decoded(quint64 ticket, const DecodedPicture& result) {
    const auto owner = m_owners.constFind(ticket);
    if (owner == m_owners.constEnd())
        return std::nullopt;
    const int panel = *owner;
    m_owners.erase(owner);
    for (Entry& entry : m_panels[panel]) {
        if (entry.ticket == ticket) {
            entry.completion.decoded = result;
            entry.ready = true;
            break;
        }
    }
    return panel;
}

std::optional<PanelCompletion> CompletionOrder::takeReady(int panel) {
    std::deque<Entry>& queue = m_panels[panel];
    if (queue.empty() || !queue.front().ready)
        return std::nullopt;
    PanelCompletion completion = std::move(queue.front().completion);
    queue.pop_front();
    return completion;
}

void CompletionOrder::drop(int panel) {
    for (const Entry& entry : m_panels[panel])
        m_owners.remove(entry.ticket);
    m_panels[panel].clear();
}
