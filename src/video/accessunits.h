#pragma once

#include "video/libav.h"

#include <QByteArray>
#include <cstdint>

// H.264 and H.265 over RTP as FFmpeg's RTP reader hands them on when its parser is off: a
// packet an RTP packet, fragments and all, each with the time of its picture. They are
// gathered here into whole pictures (access units) by that time, which every packet of a
// picture shares, and a picture with an IDR (H.264) or IRAP (H.265) slice is a key picture.
// FFmpeg's parser does the same by reading every byte, which costs as much again as receiving
// the stream; here only the first bytes of a packet are read.
class AccessUnits {
  public:
    // What one picture may take: a server that sends a picture without end is not followed.
    static constexpr qsizetype maxUnitBytes = 32 << 20;

    static bool serves(AVCodecID codec) {
        return codec == AV_CODEC_ID_H264 || codec == AV_CODEC_ID_HEVC;
    }
    explicit AccessUnits(AVCodecID codec) : m_codec(codec) {}

    // Adds a packet of the stream; true, with the unit in `unit`, when it ends the one before.
    bool add(const AVPacket* packet, AVPacket* unit);

  private:
    // Whether the NAL units the packet begins with hold a key slice.
    bool holdsKeySlice(const uint8_t* data, int size) const;

    AVCodecID m_codec;
    QByteArray m_bytes;
    int64_t m_pts = AV_NOPTS_VALUE;
    bool m_key = false;
    bool m_overflow = false; // the unit went past its bound: it is dropped
    int m_stream = 0;
};
