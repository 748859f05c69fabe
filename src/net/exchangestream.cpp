// An answer that is a stream of pictures: told by its type or its first bytes, then framed part
// by part as its bytes come, each part handed on at once.
#include "net/exchangestream.h"

#include "common/localtext.h"
#include "net/judgement.h"

bool Exchange::beginStream() {
    if (m_streamDecided)
        return false;
    m_streamDecided = true;
    const int status = m_response.head.status;
    if (status < 200 || status >= 300)
        return false;
    const auto type = m_response.head.value("Content-Type");
    std::optional<std::string> boundary = type ? StreamBoundary(*type) : std::nullopt;
    if (!boundary && m_response.framing.kind != BodyFraming::ContentLength &&
        !IsImageResponse(m_response.received().substr(0, m_response.bodyStart))) {
        // a stream of another type is told by its first bytes, once enough of them came
        bool more = false;
        boundary = SniffedStreamBoundary(m_response.framing.kind == BodyFraming::Chunked
                                             ? std::string_view(m_response.decoded)
                                             : m_response.received().substr(m_response.bodyStart),
                                         &more);
        m_streamDecided = boundary || !more;
    }
    if (!boundary)
        return false;
    m_stream = std::make_unique<Stream>(std::move(*boundary));
    ExchangeResult head = answerHead(status);
    const std::string_view received = m_response.received();
    head.headers = std::string(received.substr(0, m_response.bodyStart - 4));
    // the body that came with the head; chunks already decoded
    std::string first;
    if (m_response.framing.kind == BodyFraming::Chunked) {
        m_stream->chunks = std::move(m_response.chunks);
        first = std::move(m_response.decoded);
    } else {
        first = std::string(received.substr(m_response.bodyStart));
    }
    // from here on the head alone is kept
    m_response.responseBuffer.resize(0);
    m_response.decoded.clear();
    m_response.chunks.reset();
    giveBackHeld();
    emit streamStarted(head);
    if (m_stream)
        feedStream(first, true);
    return true;
}

void Exchange::feedStream(std::string_view bytes, bool unchunked) {
    Stream& stream = *m_stream;
    std::string decoded;
    if (stream.chunks && !unchunked) {
        stream.chunks->feed(bytes, decoded);
        if (stream.chunks->failed()) {
            fail(tr("the server sent %1").arg(localText(stream.chunks->error())),
                 FetchFailure::StreamEnded);
            return;
        }
        bytes = decoded;
    }
    stream.feeding = true;
    const bool goesOn =
        stream.parts.feed(bytes, [this](std::string_view headers, std::string_view body) {
            if (m_running && !m_stream->dropped && m_partHandler)
                m_partHandler(headers, body);
        });
    stream.feeding = false;
    if (stream.dropped) {
        m_stream.reset(); // the exchange was dropped while a part was handed on
        return;
    }
    if (!goesOn) {
        fail(stream.parts.ended() ? tr("the stream ended") : localText(stream.parts.error()),
             FetchFailure::StreamEnded);
        return;
    }
    if (stream.chunks && stream.chunks->done()) {
        fail(tr("the stream ended"), FetchFailure::StreamEnded);
        return;
    }
    if (!holdReceived()) {
        fail(tr("the answers of all cams at once would hold more than %1 MB")
                 .arg(m_budget->limit() / (1024 * 1024)),
             FetchFailure::StreamEnded);
    }
}
