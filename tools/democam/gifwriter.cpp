#include "gifwriter.h"

#include <algorithm>

namespace {

void put16(QByteArray& out, int value) {
    out.append(char(value & 255));
    out.append(char((value >> 8) & 255));
}

// Collects variable-width codes, low bits first, into 255-byte sub-blocks.
class CodeWriter {
  public:
    explicit CodeWriter(QByteArray& out) : out(out) {}
    void put(int code, int width) {
        bits |= uint32_t(code) << count;
        count += width;
        while (count >= 8) {
            block.append(char(bits & 255));
            bits >>= 8;
            count -= 8;
            if (block.size() == 255)
                flushBlock();
        }
    }
    void finish() {
        if (count > 0)
            block.append(char(bits & 255));
        flushBlock();
        out.append(char(0)); // block terminator
    }

  private:
    void flushBlock() {
        if (block.isEmpty())
            return;
        out.append(char(block.size()));
        out.append(block);
        block.clear();
    }
    QByteArray& out;
    QByteArray block;
    uint32_t bits = 0;
    int count = 0;
};

} // namespace

QByteArray EncodeGif(const QImage& source) {
    const QImage picture = source.convertToFormat(QImage::Format_RGB32);
    const int width = std::min(picture.width(), 65535), height = std::min(picture.height(), 65535);
    QByteArray out("GIF89a");
    put16(out, width);
    put16(out, height);
    out.append(char(0xF7)); // global palette of 256 entries, 8 bits of colour
    out.append(char(0));
    out.append(char(0));
    for (int i = 0; i < 256; ++i) {
        const int r = i / 42, g = (i / 6) % 7, b = i % 6;
        const bool used = i < 252;
        out.append(char(used ? r * 255 / 5 : 0));
        out.append(char(used ? g * 255 / 6 : 0));
        out.append(char(used ? b * 255 / 5 : 0));
    }
    out.append(char(0x2C));
    put16(out, 0);
    put16(out, 0);
    put16(out, width);
    put16(out, height);
    out.append(char(0)); // no local palette, not interlaced
    out.append(char(8)); // minimum code size

    constexpr int clear = 256, end = 257, width9 = 9, runBeforeClear = 250;
    CodeWriter codes(out);
    codes.put(clear, width9);
    int run = 0;
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            const QRgb c = row[x];
            const int index = (qRed(c) * 5 + 127) / 255 * 42 + (qGreen(c) * 6 + 127) / 255 * 6 +
                              (qBlue(c) * 5 + 127) / 255;
            codes.put(index, width9);
            if (++run == runBeforeClear) { // keep every code 9 bits wide
                codes.put(clear, width9);
                run = 0;
            }
        }
    }
    codes.put(end, width9);
    codes.finish();
    out.append(char(0x3B));
    return out;
}
