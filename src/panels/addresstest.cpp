#include "panels/addresstest.h"

#include "common/background.h"
#include "common/localtext.h"
#include "common/numbertext.h"
#include "imaging/picturecheck.h"
#include "imaging/picturedecoder.h"
#include "net/camfetcher.h"
#include "config/certificatepins.h"
#include "net/camsocket.h"
#include "panels/picturedecode.h"

#include <QBuffer>
#include <QImageReader>
#include <QLocale>
#include <QTimer>

namespace {

const QSize previewSize(160, 120);
// How long a stream is watched to tell its pace.
constexpr int streamWatchMs = 2000;

QString sentOrNot(const ResponseHead& head, const char* field) {
    const auto value = head.value(field);
    return value ? AddressTest::tr("%1: sent (%2)").arg(QString(field), localText(*value))
                 : AddressTest::tr("%1: not sent").arg(QString(field));
}

QString pictureKind(const QByteArray& body) {
    switch (SniffPicture(std::string_view(body.constData(), size_t(body.size())))) {
    case PictureFormat::Jpeg:
        return "JPEG";
    case PictureFormat::Png:
        return "PNG";
    case PictureFormat::Gif:
        return "GIF";
    case PictureFormat::Bmp:
        return "BMP";
    case PictureFormat::WebP:
        return "WebP";
    default:
        return AddressTest::tr("picture");
    }
}

// A long hex text in groups of 16, so it wraps.

} // namespace

AddressTest::AddressTest(std::function<QByteArray(const QString&)> pins, QObject* parent)
    : QObject(parent), m_fetcher(new CamFetcher(this)) {
    m_fetcher->setPinLookup(std::move(pins));
    m_fetcher->setPictureTest(IsWholeKnownPicture);
    connect(m_fetcher, &CamFetcher::pictureArrived, this, &AddressTest::pictureArrived);
    connect(m_fetcher, &CamFetcher::failed, this, &AddressTest::failed);
    connect(m_fetcher, &CamFetcher::unchanged, this, [this] {
        finish({true, tr("The picture has not changed"), answerFacts(0), {}});
    });
    connect(m_fetcher, &CamFetcher::streamStarted, this, [this] {
        m_streamClock.start();
        QTimer::singleShot(streamWatchMs, this, &AddressTest::reportStream);
    });
    connect(m_fetcher, &CamFetcher::problem, this, [this](const QString& text) {
        finish({false, tr("This address cannot be fetched"), {text.section(": ", 1)}, {}});
    });
}

AddressTest::~AddressTest() {
    m_done = nullptr;
    m_fetcher->stop();
}

void AddressTest::check(const QByteArray& address, const QByteArray& refresh,
                        std::function<void(const AddressReport&)> done) {
    m_done = std::move(done);
    m_streamFirst = {};

    // a refresh that is no number bounds the test as the usual 30 seconds would
    m_fetcher->setRecord("Test", address, parseLong(refresh.toStdString()) ? refresh : "30");
    m_clock.start();
    m_fetcher->beginCycle();
}

void AddressTest::useCredentials(std::optional<Credentials> credentials) {
    m_fetcher->setCredentials(std::move(credentials));
}

QString AddressTest::timeTaken() const {
    return tr("Time taken: %1 s").arg(m_clock.elapsed() / 1000.0, 0, 'f', 2);
}

QStringList AddressTest::answerFacts(qsizetype bodyBytes) const {
    const ResponseHead& head = m_fetcher->response().head;
    QStringList facts;
    facts << (head.status ? tr("Status: HTTP %1").arg(head.status)
                          : tr("Status: none (the server sent no status line)"));
    const std::vector<std::string>& visited = m_fetcher->visited();
    facts << (visited.size() > 1 ? tr("Redirects followed: %1, to %2")
                                       .arg(visited.size() - 1)
                                       .arg(localText(visited.back()))
                                 : tr("Redirects followed: none"));
    facts << (!m_fetcher->lastConnectionSecure() ? tr("Connection: plain HTTP, not encrypted")
              : m_fetcher->lastConnectionPinned()
                  ? tr("Connection: TLS, with the certificate you trust for this cam")
                  : tr("Connection: TLS, certificate verified"));
    facts << tr("Proxy: %1")
                 .arg(m_fetcher->lastProxy().empty() ? tr("none")
                                                     : localText(m_fetcher->lastProxy()));
    const auto type = head.value("Content-Type");
    facts << tr("Content type: %1").arg(type ? localText(*type) : tr("not sent"));
    if (bodyBytes > 0)
        facts << tr("Size: %1 bytes").arg(QLocale().toString(bodyBytes));
    facts << sentOrNot(head, "Last-Modified") << sentOrNot(head, "ETag");
    facts << timeTaken();
    return facts;
}

namespace {

QSize sizeOf(const QByteArray& picture) {
    QBuffer buffer;
    buffer.setData(picture);
    buffer.open(QIODevice::ReadOnly);
    return QImageReader(&buffer).size();
}

} // namespace

void AddressTest::streamPictureArrived(const FetchedPicture& fetched) {
    if (m_streamFirst.body.isEmpty())
        m_streamFirst = fetched;
}

