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
