#pragma once

#include "video/libav.h"
#include "video/readerlink.h"

#include <optional>
#include <string>

// Opening a stream and turning what it brings into the bodies handed on.

struct OpenedStream {
    FormatHandle input;
    int video = -1; // the one video stream read; the others are discarded
};

// Opens `url` (`format` null: found by probing) with `options`, within the gate's deadline.
std::optional<ReaderFailure> OpenStream(const std::string& url, const AVInputFormat* format,
                                        AVDictionary** options, InterruptGate& gate,
                                        bool withCredentials, OpenedStream& opened);

// The first video stream of the input, every other one discarded; -1 when it has none.
int ChooseVideoStream(AVFormatContext* input);

// A key picture, with what its decoder needs, as a body of its own.
WaitingPicture KeyPictureOf(const std::string& codec, QSize size, const QByteArray& extradata,
                            const QByteArray& picture);
// A decoded picture as a raw body, made no larger than covers `fitAtLeast` (whole when it is
// empty); an empty body for a frame that cannot be laid out.
WaitingPicture RawPictureOf(const AVFrame* frame, QSize fitAtLeast);

// The extra data a packet brings (new parameter sets), if any.
std::optional<QByteArray> NewExtradata(const AVPacket* packet);
