#include "net/multipart.h"

#include "common/localtext.h"

#include <QCoreApplication>

#include <algorithm>
#include <string>

namespace {

// A sniffed stream's first part headers are looked for in this many bytes.
constexpr size_t maxPartSniffBytes = 1024;

char lower(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

bool startsWithNoCase(std::string_view text, std::string_view start) {
    if (text.size() < start.size())
        return false;
    for (size_t i = 0; i < start.size(); ++i)
        if (lower(text[i]) != lower(start[i]))
            return false;
    return true;
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

// The Content-Length of a part's headers, when it has one that is a plain number.
std::optional<size_t> partLength(std::string_view headers) {
    size_t at = 0;
    while (at < headers.size()) {
        size_t end = headers.find('\n', at);
        if (end == std::string_view::npos)
            end = headers.size();
        const std::string_view line = headers.substr(at, end - at);
        if (startsWithNoCase(line, "content-length:")) {
            const std::string_view value = trimmed(line.substr(15));
            if (!value.empty() && value.size() <= 15 &&
                std::all_of(value.begin(), value.end(),
                            [](char c) { return c >= '0' && c <= '9'; }))
                return size_t(std::stoull(std::string(value)));
            return std::nullopt;
        }
        at = end + 1;
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string> StreamBoundary(std::string_view contentType) {
    if (!startsWithNoCase(trimmed(contentType), "multipart/x-mixed-replace"))
        return std::nullopt;
    size_t at = 0;
    while ((at = contentType.find(';', at)) != std::string_view::npos) {
        ++at;
        const std::string_view parameter = trimmed(contentType.substr(at));
        if (!startsWithNoCase(parameter, "boundary="))
            continue;
        std::string_view value = parameter.substr(9);
        if (!value.empty() && value.front() == '"') {
            value.remove_prefix(1);
            value = value.substr(0, value.find('"'));
        } else {
            value = trimmed(value.substr(0, value.find(';')));
        }
        while (value.starts_with('-')) // declared with its leading "--", as some cams do
            value.remove_prefix(1);
        if (value.empty() || value.size() > 200 ||
            value.find_first_of("\r\n") != std::string_view::npos)
            return std::nullopt;
        return std::string(value);
    }
    return std::nullopt;
}

std::optional<std::string> SniffedStreamBoundary(std::string_view first, bool* more) {
    *more = false;
    const size_t lineEnd = first.find('\n');
    if (lineEnd == std::string_view::npos || lineEnd > 202) {
        // the first bytes may not have come yet (a head often comes alone)
        const bool dashes =
            first.size() < 2 ? std::string_view("--").starts_with(first) : first.starts_with("--");
        *more = lineEnd == std::string_view::npos && first.size() < 203 && dashes;
        return std::nullopt;
    }
    const std::string_view boundary = trimmed(first.substr(0, lineEnd));
    if (!boundary.starts_with("--") || boundary.size() < 3 ||
        boundary.find_first_of(" \t") != std::string_view::npos)
        return std::nullopt;
    // the part's headers, up to their blank line
    const size_t end = first.find("\n\r\n", lineEnd);
    const size_t endLf = first.find("\n\n", lineEnd);
    const size_t headersEnd = std::min(end, endLf);
    if (headersEnd == std::string_view::npos) {
        *more = first.size() < lineEnd + maxPartSniffBytes;
        return std::nullopt;
    }
    std::string_view headers = first.substr(lineEnd + 1, headersEnd - lineEnd);
    for (size_t at = 0; at < headers.size();) {
        const size_t stop = std::min(headers.find('\n', at), headers.size());
        const std::string_view line = headers.substr(at, stop - at);
        if (startsWithNoCase(line, "content-type:") &&
            startsWithNoCase(trimmed(line.substr(13)), "image/"))
            return std::string(boundary.substr(2));
        at = stop + 1;
    }
    return std::nullopt;
}

MultipartReader::MultipartReader(std::string boundary, size_t maxPart)
    : m_delimiter(std::move(boundary)), m_maxPart(maxPart) {}

bool MultipartReader::fail(const char* why) {
    m_error = localBytes(QCoreApplication::translate("MultipartReader", why));
    return false;
}

size_t MultipartReader::findDelimiter(size_t from) const {
    const std::string_view text(m_buffer);
    for (size_t hit = text.find(m_delimiter, from); hit != std::string_view::npos;
         hit = text.find(m_delimiter, hit + 1)) {
        // a line of two or more dashes and the boundary
        size_t start = hit;
        while (start > from && text[start - 1] == '-')
            --start;
        if (hit - start < 2 || (start > 0 && text[start - 1] != '\n'))
            continue;
        return start;
    }
    return std::string_view::npos;
}

bool MultipartReader::frame(const PartHandler& handler) {
    for (;;) {
        const std::string_view rest = std::string_view(m_buffer).substr(m_start);
        if (rest.empty())
            return true;
        Step step = passBetweenParts(rest);
        if (step == Step::Part)
            step = readPart(rest, handler);
        if (step == Step::Wait)
            return true;
        if (step == Step::Stop)
            return false;
    }
}

MultipartReader::Step MultipartReader::passBetweenParts(std::string_view rest) {
    // between parts: blank lines and the delimiter lines
    const size_t lineEnd = rest.find('\n');
    const std::string_view line =
        trimmed(rest.substr(0, lineEnd == std::string_view::npos ? rest.size() : lineEnd));
    if (line.empty() && lineEnd != std::string_view::npos) {
        m_start += lineEnd + 1;
        return Step::Next;
    }
    if (!line.starts_with("--") && !(line.starts_with('-') && lineEnd == std::string_view::npos))
        return Step::Part;
    if (lineEnd == std::string_view::npos)
        return rest.size() <= m_delimiter.size() + 8
                   ? Step::Wait
                   : stop(QT_TRANSLATE_NOOP("MultipartReader", "a damaged stream"));
    std::string_view bare = line;
    while (bare.starts_with('-'))
        bare.remove_prefix(1);
    if (bare == m_delimiter + "--") {
        m_ended = true;
        return stop(QT_TRANSLATE_NOOP("MultipartReader", "the stream ended"));
    }
    if (bare == m_delimiter) {
        m_start += lineEnd + 1;
        return Step::Next;
    }
    return Step::Part;
}

MultipartReader::Step MultipartReader::readPart(std::string_view rest, const PartHandler& handler) {
    // a part: its headers (none, when a picture starts at once), then its body
    size_t bodyStart = 0;
    std::string_view headers;
    if (rest.starts_with("\xFF\xD8")) {
        bodyStart = m_start;
    } else {
        // headers end within their bound: what lies further is never searched again as each
        // batch comes (a long body without a blank line would cost more every time)
        const std::string_view head = rest.substr(0, maxHeaderBytes + 4);
        size_t end = head.find("\r\n\r\n");
        size_t blank = 4;
        const size_t lf = head.find("\n\n");
        if (lf != std::string_view::npos && (end == std::string_view::npos || lf < end))
            end = lf, blank = 2;
        if ((end == std::string_view::npos && rest.size() > maxHeaderBytes) ||
            (end != std::string_view::npos && end > maxHeaderBytes))
            return stop(QT_TRANSLATE_NOOP("MultipartReader", "a part's headers are too long"));
        if (end == std::string_view::npos)
            return Step::Wait;
        headers = rest.substr(0, end);
        bodyStart = m_start + end + blank;
    }
    if (const std::optional<size_t> length = partLength(headers)) {
        if (*length > m_maxPart)
            return stop(
                QT_TRANSLATE_NOOP("MultipartReader", "a picture of the stream is too large"));
        if (m_buffer.size() - bodyStart < *length)
            return Step::Wait; // the rest of the part is to come
        const std::string headerText(headers);
        handler(headerText, std::string_view(m_buffer).substr(bodyStart, *length));
        m_start = bodyStart + *length;
        return Step::Next;
    }
    const size_t next = findDelimiter(std::max(bodyStart, m_searchFrom));
    if (next == std::string::npos) {
        // the next search starts before what may be a delimiter cut off at the end
        size_t resume =
            m_buffer.size() > m_delimiter.size() + 2 ? m_buffer.size() - m_delimiter.size() - 2 : 0;
        while (resume > bodyStart && m_buffer[resume - 1] == '-')
            --resume;
        m_searchFrom = resume > 0 ? resume - 1 : 0;
        return m_buffer.size() - bodyStart <= m_maxPart
                   ? Step::Wait
                   : stop(QT_TRANSLATE_NOOP("MultipartReader",
                                            "a picture of the stream is too large"));
    }
    // the line break before the delimiter is the delimiter's
    size_t bodyEnd = next;
    if (bodyEnd > bodyStart && m_buffer[bodyEnd - 1] == '\n')
        --bodyEnd;
    if (bodyEnd > bodyStart && m_buffer[bodyEnd - 1] == '\r')
        --bodyEnd;
    const std::string headerText(headers);
    handler(headerText, std::string_view(m_buffer).substr(bodyStart, bodyEnd - bodyStart));
    m_start = next;
    m_searchFrom = 0;
    return Step::Next;
}

bool MultipartReader::feed(std::string_view bytes, const PartHandler& handler) {
    if (m_ended || !m_error.empty())
        return false;
    // what is framed goes, when it is most of what is held
    if (m_start > 0 && m_start >= m_buffer.size() / 2) {
        m_buffer.erase(0, m_start);
        m_searchFrom = m_searchFrom > m_start ? m_searchFrom - m_start : 0;
        m_start = 0;
    }

    m_buffer.append(bytes);
    return frame(handler);
}
