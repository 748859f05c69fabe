#include "camlist/camlisttext.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

namespace camlisttext {
namespace {

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

// Position of the marker in `line`, compared without regard to ASCII letter case.
size_t findMarkerNoCase(std::string_view line, size_t from) {
    if (line.size() < marker.size())
        return std::string_view::npos;
    for (size_t i = from; i + marker.size() <= line.size(); ++i) {
        bool same = true;
        for (size_t k = 0; k < marker.size() && same; ++k)
            same = lowerAscii(line[i + k]) == marker[k];
        if (same)
            return i;
    }
    return std::string_view::npos;
}

bool isNameLineOf(std::string_view line, std::string_view name) {
    return line.size() == marker.size() + name.size() && line.starts_with(marker) &&
           line.substr(marker.size()) == name;
}

// Index of the first complete record named `name`, or npos.
size_t findRecordLine(const std::vector<std::string>& lines, std::string_view name) {
    for (size_t i = 0; i < lines.size(); ++i) {
        if (isNameLineOf(lines[i], name))
            return i + 2 < lines.size() ? i : std::string_view::npos;
    }
    return std::string_view::npos;
}

} // namespace

namespace {

// Where the line after the one starting at `start` starts (after CR LF, a lone CR or a lone LF).
size_t nextLineStart(std::string_view text, size_t start) {
    const size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos)
        return text.size();
    return text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? end + 2 : end + 1;
}

} // namespace

std::vector<std::string> splitLines(std::string_view text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.emplace_back(text.substr(start));
            break;
        }
        lines.emplace_back(text.substr(start, end - start));
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n')
            ++start;
    }
    return lines;
}

std::vector<std::string> listNames(std::string_view text) {
    std::vector<std::string> names;
    for (const std::string& line : splitLines(text)) {
        size_t at = findMarkerNoCase(line, 0);
        if (at == std::string_view::npos)
            continue;
        std::string name;
        size_t kept = 0;
        while (at != std::string_view::npos) {
            name.append(line, kept, at - kept);
            kept = at + marker.size();
            at = findMarkerNoCase(line, kept);
        }
        name.append(line, kept, std::string::npos);
        names.push_back(std::move(name));
    }
    return names;
}

std::optional<CamRecord> findRecord(std::string_view text, std::string_view name) {
    if (name.empty())
        return std::nullopt;
    const std::vector<std::string> lines = splitLines(text);
    const size_t at = findRecordLine(lines, name);
    if (at == std::string_view::npos)
        return std::nullopt;
    return CamRecord{std::string(name), lines[at + 1], lines[at + 2]};
}

std::string recordText(const CamRecord& record) {
    std::string text;
    text.reserve(record.name.size() + record.url.size() + record.refresh.size() + 16);
    text.append(marker).append(record.name).append(lineEnd);
    text.append(record.url).append(lineEnd);
    text.append(record.refresh).append(lineEnd);
    text.append(lineEnd);
    return text;
}

std::string withRecordAppended(std::string_view text, const CamRecord& record) {
    std::string out(text);
    if (!out.empty() && out.back() != '\r' && out.back() != '\n')
        out.append(lineEnd);
    return out.append(recordText(record));
}

namespace {

// The lines again, each ended by CR LF, and the empty line the list file ends with.
std::string joinedLines(const std::vector<std::string>& lines) {
    std::string out;
    size_t total = lineEnd.size();
    for (const std::string& line : lines)
        total += line.size() + lineEnd.size();
    out.reserve(total);
    for (const std::string& line : lines)
        out.append(line).append(lineEnd);
    out.append(lineEnd);
    return out;
}

} // namespace

std::string withoutRecord(std::string_view text, std::string_view name) {
    std::vector<std::string> lines = splitLines(text);
    const size_t at = name.empty() ? std::string_view::npos : findRecordLine(lines, name);
    if (at != std::string_view::npos) {
        // name line -> empty line; address and refresh lines together -> one empty line
        lines[at].clear();
        lines[at + 1].clear();
        lines.erase(lines.begin() + std::ptrdiff_t(at) + 2);
    }
    return joinedLines(lines);
}

std::string withRecordReplaced(std::string_view text, std::string_view oldName,
                               const CamRecord& record) {
    const std::vector<std::string> lines = splitLines(text);
    const size_t at = oldName.empty() ? std::string_view::npos : findRecordLine(lines, oldName);
    if (at == std::string_view::npos)
        return withRecordAppended(text, record);
    // the record's three lines are spliced in; every other byte stays as it was
    size_t from = 0, line = 0;
    for (; line < at; ++line)
        from = nextLineStart(text, from);
    size_t to = from;
    for (; line < at + 3; ++line)
        to = nextLineStart(text, to);
    std::string out(text.substr(0, from));
    out.append(marker).append(record.name).append(lineEnd);
    out.append(record.url).append(lineEnd);
    out.append(record.refresh).append(lineEnd);
    return out.append(text.substr(to));
}

} // namespace camlisttext

bool camlisttext::holdsControlCharacter(std::string_view text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return uint8_t(c) < 32 || uint8_t(c) == 127; });
}

bool camlisttext::breaksRecordLines(std::string_view field) {
    if (holdsControlCharacter(field))
        return true;
    std::string lower(field);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return lower.find(marker) != std::string::npos;
}
