// What a video cam's last connection found, in words: for the dialogs' Test.
#include "video/videosource.h"

#include <QLocale>
#include <cmath>

namespace {

QString number(double value) {
    // whole numbers as they are, others to a tenth
    const double rounded = std::round(value * 10) / 10;
    return QLocale().toString(rounded, 'f', rounded == std::round(rounded) ? 0 : 1);
}

} // namespace

StreamFacts VideoSource::currentFacts() const {
    return m_link && !m_link->stopping() ? m_link->facts() : m_facts;
}

QString VideoSource::headline(const StreamFacts& facts) const {
    const QString protocol = facts.hls ? tr("HLS") : tr("RTSP");
    if (facts.codec.isEmpty())
        return tr("A video stream over %1, not reached yet").arg(protocol);
    QStringList parts;
    if (!facts.size.isEmpty())
        parts << tr("%1 x %2").arg(facts.size.width()).arg(facts.size.height());
    if (facts.picturesPerSecond > 0)
        parts << tr("%1 pictures a second").arg(number(facts.picturesPerSecond));
    if (facts.keyDistanceMs)
        parts << tr("a key picture every %1 s").arg(number(double(*facts.keyDistanceMs) / 1000));
    if (facts.hls && facts.segmentSecs > 0)
        parts << (facts.fragmentedMp4 ? tr("segments of %1 s in fragmented MP4")
                                      : tr("segments of %1 s in MPEG-TS"))
                     .arg(number(facts.segmentSecs));
    const QString stream = tr("A %1 stream over %2").arg(facts.codec, protocol);
    return parts.isEmpty() ? stream : tr("%1: %2").arg(stream, parts.join(tr(", ")));
}

QStringList VideoSource::facts() const {
    const StreamFacts facts = currentFacts();
    QStringList lines{headline(facts)};
    if (m_reading) {
        lines << tr("Address: %1").arg(m_reading->shown);
        lines << (m_reading->withCredentials ? tr("Password: sent as the cam asks for it")
                                             : tr("Password: none"));
    }
    if (!facts.hls) {
        lines << (m_transport == VideoTransport::Udp ? tr("Transport: RTSP over UDP")
                                                     : tr("Transport: RTSP over TCP"));
        if (m_reading && m_reading->secure)
            lines << tr("Connection: RTSPS, encrypted; its certificate is not checked");
    } else {
        if (facts.variants > 0)
            lines << tr("Variants: %1; reading %2 x %3 at %4 kbit/s")
                         .arg(facts.variants)
                         .arg(facts.variantSize.width())
                         .arg(facts.variantSize.height())
                         .arg(facts.variantBandwidth / 1000);
        lines << (facts.newestSegmentOnly ? tr("Fetched: only the newest segment at each interval")
                                          : tr("Fetched: every segment, as the stream goes on"));
    }
    if (facts.mode)
        lines << (*facts.mode == DecodeMode::KeyPictures
                      ? tr("Decoded: key pictures only, one each interval")
                      : tr("Decoded: every picture, the one due each interval shown"));
    if (m_lastFailure)
        lines << tr("Last attempt: %1").arg(m_lastFailure->reason);
    return lines;
}
