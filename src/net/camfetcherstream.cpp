// A cam whose answer is a stream of pictures: received for as long as it lasts, one picture per
// interval handed on, the others framed and let go unread.
#include "net/camfetcher.h"

#include "common/localtext.h"
#include "net/judgement.h"

void CamFetcher::streamBegan(const ExchangeResult& head) {
    m_fetching = false;
    m_streaming = true;
    m_lastWasStream = true;
    m_streamPictures = 0;
    m_lastStreamPictureMs = 0;
    m_visited = head.visited;
    m_lastSecure = head.secure;
    m_lastPinned = head.pinned;
    m_lastProxy = head.proxy;
    m_lastStatus = head.status;
    m_source = localText(head.answeredBy.text());
    m_validators = {}; // a stream is never asked conditionally
    // failures are forgotten at its first picture: a stream that breaks off at once is asked
    // again later each time
    m_waitSecs = m_refreshSecs;
    emit streamStarted();
}

void CamFetcher::streamPart(std::string_view headers, std::string_view body) {
    if (!m_streaming)
        return;
    ++m_streamPictures;
    // the first picture at once, then one per interval: the others are framed, not kept
    const int64_t now = m_now().toMSecsSinceEpoch();
    const int64_t gap = std::max<int64_t>(int64_t(m_refreshSecs) * 1000, m_fastestStreamGapMs);
    const int64_t since = now - m_lastStreamPictureMs; // a clock set back counts as time gone
    if (m_streamPictures > 1 && since >= 0 && since < gap)
        return;
    if (!IsImageResponse(headers) && !(m_isWholePicture && m_isWholePicture(body)))
        return; // a part that is no picture is passed over
    const QByteArray bytes(body.data(), qsizetype(body.size()));

    m_lastStreamPictureMs = now;
    m_beforeLastPicture = {m_lastModified, m_changeKey,     m_acceptedDigest,
                           m_lastChanged,  m_lastRefreshed, m_validators};
    noteLastModified(headers);
    if (!LastModifiedLine(headers))
        noteChangeWithoutDate(std::nullopt, bytes);
    FetchedPicture fetched;
    fetched.body = bytes;
    fetched.announcedLength = bytes.size();
    fetched.pictureChanged = m_pictureChanged;
    fetched.details = details();
    fetched.judged = ++m_judged;
    m_failures = 0;
    emit pictureArrived(fetched);
}
