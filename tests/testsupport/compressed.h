#pragma once

#include <QByteArray>
#include <zlib.h>

// `plain` compressed with zlib's windowBits: 15 + 16 gzip, 15 zlib, -15 raw deflate.
inline QByteArray compressed(const QByteArray& plain, int windowBits) {
    z_stream stream{};
    deflateInit2(&stream, 9, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY);
    QByteArray out(qsizetype(deflateBound(&stream, uLong(plain.size())) + 32), 0);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(plain.constData()));
    stream.avail_in = uInt(plain.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = uInt(out.size());
    deflate(&stream, Z_FINISH);
    out.truncate(qsizetype(stream.total_out));
    deflateEnd(&stream);
    return out;
}
