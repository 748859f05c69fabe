#include "net/httphead.h"

#include <array>
#include <limits>

namespace {

char lower(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

bool sameNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i]))
            return false;
    return true;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && (isBlank(text.back()) || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// A plain decimal number of at most 18 digits (no sign, no blanks inside).
std::optional<int64_t> plainNumber(std::string_view text) {
    if (text.empty() || text.size() > 18)
        return std::nullopt;
    int64_t value = 0;
    for (char c : text) {
        if (!isDigit(c))
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

std::optional<int> parseStatusLine(std::string_view line) {
    // "HTTP/1.1 200 OK": the version, one blank, three digits, then a blank or the line's end
    if (line.size() < 12 || !line.starts_with("HTTP/1.") || !isDigit(line[7]) || line[8] != ' ')
        return std::nullopt;
    if (!isDigit(line[9]) || !isDigit(line[10]) || !isDigit(line[11]))
        return std::nullopt;
    if (line.size() > 12 && line[12] != ' ')
        return std::nullopt;
    const int status = (line[9] - '0') * 100 + (line[10] - '0') * 10 + (line[11] - '0');
    if (status < 100 || status > 599)
        return std::nullopt; // no class of answer HTTP knows
    return status;
}

// Days from 1970-01-01 to the given civil date (proleptic Gregorian).
int64_t daysFromCivil(int64_t year, unsigned month, unsigned day) {
    year -= month <= 2;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const unsigned yearOfEra = unsigned(year - era * 400);
    const unsigned dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + int64_t(dayOfEra) - 719468;
}

std::optional<unsigned> monthNumber(std::string_view name) {
    static const std::array<std::string_view, 12> months = {
        "jan", "feb", "mar", "apr", "may", "jun", "jul", "aug", "sep", "oct", "nov", "dec"};
    for (size_t i = 0; i < months.size(); ++i)
        if (sameNoCase(name, months[i]))
            return unsigned(i + 1);
    return std::nullopt;
}

std::vector<std::string_view> words(std::string_view text) {
    std::vector<std::string_view> parts;
    size_t at = 0;
    while (at < text.size()) {
        while (at < text.size() && (text[at] == ' ' || text[at] == ','))
            ++at;
        const size_t start = at;
        while (at < text.size() && text[at] != ' ' && text[at] != ',')
            ++at;
        if (at > start)
            parts.push_back(text.substr(start, at - start));
    }
    return parts;
}

std::optional<int64_t> timeOfDay(std::string_view text) {
    if (text.size() != 8 || text[2] != ':' || text[5] != ':')
        return std::nullopt;
    const auto h = plainNumber(text.substr(0, 2)), m = plainNumber(text.substr(3, 2)),
               s = plainNumber(text.substr(6, 2));
    if (!h || !m || !s || *h > 23 || *m > 59 || *s > 60)
        return std::nullopt;
    return *h * 3600 + *m * 60 + *s;
}

std::optional<int64_t> moment(int64_t year, std::optional<unsigned> month,
                              std::optional<int64_t> day, std::optional<int64_t> seconds) {
    if (!month || !day || !seconds || *day < 1 || *day > 31 || year < 1900 || year > 9999)
        return std::nullopt;
    return daysFromCivil(year, *month, unsigned(*day)) * 86400 + *seconds;
}

} // namespace

std::optional<std::string_view> ResponseHead::value(std::string_view name) const {
    for (const auto& [field, content] : fields)
        if (sameNoCase(field, name))
            return std::string_view(content);
    return std::nullopt;
}

std::vector<std::string_view> ResponseHead::values(std::string_view name) const {
    std::vector<std::string_view> found;
    for (const auto& [field, content] : fields)
        if (sameNoCase(field, name))
            found.push_back(content);
    return found;
}

ResponseHead ParseResponseHead(std::string_view headers) {
    ResponseHead head;
    bool first = true;
    size_t start = 0;
    while (start <= headers.size()) {
        size_t end = headers.find('\n', start);
        if (end == std::string_view::npos)
            end = headers.size();
        std::string_view line = headers.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        start = end + 1;
        if (first) {
            first = false;
            if (const auto status = parseStatusLine(line)) {
                head.status = *status;
                continue;
            }
        }
        const size_t colon = line.find(':');
        if (colon == std::string_view::npos || colon == 0)
            continue;
        const std::string_view name = line.substr(0, colon);
        if (name.find_first_of(" \t") != std::string_view::npos)
            continue; // no blanks inside a field name
        head.fields.emplace_back(std::string(name), std::string(trimmed(line.substr(colon + 1))));
        if (end == headers.size())
            break;
    }
    return head;
}

Framing FramingOf(const ResponseHead& head) {
    if ((head.status >= 100 && head.status < 200) || head.status == 204 || head.status == 304)
        return {BodyFraming::None, 0};
    for (std::string_view coding : head.values("Transfer-Encoding")) {
        // "chunked" is the last coding when it is there at all
        const size_t comma = coding.rfind(',');
        if (sameNoCase(trimmed(comma == std::string_view::npos ? coding : coding.substr(comma + 1)),
                       "chunked"))
            return {BodyFraming::Chunked, 0};
    }
    std::optional<int64_t> length;
    for (std::string_view text : head.values("Content-Length")) {
        const std::optional<int64_t> value = plainNumber(trimmed(text));
        if (!value || (length && *length != *value))
            return {BodyFraming::UntilClose, 0}; // unreadable or contradicting: read to the end
        length = value;
    }
    if (length)
        return {BodyFraming::ContentLength, *length};
    return {BodyFraming::UntilClose, 0};
}

std::optional<int64_t> ParseRetryAfter(std::string_view value, int64_t now, int64_t cap) {
    value = trimmed(value);
    if (value.empty())
        return std::nullopt;
    if (isDigit(value.front())) {
        if (value.size() > 18) // a number this long is as good as forever
            return value.find_first_not_of("0123456789") == std::string_view::npos
                       ? std::optional<int64_t>(cap)
                       : std::nullopt;
        const std::optional<int64_t> seconds = plainNumber(value);
        if (!seconds)
            return std::nullopt;
        return std::min(*seconds, cap);
    }
    const std::optional<int64_t> when = ParseHttpDate(value);
    if (!when || *when <= now)
        return std::nullopt;
    return std::min(*when - now, cap);
}

std::optional<int64_t> ParseHttpDate(std::string_view text) {
    const std::vector<std::string_view> parts = words(trimmed(text));
    if (parts.size() == 6 && parts[5] == "GMT") {
        // "Sun, 06 Nov 1994 08:49:37 GMT"
        const auto year = plainNumber(parts[3]);
        if (!year)
            return std::nullopt;
        return moment(*year, monthNumber(parts[2]), plainNumber(parts[1]), timeOfDay(parts[4]));
    }
    if (parts.size() == 4 && parts[3] == "GMT") {
        // "Sunday, 06-Nov-94 08:49:37 GMT"
        const std::string_view date = parts[1];
        if (date.size() != 9 || date[2] != '-' || date[6] != '-')
            return std::nullopt;
        const auto shortYear = plainNumber(date.substr(7, 2));
        if (!shortYear)
            return std::nullopt;
        const int64_t year = *shortYear < 70 ? 2000 + *shortYear : 1900 + *shortYear;
        return moment(year, monthNumber(date.substr(3, 3)), plainNumber(date.substr(0, 2)),
                      timeOfDay(parts[2]));
    }
    if (parts.size() == 5) {
        // "Sun Nov  6 08:49:37 1994"
        const auto year = plainNumber(parts[4]);
        if (!year)
            return std::nullopt;
        return moment(*year, monthNumber(parts[1]), plainNumber(parts[2]), timeOfDay(parts[3]));
    }
    return std::nullopt;
}

std::string AsciiLowered(std::string_view text) {
    std::string result(text);
    for (char& c : result)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return result;
}

bool IsSendableValidator(std::string_view value) {
    if (value.empty() || value.size() > 1024)
        return false;
    for (unsigned char c : value)
        if (c < 0x20 || c == 0x7F)
            return false;
    return true;
}
