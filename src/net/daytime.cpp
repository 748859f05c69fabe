#include "net/daytime.h"

#include <string>
#include <vector>

namespace {

std::optional<int> twoDigits(std::string_view text) {
    if (text.size() != 2 || text[0] < '0' || text[0] > '9' || text[1] < '0' || text[1] > '9')
        return std::nullopt;
    return (text[0] - '0') * 10 + (text[1] - '0');
}

// "aa?bb?cc" with `separator` between the three two-digit numbers.
bool threeNumbers(std::string_view text, char separator, int& a, int& b, int& c) {
    if (text.size() != 8 || text[2] != separator || text[5] != separator)
        return false;
    auto x = twoDigits(text.substr(0, 2)), y = twoDigits(text.substr(3, 2)),
         z = twoDigits(text.substr(6, 2));
    if (!x || !y || !z)
        return false;
    a = *x, b = *y, c = *z;
    return true;
}

bool isLeap(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

} // namespace

std::optional<DaytimeAnswer> ParseDaytimeAnswer(std::string_view text) {
    // only an answer that arrived whole, up to its line end, is read
    if (text.empty() || text.back() != '\n')
        return std::nullopt;
    std::string line;
    for (char c : text)
        if (c != '\n')
            line += c;
    std::vector<std::string_view> fields;
    std::string_view rest = line;
    for (size_t space; (space = rest.find(' ')) != std::string_view::npos;
         rest.remove_prefix(space + 1))
        fields.push_back(rest.substr(0, space));
    fields.push_back(rest);
    if (fields.size() < 3)
        return std::nullopt;

    DaytimeAnswer answer{};
    int yy = 0;
    if (!threeNumbers(fields[1], '-', yy, answer.month, answer.day) ||
        !threeNumbers(fields[2], ':', answer.hour, answer.minute, answer.second))
        return std::nullopt;
    answer.year = yy < 30 ? 2000 + yy : 1900 + yy;
    static const int monthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (answer.month < 1 || answer.month > 12 || answer.day < 1)
        return std::nullopt;
    const int days = monthDays[answer.month - 1] + (answer.month == 2 && isLeap(answer.year));
    if (answer.day > days || answer.hour > 23 || answer.minute > 59 || answer.second > 59)
        return std::nullopt;
    return answer;
}
