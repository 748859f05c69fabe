#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// A cam's stream of pictures: an answer of type "multipart/x-mixed-replace" whose parts follow
// each other for as long as the connection lasts. The boundary of the type's "boundary"
// parameter, without or with a leading "--" as cams declare it.
std::optional<std::string> StreamBoundary(std::string_view contentType);
// The boundary of a stream sent with another type (ffmpeg's own server says
// "application/octet-stream"), told by its first bytes: a boundary line, then a part whose type
// is a picture's. Nothing when the bytes are not such a start, or too few to tell (`more`).
std::optional<std::string> SniffedStreamBoundary(std::string_view firstBytes, bool* more);

// Frames the parts of such a stream as its bytes arrive, as real cams send them: with or
// without a boundary before the first part, parts with a Content-Length or ending at the next
// boundary, extra part headers. A part may hold at most `maxPart` bytes, its headers 8 KB.
class MultipartReader {
  public:
    // Hears each whole part: its headers (the text before their blank line) and its body,
    // which is valid only during the call.
    using PartHandler = std::function<void(std::string_view headers, std::string_view body)>;

    MultipartReader(std::string boundary, size_t maxPart);

    // Takes the next bytes of the stream; false, with error() saying why, when the stream is
    // broken or its end was reached (ended()).
    bool feed(std::string_view bytes, const PartHandler& handler);
    bool ended() const { return m_ended; }
    const std::string& error() const { return m_error; }
    // Bytes held for a part not yet whole.
    size_t held() const { return m_buffer.size() - m_start; }

    static constexpr size_t maxHeaderBytes = 8 * 1024;

  private:
    // Frames what the buffer holds; false on an error or the end.
    bool frame(const PartHandler& handler);
    // How framing goes on after a step: with the next step, as soon as more bytes come, or
    // not at all (it failed).
    enum class Step { Next, Part, Wait, Stop };
    // Passes a blank line or a delimiter line at the start of `rest`; Part when a part begins.
    Step passBetweenParts(std::string_view rest);
    // Hands on the part at the start of `rest` when it came whole.
    Step readPart(std::string_view rest, const PartHandler& handler);
    Step stop(const char* why) {
        fail(why);
        return Step::Stop;
    }
    // `why` is marked with QT_TRANSLATE_NOOP in this class's context.
    bool fail(const char* why);
    // Where the next delimiter line begins, at or after `from`, or npos.
    size_t findDelimiter(size_t from) const;

    std::string m_delimiter; // "--" + the boundary
    size_t m_maxPart;
    std::string m_buffer;
    size_t m_start = 0; // the buffer's bytes before this are framed already
    // where the search for the end of a part without a length goes on, so that a part that
    // comes in many batches is searched once
    size_t m_searchFrom = 0;

    bool m_ended = false;
    std::string m_error;
};
