#include "app/session.h"

#include "common/localtext.h"
#include "config/settings.h"
#include "engine/camengine.h"
#include "engine/camfollower.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QStringList>
#include <algorithm>
#include <charconv>
#include <memory>

namespace {

std::string hexOf(std::string_view bytes) {
    return QByteArray(bytes.data(), qsizetype(bytes.size())).toHex().toStdString();
}

std::optional<std::string> fromHex(std::string_view text) {
    if (text.empty() || text.size() % 2 != 0 || text.size() > 8192)
        return std::nullopt;
    if (text.find_first_not_of("0123456789abcdefABCDEF") != std::string_view::npos)
        return std::nullopt;
    return QByteArray::fromHex(QByteArray(text.data(), qsizetype(text.size()))).toStdString();
}

} // namespace

std::string EncodeRunningCams(const std::vector<Session::Cam>& cams) {
    std::string text;
    for (const Session::Cam& cam : cams) {
        if (!text.empty())
            text += ';';
        text += std::to_string(cam.panel) + "=" + hexOf(cam.name);
    }
    return text;
}

std::vector<Session::Cam> DecodeRunningCams(std::string_view text) {
    std::vector<Session::Cam> cams;
    while (!text.empty()) {
        const size_t end = text.find(';');
        const std::string_view item = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        const size_t equals = item.find('=');
        if (equals == std::string_view::npos)
            continue;
        int panel = -1;
        const auto [rest, error] = std::from_chars(item.data(), item.data() + equals, panel);
        const std::optional<std::string> name = fromHex(item.substr(equals + 1));
        if (error != std::errc() || rest != item.data() + equals || !name || panel < 0 ||
            panel >= CamEngine::maxRunningCams)
            continue;
        const bool seen = std::any_of(cams.begin(), cams.end(), [&](const Session::Cam& cam) {
            return cam.panel == panel || cam.name == *name;
        });
        if (!seen)
            cams.push_back({panel, *name});
    }
    return cams;
}

Session CurrentSession(const CamEngine& engine) {
    Session session;
    for (int index = 0; index < CamEngine::maxRunningCams; ++index)
        if (engine.isRunning(index))
            session.running.push_back({index, engine.place(index).record.name});
    // the cam the viewer shows: place 0 counting as followed before any click is not one
    const CamFollower& selection = engine.selection();
    const int selected = selection.place();
    if (selection.isShowing() && selection.hasPlace() && engine.isRunning(selected))
        session.selected = engine.place(selected).record.name;
    return session;
}

void SaveSession(SettingsStore& settings, const QString& productName, const Session& session) {
    settings.WriteUserSetting(productName, "Session", "runningCams",
                              QString::fromLatin1(EncodeRunningCams(session.running)));
    settings.WriteUserSetting(productName, "Session", "selectedCam",
                              QString::fromLatin1(hexOf(session.selected)));
}

Session LoadSession(const SettingsStore& settings, const QString& productName) {
    Session session;
    session.running =
        DecodeRunningCams(settings.ReadUserSetting(productName, "Session", "runningCams", {})
                              .toLatin1()
                              .toStdString());
    session.selected = fromHex(settings.ReadUserSetting(productName, "Session", "selectedCam", {})
                                   .toLatin1()
                                   .toStdString())
                           .value_or(std::string());
    return session;
}

QString RestoreSession(CamEngine& engine, const Session& session) {
    QStringList notStarted;
    for (const Session::Cam& cam : session.running) {
        QString why;
        if (!engine.StartCamInPanel(cam.name, cam.panel, &why))
            notStarted << QString("%1 (%2)").arg(localText(cam.name), why);
    }

    // the viewed cam again; its first picture is measured when it comes
    for (int index = 0; index < CamEngine::maxRunningCams; ++index)
        if (!session.selected.empty() && engine.isRunning(index) &&
            engine.place(index).record.name == session.selected)
            engine.selection().follow(index);
    if (notStarted.isEmpty())
        return {};
    //: %1 lists the cams, each with why it did not start
    return QCoreApplication::translate("Session", "Not started again: %1")
        .arg(notStarted.join(", "));
}
