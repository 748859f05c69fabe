#pragma once

#include "common/camdetails.h"
#include "net/camfetcher.h"
#include "panels/decodequeue.h"

#include <deque>
#include <optional>

// What a fetch came to, waiting to be shown in its panel.
struct PanelCompletion {
    enum class Kind { Picture, SamePicture, NotPicture, Unchanged, Failure };
    Kind kind = Kind::Picture;
    FetchedPicture fetched; // Picture and SamePicture
    PanelDecode decoded;    // Picture: filled when its decode has ended
    CamDetails details;     // NotPicture and Unchanged
    QString reason;         // Failure
    FetchFailure failure = FetchFailure::Protocol;
};

// One place's completions in the order their fetches ended, so that a picture whose decode is
// slow is never overtaken by what the next fetch brought. A completion that waits for its
// decode holds the decode's ticket.
class CompletionQueue {
  public:
    void add(quint64 ticket, PanelCompletion completion, bool ready);
    // A decode ended; false when its completion no longer waits (the place was stopped).
    bool decoded(quint64 ticket, const PanelDecode& result);
    // The next completion when it is ready, in order.
    std::optional<PanelCompletion> takeReady();
    // A completion that will never be decoded (a newer picture replaced it) is left out, and
    // given back.
    std::optional<PanelCompletion> forget(quint64 ticket);
    void clear() { m_entries.clear(); }
    size_t size() const { return m_entries.size(); }

  private:
    struct Entry {
        quint64 ticket;
        bool ready;
        PanelCompletion completion;
    };
    std::deque<Entry> m_entries;
};
