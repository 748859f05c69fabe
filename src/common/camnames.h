#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <vector>

// A cam's identity, apart from its name: it stays when the cam is renamed. 0 is no cam.
using CamId = quint64;

// A cam's names: the one it has and those it had, newest first. Its saved pictures carry the
// name it had when they were taken.
struct CamNames {
    QByteArray current;
    std::vector<QByteArray> former;

    // All of them, the current one first.
    std::vector<QByteArray> all() const {
        std::vector<QByteArray> names{current};
        names.insert(names.end(), former.begin(), former.end());
        return names;
    }
    bool operator==(const CamNames&) const = default;
};
