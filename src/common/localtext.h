#pragma once

#include <QByteArray>
#include <QString>
#include <initializer_list>
#include <string>
#include <string_view>

// Bytes from files and servers as text in the user's 8-bit encoding, for showing.
inline QString localText(std::string_view bytes) {
    return QString::fromLocal8Bit(bytes.data(), qsizetype(bytes.size()));
}

inline QString localText(const QByteArray& bytes) {
    return QString::fromLocal8Bit(bytes);
}

inline QString localText(const char* bytes) {
    return QString::fromLocal8Bit(bytes);
}

inline QString localText(const std::string& bytes) {
    return localText(std::string_view(bytes));
}

// The other way, for messages kept as bytes and shown through localText(): the (translated) text
// in the user's 8-bit encoding, its "%1" to "%9" filled in with bytes as they are. A path or a
// server's words need not be valid text, and go through byte for byte.
std::string localBytes(const QString& text, std::initializer_list<std::string_view> values = {});

// Text for a terminal: control characters (which a terminal would act on, as escape sequences)
// are written as "\xNN".
inline QString terminalText(const QString& text) {
    QString shown;
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || (c.unicode() >= 0x7f && c.unicode() < 0xa0))
            shown += QString("\\x%1").arg(c.unicode(), 2, 16, QChar('0'));
        else
            shown += c;
    }
    return shown;
}
