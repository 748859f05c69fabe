#include "engine/camchoices.h"

#include <QStringList>

namespace {

std::optional<SourceChoices> readChoices(const QString& text) {
    SourceChoices choices;
    for (const QString& pair : text.split(' ', Qt::SkipEmptyParts)) {
        if (pair == "transport=udp")
            choices.udp = true;
        else if (pair != "transport=tcp")
            return std::nullopt;
    }
    return choices;
}

QString choicesText(const SourceChoices& choices) {
    return choices.udp ? QStringLiteral("transport=udp") : QString();
}

} // namespace

const CamKey<SourceChoices> sourceChoicesKey{"CamChoices", {}, readChoices, choicesText};