void AddressTest::reportStream() {
    if (!m_done || m_streamFirst.body.isEmpty()) {
        if (m_done && m_fetcher->isStreaming())
            finish({false, tr("A stream that sent no picture"), answerFacts(0), {}});
        return;
    }
    const double seconds = std::max<qint64>(m_streamClock.elapsed(), 1) / 1000.0;
    const double pace = m_fetcher->streamPictures() / seconds;
    const QSize size = sizeOf(m_streamFirst.body);
    AddressReport report;
    report.ok = true;
    report.headline = tr("An MJPEG stream: %1 pictures a second")
                          .arg(QLocale().toString(pace, 'f', pace < 2 ? 1 : 0));
    if (size.isValid())
        report.headline += tr(", %1 x %2").arg(size.width()).arg(size.height());
    report.facts = answerFacts(0);
    m_fetcher->stop();
    finishWithPreview(report, m_streamFirst.body, m_streamFirst.announcedLength);
}

void AddressTest::pictureArrived(const FetchedPicture& fetched) {
    if (m_fetcher->isStreaming()) {
        streamPictureArrived(fetched);
        return;
    }
    const int status = m_fetcher->response().head.status;
    const QSize size = sizeOf(fetched.body);
    AddressReport report;
    report.ok = status == 0 || (status >= 200 && status < 300);
    report.headline = size.isValid() ? tr("A %1 of %2 x %3")
                                           .arg(pictureKind(fetched.body))
                                           .arg(size.width())
                                           .arg(size.height())
                                     : tr("A %1").arg(pictureKind(fetched.body));
    if (!report.ok)
        report.headline += tr(", but with HTTP %1").arg(status);
    report.facts = answerFacts(fetched.body.size());
    m_fetcher->stop();
    finishWithPreview(report, fetched.body, fetched.announcedLength);
}

void AddressTest::finishWithPreview(AddressReport report, const QByteArray& body, int64_t length) {
    // the preview is decoded as a panel would decode the picture, off the window's thread; the
    // report waits for it, and a failure said meanwhile (the picture's error status) is not
    // the report
    auto done = std::exchange(m_done, nullptr);
    m_work.run(
        this,
        [body, length] {
            const QImage picture = DecodeFetchedPicture(body, length, previewSize).picture;
            return picture.isNull()
                       ? picture
                       : picture.scaled(previewSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        },
        [report, done](const QImage& preview) mutable {
            report.preview = preview;
            if (preview.isNull() && report.ok) {
                // called a picture, but none can be made of it: the panel would show nothing
                report.ok = false;
                report.headline = tr("The answer says it is a picture, but it cannot be shown "
                                     "(damaged, cut short or of an unknown kind)");
            }
            if (done)
                done(report);
        });
}

void AddressTest::failed(const QString& reason, FetchFailure kind) {
    AddressReport report;
    QStringList facts;
    switch (kind) {
    case FetchFailure::Connection:
        report.headline = tr("The server could not be reached: %1").arg(reason);
        break;
    case FetchFailure::Certificate: {
        const CertificateTrouble& trouble = m_fetcher->certificateTrouble();
        report.headline = tr("The certificate is not trusted: %1").arg(trouble.reason);
        if (!trouble.subject.isEmpty())
            facts << tr("Issued to: %1").arg(trouble.subject);
        if (!trouble.fingerprint.isEmpty())
            facts << tr("SHA-256 fingerprint:\n%1")
                         .arg(ReadableFingerprint(trouble.fingerprint));

        facts << tr("If this is your own camera, start the cam and choose \"Trust This "
                    "Certificate...\" on its panel.");
        break;
    }
    case FetchFailure::Timeout:
        report.headline = tr("No whole answer came in time: %1").arg(reason);
        break;
    case FetchFailure::NotPicture:
        report.headline = tr("The answer is not a picture (%1)").arg(reason);
        facts = answerFacts(qsizetype(m_fetcher->response().responseBuffer.size()));
        break;
    case FetchFailure::Protocol:
        report.headline = tr("The answer could not be used: %1").arg(reason);
        if (m_fetcher->response().head.status)
            facts = answerFacts(0);
        break;
    case FetchFailure::Refused:
        report.headline = tr("The cam refused the user name or password");
        break;
    case FetchFailure::PlainPassword:
        report.headline = tr("The cam asks for its password over plain HTTP, where it travels "
                             "unencrypted; start the cam to agree to that for it");
        break;
    case FetchFailure::StreamEnded:
        if (!m_streamFirst.body.isEmpty()) {
            reportStream(); // what came before the end tells
            return;
        }
        report.headline = tr("The stream ended before its first picture: %1").arg(reason);
        break;
    }
    if (kind != FetchFailure::NotPicture && kind != FetchFailure::Protocol) {
        if (!m_fetcher->lastProxy().empty())
            facts << tr("Proxy: %1").arg(localText(m_fetcher->lastProxy()));
        facts << timeTaken();
    }
    report.facts = facts;
    finish(report);
}

void AddressTest::finish(AddressReport report) {
    m_fetcher->stop();
    if (auto done = std::exchange(m_done, nullptr))
        done(report);
}
