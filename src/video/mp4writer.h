#pragma once

#include <QImage>
#include <QSize>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

// Where a film's bytes go: appended in order, or written over bytes already there (the MP4
// muxer goes back to fill in sizes once it knows them).
struct FilmBytes {
    std::function<bool(std::string_view)> append;
    std::function<bool(uint64_t offset, std::string_view bytes)> patch;
    std::function<uint64_t()> size;
};

// Writes an H.264 film in an MP4 file through FFmpeg's libraries, picture by picture: YUV 4:2:0
// (what browsers and phones play), a key picture every two seconds. Pictures of another size
// are fitted into the film's, on black.
class Mp4Writer {
  public:
    // `size` is rounded down to even numbers, as H.264 in 4:2:0 needs.
    Mp4Writer(FilmBytes bytes, QSize size, int framesPerSecond);
    ~Mp4Writer();
    Mp4Writer(const Mp4Writer&) = delete;
    Mp4Writer& operator=(const Mp4Writer&) = delete;

    bool begin();
    bool addPicture(const QImage& picture);
    // Flushes the encoder and writes the file's index.
    bool finish();

    int frames() const { return m_frames; }
    const std::string& error() const { return m_error; }

    // FFmpeg's output: bytes at the muxer's place, and its moves.
    bool writeAt(const uint8_t* data, int length);
    int64_t seekTo(int64_t offset, int whence);

  private:
    struct Parts;
    bool fail(std::string why);
    bool fail(const char* what, int code);
    // Hands the encoder's packets to the file; `flush` drains it at the end.
    bool drain(bool flush);

    FilmBytes m_bytes;
    QSize m_size;
    int m_fps = 10;
    int m_frames = 0;
    uint64_t m_position = 0; // where the muxer writes next
    std::string m_error;
    std::unique_ptr<Parts> m_parts;
};
