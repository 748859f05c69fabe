#include "video/accessunits.h"

#include <cstring>

namespace {

// The NAL unit after a start code at `at` ("00 00 01" or "00 00 00 01"), or -1.
int nalStart(const uint8_t* data, int size, int at) {
    if (at + 3 < size && data[at] == 0 && data[at + 1] == 0 && data[at + 2] == 1)
        return at + 3;
    if (at + 4 < size && data[at] == 0 && data[at + 1] == 0 && data[at + 2] == 0 &&
        data[at + 3] == 1)
        return at + 4;
    return -1;
}

} // namespace

bool AccessUnits::holdsKeySlice(const uint8_t* data, int size) const {
    // A fragment that goes on a NAL unit has no start code: the first fragment said it all.
    // A packet that begins with parameter sets or other units that are no slices (an
    // aggregation of them, say) is read on to the slice, if it holds one.
    for (int nal = nalStart(data, size, 0); nal >= 0 && nal < size;) {
        const bool h264 = m_codec == AV_CODEC_ID_H264;
        const int type = h264 ? data[nal] & 0x1f : (data[nal] >> 1) & 0x3f;
        if (h264 ? type == 5 : type >= 16 && type <= 23)
            return true;
        if (h264 ? type >= 1 && type <= 4 : type < 32)
            return false; // a slice of another kind
        int next = -1;
        for (int at = nal + 1; at + 3 < size && next < 0; ++at)
            if (data[at] == 0 && data[at + 1] == 0)
                next = nalStart(data, size, at);
        nal = next;
    }
    return false;
}

bool AccessUnits::add(const AVPacket* packet, AVPacket* unit) {
    const bool gathering = !m_bytes.isEmpty() || m_overflow;
    const bool ends = gathering && (packet->pts != m_pts || packet->pts == AV_NOPTS_VALUE ||
                                    packet->stream_index != m_stream);
    if (ends && !m_overflow && av_new_packet(unit, int(m_bytes.size())) >= 0) {
        std::memcpy(unit->data, m_bytes.constData(), size_t(m_bytes.size()));
        unit->pts = unit->dts = m_pts;
        unit->stream_index = m_stream;
        unit->flags = m_key ? AV_PKT_FLAG_KEY : 0;
    }
    if (ends || !gathering) {
        m_bytes.resize(0); // its room serves the next unit
        m_pts = packet->pts;
        m_stream = packet->stream_index;
        m_key = false;
        m_overflow = false;
    }
    if (m_overflow || m_bytes.size() + packet->size > maxUnitBytes) {
        m_overflow = true; // a picture without end is not followed: it is dropped
        m_bytes = QByteArray();
    } else {
        m_key = m_key || holdsKeySlice(packet->data, packet->size);
        m_bytes.append(reinterpret_cast<const char*>(packet->data), packet->size);
    }
    return ends && unit->data;
}
