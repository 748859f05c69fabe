#pragma once

#include "common/camdetails.h"
#include "engine/decodequeue.h"
#include "source/fetchedpicture.h"

#include <deque>
#include <optional>

// What a fetch came to, waiting to be shown in its place's order. A picture that could not be
// decoded is Unreadable by the time it is shown; one whose decode never began because a newer
// picture took its turn is Overtaken (never shown, but new all the same).
struct Completion {
    enum class Kind { Picture, SamePicture, NotPicture, Unchanged, Failure, Unreadable, Overtaken };
    Kind kind = Kind::Picture;
    FetchedPicture fetched; // Picture and SamePicture
    PlaceDecode decoded;    // Picture: filled when its decode has ended
    CamDetails details;     // NotPicture and Unchanged
    QString reason;         // Failure
    FetchFailure failure = FetchFailure::Protocol;
};

// One place's completions in the order their fetches ended, so that a picture whose decode is
// slow is never overtaken by what the next fetch brought. A completion that waits for its
// decode holds the decode's ticket.
class CompletionQueue {
  public:
    void add(quint64 ticket, Completion completion, bool ready);
    // A decode ended; false when its completion no longer waits (the place was stopped).
    bool decoded(quint64 ticket, const PlaceDecode& result);
    // The next completion when it is ready, in order.
    std::optional<Completion> takeReady();
    // A completion that will never be decoded (a newer picture replaced it) is left out, and
    // given back.
    std::optional<Completion> forget(quint64 ticket);
    void clear() { m_entries.clear(); }
    size_t size() const { return m_entries.size(); }
    // The bytes of the pictures waiting here.
    int64_t heldBytes() const;

  private:
    struct Entry {
        quint64 ticket;
        bool ready;
        Completion completion;
    };
    std::deque<Entry> m_entries;
};
