#pragma once

#include <QByteArray>
#include <array>
#include <cstdint>

// The storage of a cam's earlier pictures, kept to receive the next ones. A cam sends pictures
// of much the same size every second; new storage for each would be given its pages by the
// system afresh each time, which costs as much as receiving the picture.
class RecycledBodies {
  public:
    // Storage no one else holds any more, to receive into; nothing when there is none. It is
    // no longer kept here.
    QByteArray spare();
    // Keeps a picture's or an answer's storage, to be used again once everyone has let go of
    // it; storage kept already, or larger than a kept buffer may be, is not taken.
    void keep(const QByteArray& body);

  private:
    struct Kept {
        QByteArray body;
        uint64_t lastUse = 0;
    };
    std::array<Kept, 2> m_kept; // the last pictures: one shown, one let go by now
    uint64_t m_uses = 0;
};
