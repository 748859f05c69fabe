#include "net/chunked.h"

#include "common/localtext.h"
#include "common/numbertext.h"

bool ChunkedDecoder::fail(std::string why) {
    m_state = State::Error;
    m_error = std::move(why);
    return false;
}

bool ChunkedDecoder::sizeLineEnded() {
    // "1a3f", "1a3f;name=value" or "1a3f " before the extensions
    std::string_view line = m_line;
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    size_t digits = 0;
    uint64_t size = 0;
    while (digits < line.size() && hexDigitValue(line[digits]) >= 0) {
        if (digits == 15)
            return fail(localBytes(tr("a chunk size too large")));
        size = size * 16 + uint64_t(hexDigitValue(line[digits]));
        ++digits;
    }
    if (digits == 0)
        return fail(localBytes(tr("a chunk size that is not a number")));
    const std::string_view rest = line.substr(digits);
    if (!rest.empty() && rest.front() != ';' && rest.front() != ' ' && rest.front() != '\t')
        return fail(localBytes(tr("a chunk size that is not a number")));
    m_line.clear();
    if (size == 0) {
        m_state = State::Trailer;
        return true;
    }
    m_chunkLeft = size;
    m_state = State::Data;
    return true;
}

size_t ChunkedDecoder::feed(std::string_view bytes, std::string& body) {
    size_t at = 0;
    while (at < bytes.size() && m_state != State::Done && m_state != State::Error) {
        switch (m_state) {
        case State::Size:
        case State::Trailer: {
            const size_t end = bytes.find('\n', at);
            const size_t take = (end == std::string_view::npos ? bytes.size() : end) - at;
            if (m_line.size() + take > maxLine) {
                fail(localBytes(tr("a chunk line too long")));
                return bytes.size();
            }
            m_line.append(bytes.substr(at, take));
            at += take;
            if (end == std::string_view::npos)
                break;
            ++at; // the line feed
            if (m_state == State::Size) {
                sizeLineEnded();
            } else {
                // trailer fields are passed over; an empty line ends the body
                const bool empty = m_line.empty() || m_line == "\r";
                m_line.clear();
                if (empty)
                    m_state = State::Done;
            }
            break;
        }
        case State::Data: {
            const size_t take = size_t(std::min<uint64_t>(m_chunkLeft, bytes.size() - at));
            if (body.size() + take > m_maxBody) {
                m_bodyTooLarge = true;
                fail(localBytes(tr("a body too large")));
                return bytes.size();
            }
            body.append(bytes.substr(at, take));
            at += take;
            m_chunkLeft -= take;
            if (m_chunkLeft == 0)
                m_state = State::DataEnd;
            break;
        }
        case State::DataEnd: {
            // the line end after a chunk's data: CR LF, or a lone LF
            const char c = bytes[at++];
            if (c == '\n') {
                m_state = State::Size;
                m_sawCr = false;
            } else if (c == '\r' && !m_sawCr) {
                m_sawCr = true;
            } else {
                fail(localBytes(tr("a chunk without its line end")));
                return bytes.size();
            }
            break;
        }
        case State::Done:
        case State::Error:
            break;
        }
    }
    return at;
}
