#pragma once

// FFmpeg's libraries as this library uses them: owning handles, the interrupt gate every
// blocking call polls, and the log that never prints a password.
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

#include <atomic>
#include <cstdint>
#include <memory>

struct FormatCloser {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
using FormatHandle = std::unique_ptr<AVFormatContext, FormatCloser>;

struct CodecFreer {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
using CodecHandle = std::unique_ptr<AVCodecContext, CodecFreer>;

struct PacketFreer {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
using PacketHandle = std::unique_ptr<AVPacket, PacketFreer>;

struct FrameFreer {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
using FrameHandle = std::unique_ptr<AVFrame, FrameFreer>;

struct DictionaryFreer {
    void operator()(AVDictionary* dictionary) const { av_dict_free(&dictionary); }
};

// Milliseconds of the monotonic clock.
int64_t SteadyMs();

// What FFmpeg's blocking calls (connecting, reading, waiting for an answer) poll about ten
// times a second: they give up at once when the cam is stopped, or when the deadline passes, so
// a dead or silent cam holds only its own reading thread, and that only until the deadline.
class InterruptGate {
  public:
    explicit InterruptGate(const std::atomic<bool>& stop) : m_stop(stop) {}
    // The next calls may take `milliseconds` from now.
    void allow(int64_t milliseconds) { m_deadline = SteadyMs() + milliseconds; }
    bool stopped() const { return m_stop.load(std::memory_order_relaxed); }
    bool expired() const { return SteadyMs() > m_deadline; }
    AVIOInterruptCB callback() { return {&InterruptGate::interrupted, this}; }

  private:
    static int interrupted(void* gate);

    const std::atomic<bool>& m_stop;
    int64_t m_deadline = INT64_MAX;
};

// Routes FFmpeg's log, once for the process, through a callback that drops every "user:password@"
// and every line naming an Authorization header; what remains goes to the logging category
// "webcams.video.ffmpeg" (only the fatal shown unless asked for).
void InstallVideoLog();
