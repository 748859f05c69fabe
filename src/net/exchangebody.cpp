// What a whole answer's body comes to: only its own bytes are kept, its codings are undone and
// whether it is a picture is asked off the window's thread, then the result goes out.
#include "net/exchange.h"

#include "common/background.h"
#include "common/localtext.h"
#include "net/contentcoding.h"
#include "net/judgement.h"

void Exchange::keepOnlyBody(std::string_view body) {
    QByteArray& buffer = m_response.responseBuffer;
    if (m_response.headerDone && m_response.framing.kind == BodyFraming::Chunked) {
        // the decoded chunks are the body, in storage of their own size: the chunks' framing
        // can be far larger than what it carries
        buffer = QByteArray(body.data(), qsizetype(body.size()));
        m_response.decoded.clear();
        return;
    }
    if (!body.empty()) {
        // the body is a part of the buffer: moved to its front within the same storage (which
        // then starts at its front again when it receives the next answer)
        const auto offset = size_t(body.data() - buffer.constData());
        char* bytes = buffer.data();
        std::memmove(bytes, bytes + offset, body.size());
    }
    buffer.truncate(qsizetype(body.size())); // nothing at all for an answer without a body
    // storage reserved for a length the server announced but did not send is not held on to
    if (buffer.capacity() > 2 * buffer.size() + 64 * 1024)
        buffer.squeeze();
}

namespace {

struct FinishedBody {
    DecodedContent content;
    bool isPicture = false;
};

// Undoes the body's codings and asks whether it is a whole picture: the work a whole answer
// may take, done wherever the exchange's workers are.
FinishedBody finishedBody(const std::optional<std::string>& coding, QByteArray body,
                          const std::function<bool(std::string_view)>& pictureTest) {
    FinishedBody finished;
    finished.content.bytes = std::move(body);
    if (coding && !finished.content.bytes.isEmpty())
        finished.content = DecodeContent(*coding, finished.content.bytes, maxResponseBytes);
    if (finished.content.ok && pictureTest) {
        const QByteArray& bytes = finished.content.bytes;
        finished.isPicture = pictureTest(std::string_view(bytes.constData(), size_t(bytes.size())));
    }
    return finished;
}

} // namespace

void Exchange::finishBody(ExchangeResult result) {
    const auto field = m_response.head.value("Content-Encoding");
    const std::optional<std::string> coding =
        field ? std::optional<std::string>(std::string(*field)) : std::nullopt;
    // a picture by its bytes only when its type does not say so already
    const bool successful = result.status == 0 || (result.status >= 200 && result.status < 300);
    std::function<bool(std::string_view)> test;
    if (successful && !IsImageResponse(result.headers))
        test = m_request.pictureTest;
    const auto done = [this, generation = m_generation](ExchangeResult result, FinishedBody body) {
        if (generation != m_generation)
            return; // dropped meanwhile
        if (!body.content.ok) {
            fail(localText(body.content.error), FetchFailure::Protocol);
            return;
        }
        if (body.content.bytes.constData() != result.body.constData()) {
            // the compressed length says nothing of the picture's; its stream's own end has
            // told that it is whole
            result.body = std::move(body.content.bytes);
            result.announcedLength = 0;
        }
        result.bodyIsPicture = body.isPicture;
        emit finished(result);
    };
    if (!coding && !test) {
        FinishedBody unchanged{{true, result.body, {}}, false};
        done(std::move(result), std::move(unchanged));
        return;
    }
    if (!m_workers) {
        FinishedBody finished = finishedBody(coding, result.body, test);
        done(std::move(result), std::move(finished));
        return;
    }
    m_workers->run(
        this, [coding, body = result.body, test] { return finishedBody(coding, body, test); },
        [done, result](FinishedBody finished) mutable {
            done(std::move(result), std::move(finished));
        });
}
