#include "timelapse/aviwriter.h"

#include "common/localtext.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstring>

namespace {

// AVI numbers are little-endian.
void put16(std::string& out, uint16_t value) {
    out += char(value & 0xff);
    out += char(value >> 8);
}

void put32(std::string& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        out += char((value >> shift) & 0xff);
}

void put64(std::string& out, uint64_t value) {
    put32(out, uint32_t(value));
    put32(out, uint32_t(value >> 32));
}

void setAt(std::string& out, size_t offset, uint32_t value) {
    std::string bytes;
    put32(bytes, value);
    out.replace(offset, 4, bytes);
}

constexpr uint32_t hasIndex = 0x10, isInterleaved = 0x100, trustChunkType = 0x800;
constexpr uint32_t keyFrame = 0x10;
constexpr uint32_t superIndexHeaderBytes = 24, superIndexEntryBytes = 16;
constexpr uint32_t extendedHeaderBytes = 248;

// The bytes a part's "ix00" chunk takes for `frames` frames, header included.
uint64_t partIndexBytes(uint64_t frames) {
    return 8 + 24 + 8 * frames;
}

uint64_t classicIndexBytes(uint64_t frames) {
    return 8 + 16 * frames;
}

} // namespace

MjpegAviWriter::MjpegAviWriter(ByteSink& sink, const Format& format)
    : m_sink(sink), m_format(format) {
    // a part's sizes are 32-bit fields; players expect parts of at most 1 GB
    m_format.partLimit = std::clamp<uint64_t>(m_format.partLimit, 64 * 1024, uint64_t(1) << 30);
    m_format.framesPerSecond = std::clamp<uint32_t>(m_format.framesPerSecond, 1, 1000);
}

bool MjpegAviWriter::fail(std::string why) {
    if (!m_failed)
        m_error = std::move(why);
    m_failed = true;
    return false;
}

bool MjpegAviWriter::append(std::string_view bytes) {
    if (m_failed)
        return false;
    return m_sink.append(bytes) || fail(m_sink.error());
}

bool MjpegAviWriter::patch32(uint64_t offset, uint32_t value) {
    std::string bytes;
    put32(bytes, value);
    return m_sink.patch(offset, bytes) || fail(m_sink.error());
}

void MjpegAviWriter::putMainHeader(std::string& h, uint64_t base) {
    h += "avih";
    put32(h, 56);
    m_mainHeader = base + h.size();
    put32(h, 1000000 / m_format.framesPerSecond);
    put32(h, 0); // bytes a second, at the end
    put32(h, 0);
    put32(h, hasIndex | isInterleaved | trustChunkType);
    put32(h, 0); // frames in the first part, at the end
    put32(h, 0);
    put32(h, 1); // one stream
    put32(h, 0); // the largest chunk, at the end
    put32(h, m_format.width);
    put32(h, m_format.height);
    h.append(16, '\0');
}

void MjpegAviWriter::putStreamList(std::string& h, uint64_t base) {
    const uint32_t width = m_format.width, height = m_format.height;
    const size_t streamList = h.size();
    h += "LIST";
    put32(h, 0);
    h += "strl";
    h += "strh";
    put32(h, 56);
    m_streamHeader = base + h.size();
    h += "vidsMJPG";
    put32(h, 0);
    put16(h, 0);
    put16(h, 0);
    put32(h, 0);
    put32(h, 1);                        // scale: one frame ...
    put32(h, m_format.framesPerSecond); // ... in 1/rate seconds
    put32(h, 0);
    put32(h, 0); // frames, at the end
    put32(h, 0); // the largest chunk, at the end
    put32(h, 0xffffffff);
    put32(h, 0);
    put16(h, 0);
    put16(h, 0);
    put16(h, uint16_t(std::min<uint32_t>(width, 0xffff)));
    put16(h, uint16_t(std::min<uint32_t>(height, 0xffff)));

    h += "strf";
    put32(h, 40);
    put32(h, 40);
    put32(h, width);
    put32(h, height);
    put16(h, 1);
    put16(h, 24);
    h += "MJPG";
    put32(h, width * height * 3);
    h.append(16, '\0');

    // the OpenDML index of the parts' indexes, filled in at the end
    h += "indx";
    put32(h, superIndexHeaderBytes + superIndexEntryBytes * maxParts);
    m_superIndex = base + h.size();
    put16(h, 4);
    h += '\0'; // sub-type
    h += '\0'; // an index of indexes
    put32(h, 0);
    h += "00dc";
    h.append(12, '\0');
    h.append(size_t(superIndexEntryBytes) * maxParts, '\0');
    setAt(h, streamList + 4, uint32_t(h.size() - streamList - 8));
}

bool MjpegAviWriter::begin() {
    const uint64_t base = m_sink.size();
    std::string h;
    h += "RIFF";
    put32(h, 0); // the part's size, at its end
    h += "AVI ";
    const size_t headerList = h.size();
    h += "LIST";
    put32(h, 0);
    h += "hdrl";
    putMainHeader(h, base);
    putStreamList(h, base);
    h += "LIST";
    put32(h, 4 + 8 + extendedHeaderBytes);
    h += "odml";
    h += "dmlh";
    put32(h, extendedHeaderBytes);
    m_extendedHeader = base + h.size();
    h.append(extendedHeaderBytes, '\0');
    setAt(h, headerList + 4, uint32_t(h.size() - headerList - 8));

    m_riffStart = base;
    if (!append(h))
        return false;
    m_moviStart = m_sink.size();
    return append(std::string_view("LIST\0\0\0\0movi", 12));
}

