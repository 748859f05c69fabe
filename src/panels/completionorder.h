#pragma once

#include "common/camdetails.h"
#include "net/camfetcher.h"
#include "imaging/picturedecoder.h"

#include <QHash>
#include <QList>
#include <deque>
#include <optional>

// What a fetch came to, waiting to be shown in its panel.
struct PanelCompletion {
    enum class Kind { Picture, SamePicture, NotPicture, Unchanged, Failure };
    Kind kind = Kind::Picture;
    FetchedPicture fetched; // Picture and SamePicture
    DecodedPicture decoded; // Picture: filled when its decode has ended
    bool wantedWhole = false;
    CamDetails details; // NotPicture and Unchanged
    QString reason;     // Failure
    FetchFailure failure = FetchFailure::Protocol;
};

// Keeps each panel's completions in the order their fetches ended, so that a picture whose
// decode is slow is never overtaken by what the next fetch brought. A completion that waits for
// its decode holds a ticket; a panel that is stopped drops what waits, and late decodes of it
// find no ticket any more.
class CompletionOrder {
  public:
    explicit CompletionOrder(int panels) : m_panels(panels) {}

    // Queues a completion; one that needs no decode is ready at once. Returns its ticket.
    quint64 add(int panel, PanelCompletion completion, bool ready);
    // A decode ended. Returns the panel it belongs to, or nothing when it was dropped.
    std::optional<int> decoded(quint64 ticket, const DecodedPicture& result);
    // The next completion of the panel when it is ready, in order.
    std::optional<PanelCompletion> takeReady(int panel);
    void drop(int panel);
    size_t waiting(int panel) const { return m_panels[panel].size(); }

  private:
    struct Entry {
        quint64 ticket;
        bool ready;
        PanelCompletion completion;
    };
    QList<std::deque<Entry>> m_panels;
    QHash<quint64, int> m_owners; // ticket -> panel, while it waits
    quint64 m_nextTicket = 1;
};
