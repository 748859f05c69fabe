#include "video/packetloop.h"

#include "imaging/picturecheck.h"
#include "video/videodecode.h"
#include "video/videostream.h"
#include "video/videotexts.h"

#include <algorithm>

PacketLoop::PacketLoop(ReaderLink& link, InterruptGate& gate, AVFormatContext* input, int video,
                       StreamFacts facts)
    : m_link(link), m_gate(gate), m_input(input), m_stream(input->streams[video]),
      m_facts(std::move(facts)), m_frame(av_frame_alloc()) {
    const AVCodecParameters* parameters = m_stream->codecpar;
    const AVCodecDescriptor* descriptor = avcodec_descriptor_get(parameters->codec_id);
    m_codec = descriptor ? descriptor->name : "";
    m_extradata = QByteArray(reinterpret_cast<const char*>(parameters->extradata),
                             parameters->extradata ? parameters->extradata_size : 0);
    m_facts.codec = CodecName(parameters->codec_id);
    if (parameters->width > 0 && parameters->height > 0)
        m_facts.size = QSize(parameters->width, parameters->height);
}

std::optional<ReaderFailure> PacketLoop::run() {
    if (m_codec.empty() || !avcodec_find_decoder(m_stream->codecpar->codec_id))
        return CannotDecode(m_facts.codec);
    m_startMs = m_lastPictureMs = SteadyMs();
    int64_t askedMs = m_startMs;
    const PacketHandle packet(av_packet_alloc()), unit(av_packet_alloc());
    while (packet && unit && m_frame) {
        if (m_link.stopping())
            return std::nullopt;
        if (m_restart && SteadyMs() - askedMs >= 1000) {
            askedMs = SteadyMs();
            if (m_restart())
                return std::nullopt;
        }
        m_gate.allow(10000);
        const int error = av_read_frame(m_input, packet.get());
        if (error < 0)
            return m_gate.stopped() ? std::nullopt
                                    : std::optional(ReadingFailure(error, m_gate.expired()));
        std::optional<ReaderFailure> failure;
        if (!m_units) {
            failure = take(packet.get());
        } else if (m_units->add(packet.get(), unit.get())) {
            failure = take(unit.get());
        }
        av_packet_unref(packet.get());
        av_packet_unref(unit.get());
        if (failure)
            return failure;
        // a stream that brings packets but no picture is as good as silent
        const int64_t silence = std::max<int64_t>(10000, 2 * m_rule.keyDistanceMs().value_or(0));
        if (SteadyMs() - m_lastPictureMs > silence)
            return NoPictureWithin(silence);
    }
    return OpeningFailure(AVERROR(ENOMEM), false);
}

int64_t PacketLoop::timeOf(int64_t stamp, StreamClock& clock) {
    if (stamp == AV_NOPTS_VALUE)
        return clock.at(SteadyMs() - m_startMs);
    return clock.at(av_rescale_q(stamp, m_stream->time_base, AVRational{1, 1000}));
}

bool PacketLoop::gathers(const AVPacket* packet) {
    if (!m_key)
        return false;
    const bool key = packet->flags & AV_PKT_FLAG_KEY;
    const bool sameTime = packet->pts != AV_NOPTS_VALUE && packet->pts == m_key->pts;
    // the parameter sets before a stream's first picture may come without a time
    const bool timeless = key && (packet->pts == AV_NOPTS_VALUE || m_key->pts == AV_NOPTS_VALUE);
    if (!sameTime && !timeless)
        return false;
    if (m_key->picture.size() + packet->size > AccessUnits::maxUnitBytes) {
        m_key.reset(); // a picture without end is not followed
        return true;
    }
    m_key->picture.append(reinterpret_cast<const char*>(packet->data), packet->size);
    m_key->pts = packet->pts;
    return true;
}

std::optional<ReaderFailure> PacketLoop::take(const AVPacket* packet) {
    if (packet->stream_index != m_stream->index)
        return std::nullopt;
    if (std::optional<QByteArray> extradata = NewExtradata(packet))
        m_extradata = *extradata;
    if (gathers(packet))
        return std::nullopt;
    if (m_key)
        if (std::optional<ReaderFailure> failure = handKey())
            return failure;
    const bool key = packet->flags & AV_PKT_FLAG_KEY;
    const int64_t at =
        timeOf(packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts, m_packetClock);
    m_rule.setInterval(m_link.interval());
    const PictureRule::Packet action = m_rule.packet(key, at);
    if (key) {
        if (m_pictureSeen && m_rule.mode() == DecodeMode::KeyPictures)
            m_lastPictureMs = SteadyMs(); // it could be decoded if it were due
        noteFacts();
    }
    switch (action) {
    case PictureRule::Packet::HandKey:
        m_decoder.reset();
        m_key = Gathering{QByteArray(reinterpret_cast<const char*>(packet->data), packet->size),
                          packet->pts, at};
        return std::nullopt;
    case PictureRule::Packet::Decode:
        return decode(packet);
    case PictureRule::Packet::Drop:
        if (m_rule.mode() == DecodeMode::KeyPictures)
            m_decoder.reset(); // its pictures are no longer needed
        return std::nullopt;
    }
    return std::nullopt;
}

