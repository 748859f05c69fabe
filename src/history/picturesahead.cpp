#include "history/picturesahead.h"

#include "common/atomicfile.h"
#include "imaging/picturedecoder.h"

#include <QFile>

namespace {

// Saved pictures are the program's own JPEGs; a file larger than this is not one.
constexpr qint64 largestPicture = 64 * 1024 * 1024;

// Only a regular file is read, never waited for (a FIFO put in its place) and never past the
// bound (a device).
QImage decodeFile(const QString& path, QSize largest) {
    const ReadResult read = readWholeFile(QFile::encodeName(path).toStdString(), largestPicture);
    if (!read.ok || read.missing)
        return {};
    const QByteArray bytes =
        QByteArray::fromRawData(read.bytes.data(), qsizetype(read.bytes.size()));
    QImage picture = DecodePicture(bytes, largest).picture;
    picture.detach(); // a reader may share the bytes it was given
    return picture;
}

} // namespace

PicturesAhead::PicturesAhead(QSize largest, QObject* parent)
    : QObject(parent), m_largest(largest) {}

PicturesAhead::~PicturesAhead() {
    m_queue.clear();
}

void PicturesAhead::want(const QStringList& paths) {
    m_wanted.clear();
    for (const QString& path : paths)
        if (!m_kept.contains(path) && path != m_decoding)
            m_wanted.append(path);
    decodeNext();
}

void PicturesAhead::clear() {
    m_wanted.clear();
    m_kept.clear();
    m_keptOrder.clear();
    m_bytes = 0;
}

void PicturesAhead::decodeNext() {
    if (!m_decoding.isEmpty() || m_wanted.isEmpty())
        return;
    m_decoding = m_wanted.takeFirst();
    m_queue.run(
        this, [path = m_decoding, largest = m_largest] { return decodeFile(path, largest); },
        [this](const QImage& picture) {
            const QString path = std::exchange(m_decoding, QString());
            keep(path, picture);
            emit decoded(path, picture);
            decodeNext();
        });
}

void PicturesAhead::keep(const QString& path, const QImage& picture) {
    if (picture.isNull() || m_kept.contains(path))
        return;
    m_kept.insert(path, picture);
    m_keptOrder.push_back(path);
    m_bytes += picture.sizeInBytes();
    // the latest stays, whatever its size
    while (m_keptOrder.size() > 1 &&
           (m_keptOrder.size() > size_t(pictures) || m_bytes > keptBytes)) {
        m_bytes -= m_kept.take(m_keptOrder.front()).sizeInBytes();
        m_keptOrder.pop_front();
    }
}
