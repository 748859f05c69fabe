#pragma once

#include "video/accessunits.h"
#include "video/libav.h"
#include "video/picturerule.h"
#include "video/readerlink.h"

#include <QByteArray>
#include <functional>
#include <optional>
#include <string>

// Reads an open stream's packets on its reading thread until it ends, breaks, goes silent or
// the cam stops: key pictures go on coded while the interval allows (the others are dropped
// undecoded); otherwise every picture is decoded here and the one due goes on raw.
class PacketLoop {
  public:
    PacketLoop(ReaderLink& link, InterruptGate& gate, AVFormatContext* input, int video,
               StreamFacts facts);

    // Pictures that come in bursts (a playlist's segments) go on at their own pace.
    void setPacing(bool pace) { m_pace = pace; }
    // The stream's packets are pieces of pictures, read without FFmpeg's parser (RTP): they are
    // gathered into whole pictures first.
    void gatherAccessUnits() { m_units.emplace(m_stream->codecpar->codec_id); }
    // Asked about once a second: true ends the reading, with no failure, to begin anew.
    void setRestart(std::function<bool()> restart) { m_restart = std::move(restart); }
    // Nothing when the cam stopped or a restart was asked.
    std::optional<ReaderFailure> run();

  private:
    std::optional<ReaderFailure> take(const AVPacket* packet);
    // A key picture may come in several packets of the same time (its slices, its parameter
    // sets): they are gathered until a packet of another time comes.
    bool gathers(const AVPacket* packet);
    std::optional<ReaderFailure> handKey();
    std::optional<ReaderFailure> decode(const AVPacket* packet);
    std::optional<ReaderFailure> openDecoder();
    int64_t timeOf(int64_t stamp, StreamClock& clock);
    void pace(int64_t at);
    void noteFacts();

    ReaderLink& m_link;
    InterruptGate& m_gate;
    AVFormatContext* m_input;
    AVStream* m_stream;
    StreamFacts m_facts;
    PictureRule m_rule;
    StreamClock m_packetClock, m_pictureClock;
    CodecHandle m_decoder;
    FrameHandle m_frame;
    std::string m_codec;
    QByteArray m_extradata;
    bool m_pictureSeen = false; // a picture was decoded (so they can be)
    int64_t m_startMs = 0;
    int64_t m_lastPictureMs = 0; // when a picture could last be had
    struct Gathering {
        QByteArray picture;
        int64_t pts = 0;
        int64_t at = 0;
    };
    std::optional<Gathering> m_key; // a key picture being gathered
    bool m_pace = false;
    std::optional<int64_t> m_paceBase;
    std::function<bool()> m_restart;
    std::optional<AccessUnits> m_units;
};
