#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Where an AVI's bytes go: appended in order, with earlier header fields patched in place once
// their values are known.
class ByteSink {
  public:
    virtual ~ByteSink() = default;
    virtual bool append(std::string_view bytes) = 0;
    virtual bool patch(uint64_t offset, std::string_view bytes) = 0;
    virtual uint64_t size() const = 0;
    // Why the last append or patch failed.
    virtual std::string error() const = 0;
};

// Writes a Motion-JPEG AVI frame by frame, holding only the index of the current part in
// memory. Every frame is a whole JPEG file, stored as it is. Past `partLimit` bytes the file
// goes on in further RIFF parts with OpenDML indexes (players read files past 1 GB that way);
// the first part also carries the classic index for old players.
class MjpegAviWriter {
  public:
    struct Format {
        uint32_t width = 0;
        uint32_t height = 0;
        uint32_t framesPerSecond = 10;
        uint64_t partLimit = uint64_t(1) << 30; // bytes in one RIFF part
    };

    MjpegAviWriter(ByteSink& sink, const Format& format);

    // The headers, with room for the indexes of up to `maxParts` parts.
    bool begin();
    // The main AVI header and the stream's list, into `h` (which the file has at `base`).
    void putMainHeader(std::string& h, uint64_t base);
    void putStreamList(std::string& h, uint64_t base);
    bool addFrame(std::string_view jpeg);
    // Closes the last part and fills in the totals.
    bool finish();

    uint32_t frames() const { return m_totalFrames; }
    uint32_t parts() const { return uint32_t(m_partIndexes.size()); }
    const std::string& error() const { return m_error; }

    static constexpr uint32_t maxParts = 1024; // 1 TB at the default part size

  private:
    struct FrameEntry {
        uint64_t chunk; // where the frame's chunk header starts
        uint32_t length;
    };
    struct PartIndex {
        uint64_t offset; // the part's "ix00" chunk
        uint32_t size;
        uint32_t frames;
    };

    bool startPart();
    bool closePart();
    bool append(std::string_view bytes);
    bool patch32(uint64_t offset, uint32_t value);
    bool fail(std::string why);

    ByteSink& m_sink;
    Format m_format;
    std::string m_error;
    bool m_failed = false;

    // header fields patched at the end
    uint64_t m_mainHeader = 0;     // "avih" data
    uint64_t m_streamHeader = 0;   // "strh" data
    uint64_t m_superIndex = 0;     // "indx" data
    uint64_t m_extendedHeader = 0; // "dmlh" data

    uint64_t m_riffStart = 0; // the current part's "RIFF"
    uint64_t m_moviStart = 0; // the current part's "LIST" of frames
    std::vector<FrameEntry> m_partFrames;
    std::vector<PartIndex> m_partIndexes;
    uint32_t m_totalFrames = 0;
    uint32_t m_firstPartFrames = 0;
    uint32_t m_largestFrame = 0;
};
