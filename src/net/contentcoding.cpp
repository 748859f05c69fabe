#include "net/contentcoding.h"

#include "common/localtext.h"
#include "net/httphead.h"

#include <QCoreApplication>

#include <algorithm>
#include <cctype>
#include <vector>
#include <zlib.h>

namespace {

// `why` is marked with QT_TRANSLATE_NOOP in this context; "%1" is `value`.
DecodedContent refused(const char* why, std::string_view value = {}) {
    return {false, {}, localBytes(QCoreApplication::translate("ContentCoding", why), {value})};
}

std::vector<std::string> codingsOf(std::string_view field) {
    std::vector<std::string> codings;
    size_t start = 0;
    while (start <= field.size()) {
        const size_t comma = std::min(field.find(',', start), field.size());
        std::string_view token = field.substr(start, comma - start);
        while (!token.empty() && (token.front() == ' ' || token.front() == '\t'))
            token.remove_prefix(1);
        while (!token.empty() && (token.back() == ' ' || token.back() == '\t'))
            token.remove_suffix(1);
        if (!token.empty())
            codings.push_back(AsciiLowered(token));
        start = comma + 1;
    }
    return codings;
}

constexpr size_t largestAnyRatio = 16 * 1024 * 1024;
constexpr size_t mostRatio = 100;

// Inflates `input` in a zlib, gzip (windowBits 15 + 32: either, by its header) or raw
// (windowBits -15) stream, stopping past `maxBytes`.
DecodedContent inflated(const QByteArray& input, int windowBits, size_t maxBytes) {
    // A picture compresses little: past 16 MB, more than a hundred times its compressed size is
    // a bomb, refused before it takes the time of inflating all of it.
    maxBytes = std::min(maxBytes, std::max(largestAnyRatio, size_t(input.size()) * mostRatio));
    DecodedContent result;
    z_stream stream{};
    if (inflateInit2(&stream, windowBits) != Z_OK)
        return refused(
            QT_TRANSLATE_NOOP("ContentCoding", "the answer's compression could not be undone"));
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.constData()));
    stream.avail_in = uInt(input.size());
    int status = Z_OK;
    while (status == Z_OK) {
        const size_t have = size_t(result.bytes.size());
        if (have >= maxBytes + 1) {
            status = Z_BUF_ERROR;
            break;
        }
        const size_t room =
            std::min<size_t>(std::max<size_t>(have, 64 * 1024), maxBytes + 1 - have);
        result.bytes.resize(qsizetype(have + room));
        stream.next_out = reinterpret_cast<Bytef*>(result.bytes.data() + have);
        stream.avail_out = uInt(room);
        status = inflate(&stream, Z_NO_FLUSH);
        result.bytes.resize(qsizetype(have + room - stream.avail_out));
        if (status == Z_BUF_ERROR && stream.avail_in == 0)
            break; // the input ended before the stream did
    }
    inflateEnd(&stream);
    if (size_t(result.bytes.size()) > maxBytes)
        return refused(QT_TRANSLATE_NOOP("ContentCoding",
                                         "the server's answer is too large once uncompressed"));
    if (status != Z_STREAM_END)
        return refused(QT_TRANSLATE_NOOP("ContentCoding", "the answer's compression is broken"));
    return result;
}

} // namespace

DecodedContent DecodeContent(std::string_view field, const QByteArray& body, size_t maxBytes) {
    const std::vector<std::string> codings = codingsOf(field);
    // a picture is compressed once, twice at most; more layers only make a bomb of each
    const auto layers =
        std::count_if(codings.begin(), codings.end(),
                      [](const std::string& coding) { return coding != "identity"; });
    if (layers > 2)
        return refused(
            QT_TRANSLATE_NOOP("ContentCoding", "the answer is compressed more than twice"));
    DecodedContent result{true, body, {}};
    // undone last applied first
    for (auto coding = codings.rbegin(); coding != codings.rend() && result.ok; ++coding) {
        if (*coding == "identity")
            continue;
        if (*coding == "gzip" || *coding == "x-gzip") {
            result = inflated(result.bytes, 15 + 32, maxBytes);
        } else if (*coding == "deflate") {
            // meant as a zlib stream; some servers send the raw one, without its header
            const QByteArray& bytes = result.bytes;
            const bool zlibHeader = bytes.size() >= 2 && (uchar(bytes[0]) & 0x0f) == 8 &&
                                    (uchar(bytes[0]) * 256 + uchar(bytes[1])) % 31 == 0;
            result = inflated(bytes, zlibHeader ? 15 : -15, maxBytes);
        } else {
            return refused(QT_TRANSLATE_NOOP("ContentCoding", "the answer is compressed as \"%1\", "
                                                              "which the program cannot undo"),
                           *coding);
        }
    }
    return result;
}