bool MjpegAviWriter::startPart() {
    m_riffStart = m_sink.size();
    if (!append(std::string_view("RIFF\0\0\0\0AVIX", 12)))
        return false;
    m_moviStart = m_sink.size();
    return append(std::string_view("LIST\0\0\0\0movi", 12));
}

bool MjpegAviWriter::addFrame(std::string_view jpeg) {
    if (m_failed)
        return false;
    if (jpeg.size() > m_format.partLimit / 2)
        return fail(localBytes(
            QCoreApplication::translate("AviWriter", "a picture of %1 bytes is too large"),
            {std::to_string(jpeg.size())}));
    const uint64_t chunkBytes = 8 + jpeg.size() + (jpeg.size() & 1);
    const uint64_t partBytes = m_sink.size() - m_riffStart;
    const uint64_t frames = m_partFrames.size() + 1;
    const uint64_t indexes =
        partIndexBytes(frames) + (m_partIndexes.empty() ? classicIndexBytes(frames) : 0);
    if (!m_partFrames.empty() && partBytes + chunkBytes + indexes > m_format.partLimit) {
        if (m_partIndexes.size() + 1 >= maxParts)
            return fail(localBytes(QCoreApplication::translate(
                "AviWriter", "the film would be longer than an AVI file can index")));
        if (!closePart() || !startPart())
            return false;
    }
    m_partFrames.push_back({m_sink.size(), uint32_t(jpeg.size())});
    std::string header = "00dc";
    put32(header, uint32_t(jpeg.size()));
    if (!append(header) || !append(jpeg) || ((jpeg.size() & 1) && !append(std::string(1, '\0'))))
        return false;
    ++m_totalFrames;
    m_largestFrame = std::max(m_largestFrame, uint32_t(jpeg.size()));
    return true;
}

bool MjpegAviWriter::closePart() {
    const uint64_t indexBase = m_moviStart + 8; // the part's "movi"
    const uint64_t indexAt = m_sink.size();
    std::string index = "ix00";
    put32(index, uint32_t(partIndexBytes(m_partFrames.size()) - 8));
    put16(index, 2);
    index += '\0'; // sub-type
    index += '\1'; // an index of chunks
    put32(index, uint32_t(m_partFrames.size()));
    index += "00dc";
    put64(index, indexBase);
    put32(index, 0);
    for (const FrameEntry& frame : m_partFrames) {
        put32(index, uint32_t(frame.chunk + 8 - indexBase)); // the frame's bytes; all key frames
        put32(index, frame.length);
    }
    if (!append(index))
        return false;
    m_partIndexes.push_back({indexAt, uint32_t(index.size()), uint32_t(m_partFrames.size())});
    if (!patch32(m_moviStart + 4, uint32_t(m_sink.size() - m_moviStart - 8)))
        return false;

    if (m_partIndexes.size() == 1) {
        std::string classic = "idx1";
        put32(classic, uint32_t(16 * m_partFrames.size()));
        for (const FrameEntry& frame : m_partFrames) {
            classic += "00dc";
            put32(classic, keyFrame);
            put32(classic, uint32_t(frame.chunk - indexBase));
            put32(classic, frame.length);
        }
        if (!append(classic))
            return false;
        m_firstPartFrames = uint32_t(m_partFrames.size());
    }
    m_partFrames.clear();
    return patch32(m_riffStart + 4, uint32_t(m_sink.size() - m_riffStart - 8));
}

bool MjpegAviWriter::finish() {
    if (m_failed)
        return false;
    if (m_totalFrames == 0)
        return fail(
            localBytes(QCoreApplication::translate("AviWriter", "there is no picture to write")));
    if (!closePart())
        return false;
    const uint32_t buffer = m_largestFrame + 8;
    const uint64_t bytesPerSecond = uint64_t(buffer) * m_format.framesPerSecond;
    if (!patch32(m_mainHeader + 4, uint32_t(std::min<uint64_t>(bytesPerSecond, 0xffffffff))) ||
        !patch32(m_mainHeader + 16, m_firstPartFrames) || !patch32(m_mainHeader + 28, buffer) ||
        !patch32(m_streamHeader + 32, m_totalFrames) || !patch32(m_streamHeader + 36, buffer) ||
        !patch32(m_superIndex + 4, uint32_t(m_partIndexes.size())) ||
        !patch32(m_extendedHeader, m_totalFrames))
        return false;
    std::string entries;
    for (const PartIndex& part : m_partIndexes) {
        put64(entries, part.offset);
        put32(entries, part.size);
        put32(entries, part.frames);
    }
    return m_sink.patch(m_superIndex + superIndexHeaderBytes, entries) || fail(m_sink.error());
}
