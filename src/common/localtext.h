#pragma once

#include <QByteArray>
#include <QString>
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
