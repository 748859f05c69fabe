#include "engine/followcamlist.h"

#include "camlist/camlistmodel.h"
#include "config/camsettings.h"
#include "engine/camengine.h"

#include <functional>

namespace {

bool runs(const CamEngine& engine, const std::function<bool(const CamPlace&)>& which) {
    for (int index = 0; index < CamEngine::maxRunningCams; ++index)
        if (engine.isRunning(index) && which(engine.place(index)))
            return true;
    return false;
}

// Credentials kept under the cams' names before cams had ids go to the cams listed now, once.
void MoveNameKeyedCredentials(CamListModel& camList, CamSettings& settings) {
    // a list not read (yet) says nothing of its cams
    if (!settings.credentials().keptByName() || camList.text().empty())
        return;
    std::vector<CredentialCam> listed;
    for (const std::string& name : camList.names())
        if (const std::optional<CamRecord> record = camList.find(name))
            listed.push_back({camList.idOf(name), QByteArray::fromStdString(name),
                              QByteArray::fromStdString(record->url)});
    settings.credentials().moveNameKeyed(listed);
}

} // namespace

void FollowCamList(CamListModel& camList, CamEngine& engine, CamSettings& settings) {
    // what is kept by name goes once no listed cam and no place has the name; the credentials,
    // kept by id, once no place runs the id and the list has it no more
    const auto removeWhenGone = [&camList, &settings, &engine](const std::string& name, CamId id) {
        const auto named = [&name](const CamPlace& place) { return place.record.name == name; };
        if (!runs(engine, named) && !camList.contains(name))
            settings.remove(QByteArray::fromStdString(name));
        const auto withId = [id](const CamPlace& place) { return place.id == id; };
        if (id != 0 && !runs(engine, withId) && camList.idOf(name) != id)
            settings.credentials().remove({id, QByteArray::fromStdString(name), {}});
    };
    QObject::connect(&camList, &CamListModel::renamed, &settings,
                     [&camList, &settings](const std::string& oldName, const std::string& newName) {
                         settings.rename(QByteArray::fromStdString(oldName),
                                         QByteArray::fromStdString(newName),
                                         camList.contains(oldName));
                     });
    QObject::connect(&camList, &CamListModel::removed, &settings, removeWhenGone);
    QObject::connect(&engine, &CamEngine::camStopped, &settings, removeWhenGone);
    QObject::connect(&camList, &CamListModel::changed, &settings,
                     [&camList, &settings] { MoveNameKeyedCredentials(camList, settings); });
    MoveNameKeyedCredentials(camList, settings);
}
