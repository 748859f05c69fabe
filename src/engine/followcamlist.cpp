#include "engine/followcamlist.h"

#include "camlist/camlistmodel.h"
#include "config/camsettings.h"
#include "engine/camengine.h"

void FollowCamList(CamListModel& camList, CamEngine& engine, CamSettings& settings) {
    const auto runs = [&engine](const std::string& name) {
        for (int index = 0; index < CamEngine::maxRunningCams; ++index)
            if (engine.isRunning(index) && engine.place(index).record.name == name)
                return true;
        return false;
    };
    const auto removeWhenGone = [&camList, &settings, runs](const std::string& name) {
        if (!runs(name) && !camList.contains(name))
            settings.remove(QByteArray::fromStdString(name));
    };
    QObject::connect(&camList, &CamListModel::renamed, &settings,
                     [&camList, &settings](const std::string& oldName, const std::string& newName) {
                         settings.rename(QByteArray::fromStdString(oldName),
                                         QByteArray::fromStdString(newName),
                                         camList.contains(oldName));
                     });
    QObject::connect(&camList, &CamListModel::removed, &settings, removeWhenGone);
    QObject::connect(&engine, &CamEngine::camStopped, &settings, removeWhenGone);
}
