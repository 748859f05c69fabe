#include "engine/addresstest.h"

#include "common/numbertext.h"
#include "engine/picturedecode.h"
#include "engine/sourceregistry.h"
#include "imaging/picturecheck.h"

#include <QBuffer>
#include <QImageReader>
#include <QLocale>
#include <QRegularExpression>
#include <QTimer>

namespace {

const QSize previewSize(160, 120);
// How long a stream is watched to tell its pace.
constexpr int streamWatchMs = 2000;

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

QSize sizeOf(const FetchedPicture& picture) {
    if (picture.size.isValid())
        return picture.size;
    QBuffer buffer;
    buffer.setData(picture.body);
    buffer.open(QIODevice::ReadOnly);
    return QImageReader(&buffer).size();
}

// The Test's source reads the user's trusted certificates and changes nothing.
class TestKeeping : public SourceKeeping {
  public:
    explicit TestKeeping(std::function<QByteArray(const QString&)> pins)
        : m_pins(std::move(pins)) {}
    QByteArray trustedCertificate(const QString& hostPort) const override {
        return m_pins ? m_pins(hostPort) : QByteArray();
    }
    bool trustCertificate(const QString&, const QByteArray&) override { return false; }
    bool mayGoUnencrypted() const override { return false; }
    bool allowUnencrypted() override { return false; }

  private:
    std::function<QByteArray(const QString&)> m_pins;
};

} // namespace

AddressTest::AddressTest(const SourceRegistry& registry,
                         std::function<QByteArray(const QString&)> pins, QObject* parent)
    : QObject(parent), m_registry(registry),
      m_keeping(std::make_unique<TestKeeping>(std::move(pins))) {}

AddressTest::~AddressTest() {
    m_done = nullptr;
    if (m_source)
        m_source->stop();
}

void AddressTest::makeSource(const QByteArray& kind) {
    delete m_source;
    m_source = m_registry.make(kind, this);
    m_source->setKeeping(m_keeping.get());
    m_source->setCredentials(m_credentials);
    connect(m_source, &PictureSource::pictureArrived, this, &AddressTest::pictureArrived);
    connect(m_source, &PictureSource::failed, this, &AddressTest::failed);
    connect(m_source, &PictureSource::unchanged, this, [this] {
        finish({true, tr("The picture has not changed"), m_source->facts() << timeTaken(), {}});
    });
    connect(m_source, &PictureSource::streamStarted, this, [this] {
        m_streamClock.start();
        QTimer::singleShot(streamWatchMs, this, &AddressTest::reportStream);
    });
    connect(m_source, &PictureSource::problem, this, [this](const QString& text) {
        finish({false, tr("This address cannot be fetched"), {text.section(": ", 1)}, {}});
    });
    // the address turned out to be a cam of another kind: its own source tries it
    connect(m_source, &PictureSource::otherKind, this,
            [this](const QByteArray& type, const QByteArray& first) {
                const QByteArray kind = m_registry.kindOfAnswer(
                    type, std::string_view(first.constData(), size_t(first.size())));
                if (kind.isEmpty())
                    return;
                m_source->stop();
                m_source->deleteLater();
                m_source = nullptr;
                makeSource(kind);
                m_source->setRecord("Test", m_address, m_refresh);
                m_source->beginCycle();
            });
}

void AddressTest::check(const QByteArray& address, const QByteArray& refresh,
                        std::function<void(const AddressReport&)> done) {
    // the cam's motion level as its panel measures it now, so the sensitivity can be tuned
    // by looking
    m_done = [this, done = std::move(done)](const AddressReport& report) {
        const QString level = m_motionLevel ? m_motionLevel() : QString();
        if (level.isEmpty())
            return done(report);
        AddressReport withMotion = report;
        withMotion.facts << tr("In its panel now: %1").arg(level);
        done(withMotion);
    };
    m_streamFirst = {};
    m_address = address;
    // a refresh that is no number bounds the test as the usual 30 seconds would
    m_refresh = parseLong(refresh.toStdString()) ? refresh : "30";
    makeSource(m_registry.kindOf(address));
    m_source->setRecord("Test", m_address, m_refresh);
    m_clock.start();
    m_source->beginCycle();
}

void AddressTest::useCredentials(std::optional<Credentials> credentials) {
    m_credentials = credentials;
    if (m_source)
        m_source->setCredentials(std::move(credentials));
}

QString AddressTest::timeTaken() const {
    return tr("Time taken: %1 s").arg(m_clock.elapsed() / 1000.0, 0, 'f', 2);
}

void AddressTest::reportStream() {
    if (!m_done || !m_source)
        return;
    if (m_streamFirst.body.isEmpty()) {
        if (m_source->isStreaming())
            finish(
                {false, tr("A stream that sent no picture"), m_source->facts() << timeTaken(), {}});
        return;
    }
    const double seconds = std::max<qint64>(m_streamClock.elapsed(), 1) / 1000.0;
    AddressReport report;
    report.ok = true;
    report.headline = m_source->streamText(seconds);
    static const QRegularExpression namesItsSize(QStringLiteral("\\d x \\d"));
    if (const QSize size = sizeOf(m_streamFirst);
        size.isValid() && !report.headline.contains(namesItsSize))
        report.headline += tr(", %1 x %2").arg(size.width()).arg(size.height());
    report.facts = m_source->facts() << timeTaken();
    m_source->stop();
    finishWithPreview(report, m_streamFirst);
}

void AddressTest::pictureArrived(const FetchedPicture& fetched) {
    if (m_source->isStreaming()) {
        if (m_streamFirst.body.isEmpty())
            m_streamFirst = fetched;
        return;
    }
    const QString trouble = m_source->pictureTrouble();
    const QSize size = sizeOf(fetched);
    const QString kind = fetched.format.isEmpty() ? pictureKind(fetched.body) : tr("picture");
    AddressReport report;
    report.ok = trouble.isEmpty();
    report.headline = size.isValid()
                          ? tr("A %1 of %2 x %3").arg(kind).arg(size.width()).arg(size.height())
                          : tr("A %1").arg(kind);
    if (!report.ok)
        report.headline += tr(", but with %1").arg(trouble);
    report.facts = m_source->facts();
    report.facts << tr("Size: %1 bytes").arg(QLocale().toString(fetched.body.size()))
                 << timeTaken();
    m_source->stop();
    finishWithPreview(report, fetched);
}

void AddressTest::finishWithPreview(AddressReport report, const FetchedPicture& picture) {
    // the preview is decoded as a panel would decode the picture, off the window's thread; the
    // report waits for it, and a failure said meanwhile (the picture's error status) is not
    // the report
    auto done = std::exchange(m_done, nullptr);
    m_work.run(
        this,
        [picture, decode = m_registry.decoder()] {
            const QImage decoded =
                picture.format.isEmpty()
                    ? DecodeFetchedPicture(picture.body, picture.announcedLength, previewSize)
                          .picture
                    : decode(picture.format, picture.body, previewSize).picture;
            return decoded.isNull()
                       ? decoded
                       : decoded.scaled(previewSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
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
    if (kind == FetchFailure::StreamEnded && !m_streamFirst.body.isEmpty()) {
        reportStream(); // what came before the end tells
        return;
    }
    const PictureSource::FailureReport failure = m_source->describeFailure(reason, kind);
    AddressReport report;
    report.headline = failure.headline;
    report.facts = failure.facts;
    if (failure.withTime)
        report.facts << timeTaken();
    finish(report);
}

void AddressTest::finish(AddressReport report) {
    if (m_source)
        m_source->stop();
    if (auto done = std::exchange(m_done, nullptr))
        done(report);
}
