#pragma once

#include <QByteArray>
#include <array>
#include <cstdint>
#include <string_view>

// Copies picture bodies into the storage of earlier ones that nobody holds any more. A cam
// sends pictures of much the same size every second; new storage for each would be given its
// pages by the system afresh each time, which costs as much as the copy itself.
class RecycledBodies {
  public:
    // A body holding `bytes`: in storage that no one else holds, or in new storage.
    QByteArray copyOf(std::string_view bytes);

  private:
    struct Kept {
        QByteArray body;
        uint64_t lastUse = 0;
    };
    std::array<Kept, 2> m_kept; // the last bodies handed out: one shown, one free again
    uint64_t m_uses = 0;
};
