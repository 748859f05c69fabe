#include "imaging/savename.h"

#include <QCryptographicHash>

#include <QByteArray>
#include <QString>

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace {

void removeFirst(std::string& text, char c, int times) {
    for (int i = 0; i < times; ++i) {
        const size_t at = text.find(c);
        if (at == std::string::npos)
            return;
        text.erase(at, 1);
    }
}

} // namespace

std::string SaveFileName(std::string_view camName, std::string_view dateText,
                         std::string_view timeText) {
    std::string name;
    name.append(camName).append(dateText).append(timeText).append(".jpg");
    std::erase(name, ' ');
    removeFirst(name, '/', 2);
    removeFirst(name, ':', 3);
    std::erase_if(name, [](char c) { return c == '/' || uint8_t(c) < 32 || uint8_t(c) == 127; });
    return name;
}

std::string SaveNameCamPart(std::string_view camName) {
    static constexpr char hex[] = "0123456789ABCDEF";
    // a name that is not UTF-8 would not come back from the file system as it went: all its
    // bytes above 127 are written as codes too
    const QByteArray bytes(camName.data(), qsizetype(camName.size()));
    const bool utf8 = QString::fromUtf8(bytes).toUtf8() == bytes;
    std::string part;
    for (const char c : camName) {
        const auto byte = uint8_t(c);
        if (c == '%' || c == '/' || c == ':' || c == saveNameSeparator || byte < 32 ||
            byte == 127 || (byte > 127 && !utf8))
            part.append({'%', hex[byte >> 4], hex[byte & 15]});
        else
            part += c;
    }
    if (part.size() <= maxSaveNamePartBytes)
        return part;
    // A file name holds 255 bytes: a longer part keeps its start, cut where a code or a
    // character begins, and "%%" with the start of the whole name's SHA-256, which an escaped
    // name never holds; so it stays one cam's alone.
    size_t cut = maxSaveNamePartBytes - 2 - shortenedHashDigits;
    while (cut > 0 && ((uint8_t(part[cut]) & 0xC0) == 0x80 || part[cut - 1] == '%' ||
                       (cut > 1 && part[cut - 2] == '%')))
        --cut;
    const QByteArray digest = QCryptographicHash::hash(bytes, QCryptographicHash::Sha256)
                                  .toHex()
                                  .left(shortenedHashDigits);
    return part.substr(0, cut) + "%%" + digest.toStdString();
}

std::string TimedSaveFileName(std::string_view camName, const SaveMoment& m, int number) {
    char moment[64];
    std::snprintf(moment, sizeof moment, "%04d-%02d-%02d_%02d-%02d-%02d", m.year, m.month, m.day,
                  m.hour, m.minute, m.second);
    std::string name = SaveNameCamPart(camName) + saveNameSeparator + moment;
    if (number > 1)
        name += "_" + std::to_string(number);
    return name + ".jpg";
}

std::optional<ReadSaveName> ReadTimedSaveFileName(std::string_view fileName,
                                                  std::string_view camPart) {
    // <cam part>~yyyy-MM-dd_HH-mm-ss[_n].jpg
    if (!fileName.starts_with(camPart) || !fileName.ends_with(".jpg"))
        return std::nullopt;
    std::string_view rest = fileName.substr(camPart.size());
    rest.remove_suffix(4);
    if (rest.size() < 20 || rest[0] != saveNameSeparator)
        return std::nullopt;
    const auto number = [](std::string_view digits, int& value) {
        const auto [end, error] =
            std::from_chars(digits.data(), digits.data() + digits.size(), value);
        return error == std::errc() && end == digits.data() + digits.size() && digits[0] != '-';
    };
    ReadSaveName read;
    SaveMoment& m = read.moment;
    const std::string_view text = rest.substr(1, 19);
    const char pattern[] = "dddd-dd-dd_dd-dd-dd";
    for (size_t i = 0; i < text.size(); ++i)
        if ((pattern[i] == 'd') != (text[i] >= '0' && text[i] <= '9') ||
            (pattern[i] != 'd' && text[i] != pattern[i]))
            return std::nullopt;
    number(text.substr(0, 4), m.year);
    number(text.substr(5, 2), m.month);
    number(text.substr(8, 2), m.day);
    number(text.substr(11, 2), m.hour);
    number(text.substr(14, 2), m.minute);
    number(text.substr(17, 2), m.second);
    const std::string_view suffix = rest.substr(20);
    // the number as the writer writes it, never zero-padded: "_0002" is another program's
    if (!suffix.empty() && (suffix[0] != '_' || suffix.size() > 6 || suffix.substr(1, 1) == "0" ||
                            !number(suffix.substr(1), read.number) || read.number < 2))
        return std::nullopt;
    return read;
}