std::optional<ReaderFailure> PacketLoop::handKey() {
    const Gathering key = *std::exchange(m_key, std::nullopt);
    WaitingPicture picture = KeyPictureOf(m_codec, m_facts.size, m_extradata, key.picture);
    if (!m_pictureSeen) {
        // the first one is decoded here, small, to learn its size and that it decodes at all
        const DecodedPicture probe = ProbeVideoPicture(picture.format, picture.body);
        if (probe.bound != PictureBound::None)
            return ReaderFailure{probe.refusal, FetchFailure::Protocol};
        if (probe.picture.isNull()) {
            m_rule.retryNext();
            return std::nullopt;
        }
        m_pictureSeen = true;
        m_facts.size = probe.fullSize;
        picture = KeyPictureOf(m_codec, m_facts.size, m_extradata, key.picture);
        noteFacts();
    }
    m_lastPictureMs = SteadyMs();
    pace(key.at);
    m_link.handOver(std::move(picture));
    return std::nullopt;
}

std::optional<ReaderFailure> PacketLoop::openDecoder() {
    const AVCodec* codec = avcodec_find_decoder(m_stream->codecpar->codec_id);
    m_decoder.reset(avcodec_alloc_context3(codec));
    if (!m_decoder || avcodec_parameters_to_context(m_decoder.get(), m_stream->codecpar) < 0)
        return CannotDecode(m_facts.codec);
    m_decoder->thread_count = 1; // one thread a cam
    m_decoder->max_pixels = int64_t(maxPictureSide) * maxPictureSide;
    if (avcodec_open2(m_decoder.get(), codec, nullptr) < 0)
        return CannotDecode(m_facts.codec);
    return std::nullopt;
}

std::optional<ReaderFailure> PacketLoop::decode(const AVPacket* packet) {
    if (!m_decoder)
        if (std::optional<ReaderFailure> failure = openDecoder())
            return failure;
    // a broken packet is passed over: the decoder recovers at the next key picture
    if (avcodec_send_packet(m_decoder.get(), packet) < 0)
        return std::nullopt;
    while (avcodec_receive_frame(m_decoder.get(), m_frame.get()) == 0) {
        const QSize size(m_frame->width, m_frame->height);
        if (size.width() > maxPictureSide || size.height() > maxPictureSide)
            return ReaderFailure{TooLargeToShowText(), FetchFailure::Protocol};
        m_lastPictureMs = SteadyMs();
        if (!m_pictureSeen || size != m_facts.size) {
            m_pictureSeen = true;
            m_facts.size = size;
            noteFacts();
        }
        const int64_t at = timeOf(m_frame->best_effort_timestamp, m_pictureClock);
        if (m_rule.picture(at)) {
            pace(at);
            bool whole = false;
            const QSize shown = m_link.wantedSize(&whole);
            WaitingPicture picture = RawPictureOf(m_frame.get(), whole ? QSize() : shown);
            if (!picture.body.isEmpty())
                m_link.handOver(std::move(picture));
        }
        av_frame_unref(m_frame.get());
    }
    return std::nullopt;
}

void PacketLoop::pace(int64_t at) {
    if (!m_pace)
        return;
    const int64_t now = SteadyMs();
    // far ahead or behind (a stall, a jump): the pace is taken up again from here
    if (!m_paceBase || std::abs(*m_paceBase + at - now) > 5000)
        m_paceBase = now - at;
    const int64_t wait = *m_paceBase + at - now;
    if (wait > 0)
        m_link.waitMs(wait);
}

void PacketLoop::noteFacts() {
    m_facts.picturesPerSecond = m_rule.picturesPerSecond();
    m_facts.keyDistanceMs = m_rule.keyDistanceMs();
    m_facts.mode = m_rule.mode();
    m_link.updateFacts(m_facts);
}
