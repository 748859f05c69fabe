#include "video/videotexts.h"

#include "video/videosource.h"

#include <cerrno>
#include <cstring>

QString CodecName(const char* ffmpegName) {
    static const struct {
        const char* ffmpeg;
        const char* known;
    } names[] = {{"h264", "H.264"}, {"hevc", "H.265"},        {"vvc", "H.266"},
                 {"av1", "AV1"},    {"mjpeg", "Motion JPEG"}, {"mpeg4", "MPEG-4 Part 2"},
                 {"vp8", "VP8"},    {"vp9", "VP9"},           {"mpeg2video", "MPEG-2"}};
    if (!ffmpegName)
        return VideoSource::tr("an unknown kind of video");
    for (const auto& name : names)
        if (std::strcmp(name.ffmpeg, ffmpegName) == 0)
            return QString::fromLatin1(name.known);
    return QString::fromLatin1(ffmpegName).toUpper();
}

QString CodecName(AVCodecID codec) {
    const AVCodecDescriptor* descriptor = avcodec_descriptor_get(codec);
    return CodecName(descriptor && codec != AV_CODEC_ID_NONE ? descriptor->name : nullptr);
}

ReaderFailure OpeningFailure(int error, bool withCredentials) {
    switch (error) {
    case AVERROR_HTTP_UNAUTHORIZED:
        return {withCredentials ? VideoSource::tr("the cam refused the user name or password")
                                : VideoSource::tr("the cam asks for a user name and password"),
                FetchFailure::Refused};
    case AVERROR_HTTP_FORBIDDEN:
        return {VideoSource::tr("the cam refused access to this address"),
                FetchFailure::NotPicture};
    case AVERROR_HTTP_NOT_FOUND:
        return {VideoSource::tr("the cam has nothing at this address"), FetchFailure::NotPicture};
    case AVERROR_HTTP_BAD_REQUEST:
    case AVERROR_HTTP_OTHER_4XX:
    case AVERROR_HTTP_SERVER_ERROR:
        return {VideoSource::tr("the cam answered with an error"), FetchFailure::NotPicture};
    case AVERROR(ECONNREFUSED):
        return {VideoSource::tr("the cam refused the connection"), FetchFailure::Connection};
    case AVERROR(ETIMEDOUT):
    case AVERROR_EXIT:
        return {VideoSource::tr("no answer within 10 s"), FetchFailure::Timeout};
    case AVERROR_INVALIDDATA:
    case AVERROR_PROTOCOL_NOT_FOUND:
    case AVERROR_DEMUXER_NOT_FOUND:
    case AVERROR_STREAM_NOT_FOUND:
    case AVERROR(ENOSYS):
        return {VideoSource::tr("the cam's answer is not a video stream the program can read"),
                FetchFailure::Protocol};
    case AVERROR_EOF:
        return {VideoSource::tr("the cam closed the connection at once"), FetchFailure::Connection};
    default:
        return {VideoSource::tr("the cam could not be reached"), FetchFailure::Connection};
    }
}

ReaderFailure ReadingFailure(int error, bool expired) {
    if (expired)
        return NoPictureWithin(10000);
    if (error == AVERROR_EOF)
        return {VideoSource::tr("the stream ended"), FetchFailure::StreamEnded};
    return {VideoSource::tr("the stream broke off"), FetchFailure::StreamEnded};
}

ReaderFailure NoPictureWithin(int64_t milliseconds) {
    return {VideoSource::tr("no picture within %1 s").arg((milliseconds + 999) / 1000),
            FetchFailure::Timeout};
}

ReaderFailure CannotDecode(const QString& codec) {
    return {VideoSource::tr("the cam sends %1, which the program cannot decode").arg(codec),
            FetchFailure::NotPicture};
}

ReaderFailure NotAPlaylist() {
    return {VideoSource::tr("the address gives no video playlist the program can read"),
            FetchFailure::NotPicture};
}
