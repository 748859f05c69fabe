#include "history/picturesahead.h"

#include "imaging/picturedecoder.h"

#include <QFile>

namespace {

// Saved pictures are the program's own JPEGs; a file larger than this is not one.
constexpr qint64 largestPicture = 64 * 1024 * 1024;

QImage decodeFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > largestPicture)
        return {};
    return DecodePicture(file.readAll()).picture;
}

} // namespace

PicturesAhead::PicturesAhead(QObject* parent) : QObject(parent) {}

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
}

void PicturesAhead::decodeNext() {
    if (!m_decoding.isEmpty() || m_wanted.isEmpty())
        return;
    m_decoding = m_wanted.takeFirst();
    m_queue.run(
        this, [path = m_decoding] { return decodeFile(path); },
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
    while (m_keptOrder.size() > size_t(pictures)) {
        m_kept.remove(m_keptOrder.front());
        m_keptOrder.pop_front();
    }
}
