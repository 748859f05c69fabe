#include "video/videobodies.h"

#include <QtEndian>
#include <algorithm>

namespace {

const QByteArray keyMagic = QByteArrayLiteral("WCV1K");
const QByteArray rawMagic = QByteArrayLiteral("WCV1R");
constexpr size_t maxNameLength = 32;

void putInt(QByteArray& out, quint32 value) {
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

void putName(QByteArray& out, const std::string& name) {
    const std::string kept = name.substr(0, maxNameLength);
    out.append(char(kept.size()));
    out.append(kept.data(), qsizetype(kept.size()));
}

// Reads a body from its start; every read says whether the body held what was asked.
class Reader {
  public:
    Reader(const QByteArray& body, const QByteArray& magic) : m_body(body) {
        m_ok = body.startsWith(magic);
        m_at = magic.size();
    }
    bool ok() const { return m_ok; }
    qint32 number() {
        if (!take(4))
            return 0;
        return qFromLittleEndian<qint32>(m_body.constData() + m_at - 4);
    }
    QByteArray bytes(qsizetype count) {
        if (count < 0 || !take(count))
            return {};
        return m_body.mid(m_at - count, count);
    }
    std::string name() {
        const QByteArray length = bytes(1);
        const QByteArray name = bytes(length.isEmpty() ? 0 : quint8(length[0]));
        if (name.isEmpty() || qsizetype(name.size()) > qsizetype(maxNameLength) ||
            name.contains('\0'))
            m_ok = false;
        return name.toStdString();
    }

  private:
    bool take(qsizetype count) {
        m_ok = m_ok && count <= m_body.size() - m_at;
        if (m_ok)
            m_at += count;
        return m_ok;
    }
    const QByteArray& m_body;
    qsizetype m_at = 0;
    bool m_ok = false;
};

} // namespace

QByteArray KeyPictureFormat(const std::string& codec) {
    return "video/" + QByteArray::fromStdString(codec);
}

bool IsVideoPictureFormat(const QByteArray& format) {
    return format.startsWith("video/") && format.size() > 6;
}

QByteArray WriteKeyPicture(const KeyPicture& key) {
    QByteArray out;
    out.reserve(key.extradata.size() + key.picture.size() + 64);
    out += keyMagic;
    putName(out, key.codec);
    putInt(out, quint32(std::max(key.size.width(), 0))); // 0: not known
    putInt(out, quint32(std::max(key.size.height(), 0)));
    putInt(out, quint32(key.extradata.size()));
    out += key.extradata;
    putInt(out, quint32(key.picture.size()));
    out += key.picture;
    return out;
}

std::optional<KeyPicture> ReadKeyPicture(const QByteArray& body) {
    Reader reader(body, keyMagic);
    KeyPicture key;
    key.codec = reader.name();
    const qint32 width = reader.number();
    const qint32 height = reader.number();
    key.size = QSize(width, height);
    key.extradata = reader.bytes(reader.number());
    key.picture = reader.bytes(reader.number());
    if (!reader.ok() || width < 0 || height < 0 || key.picture.isEmpty())
        return std::nullopt;
    return key;
}

QByteArray WriteRawHead(const RawPictureHead& head) {
    QByteArray out = rawMagic;
    putName(out, head.pixelFormat);
    const QSize full = head.fullSize.isValid() ? head.fullSize : head.size;
    for (const int value : {head.size.width(), head.size.height(), head.colourSpace, head.range,
                            full.width(), full.height()})
        putInt(out, quint32(value));
    out.append(rawHeadBytes - out.size(), '\0');
    return out;
}

std::optional<RawPictureHead> ReadRawHead(const QByteArray& body) {
    Reader reader(body, rawMagic);
    RawPictureHead head;
    head.pixelFormat = reader.name();
    const qint32 width = reader.number();
    const qint32 height = reader.number();
    head.size = QSize(width, height);
    head.colourSpace = reader.number();
    head.range = reader.number();
    const qint32 fullWidth = reader.number();
    const qint32 fullHeight = reader.number();
    head.fullSize = QSize(fullWidth, fullHeight);
    if (!reader.ok() || body.size() < rawHeadBytes || width <= 0 || height <= 0 ||
        fullWidth < width || fullHeight < height)
        return std::nullopt;
    return head;
}
