#pragma once

#include <QCoreApplication>
#include <cstdint>
#include <string>
#include <string_view>

// Decodes a body sent with "Transfer-Encoding: chunked" as its bytes arrive. Sizes are read in
// hex with at most 15 digits; a size line (extensions included) or a trailer line may be at
// most 4 KB; the decoded body may not grow past `maxBody`. Anything else is an error, and the
// decoder stays in error.
class ChunkedDecoder {
    Q_DECLARE_TR_FUNCTIONS(ChunkedDecoder)

  public:
    enum class State { Size, Data, DataEnd, Trailer, Done, Error };

    explicit ChunkedDecoder(size_t maxBody) : m_maxBody(maxBody) {}

    // Decodes `bytes` into `body`. Returns how many of them belong to the chunked body; bytes
    // after the final chunk's trailer are left over (and not the body's).
    size_t feed(std::string_view bytes, std::string& body);

    State state() const { return m_state; }
    bool done() const { return m_state == State::Done; }
    bool failed() const { return m_state == State::Error; }
    const std::string& error() const { return m_error; }
    // The body went past its bound (rather than being framed wrongly).
    bool bodyTooLarge() const { return m_bodyTooLarge; }

    static constexpr size_t maxLine = 4096;

  private:
    bool fail(std::string why);
    bool sizeLineEnded();

    size_t m_maxBody;
    State m_state = State::Size;
    std::string m_line;       // the size or trailer line read so far
    uint64_t m_chunkLeft = 0; // bytes of the current chunk still to come
    bool m_sawCr = false;     // the CR of a chunk's line end was read
    std::string m_error;
    bool m_bodyTooLarge = false;
};
