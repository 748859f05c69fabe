#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <tuple>

using CamLine = std::tuple<QByteArray, QString, QByteArray>; // name, address, refresh

// The bytes of a cam list holding the given cams.
inline QByteArray camList(const QList<CamLine>& cams) {
    QByteArray text = "\r\n";
    for (const auto& [name, url, refresh] : cams)
        text += "[name]" + name + "\r\n" + url.toUtf8() + "\r\n" + refresh + "\r\n\r\n";
    return text;
}
