#include "app/dialogservices.h"

#include "camlist/camlistmodel.h"
#include "listpane/camlistpane.h"
#include "panels/addresstest.h"
#include "panels/campanelset.h"
#include "config/certificatepins.h"
#include "panels/changerate.h"
#include "config/camalerts.h"
#include "config/camcredentials.h"

void GiveDialogsTheirServices(CamListPane& camList, const CamPanelSet& panels,
                              const CertificatePins& pins) {
    camList.setAddressChecker([&pins](const QByteArray& camName) {
        return std::make_unique<AddressTest>(
            [&pins, camName](const QString& hostPort) { return pins.lookup(camName, hostPort); });
    });
    camList.setRefreshSuggestions([&panels](const QByteArray& camName)
                                      -> std::optional<RefreshSuggestion> {
        const ChangeRate* rate = panels.learnedRate(camName);
        if (!rate || !rate->intervalSeconds() || rate->newAtEveryFetch())
            return std::nullopt; // a cam that may change faster is not slowed down
        return RefreshSuggestion{*rate->intervalSeconds(), QString::fromStdString(rate->text())};
    });
}

void FollowRenamesAndRemovals(CamListModel& camList, const CamPanelSet& panels,
                              CertificatePins& pins, CamCredentials& credentials,
                              CamAlertSettings& alerts) {
    QObject::connect(&camList, &CamListModel::renamed, &camList,
                     [&camList, &pins, &credentials, &alerts](const std::string& oldName,
                                                              const std::string& newName) {
                         const QByteArray before = QByteArray::fromStdString(oldName);
                         const QByteArray after = QByteArray::fromStdString(newName);
                         const bool remains = camList.contains(oldName);
                         pins.rename(before, after, remains);
                         credentials.rename(before, after, remains);
                         alerts.rename(before, after, remains);
                     });
    const auto runs = [&panels](const std::string& name) {
        for (int index = 0; index < CamPanelSet::maxRunningCams; ++index)
            if (panels.isRunning(index) && panels.slot(index).record.name == name)
                return true;
        return false;
    };
    QObject::connect(&camList, &CamListModel::removed, &camList,
                     [&pins, &credentials, &alerts, runs](const std::string& name) {
                         if (runs(name))
                             return;
                         pins.forget(QByteArray::fromStdString(name));
                         credentials.remove(QByteArray::fromStdString(name));
                         alerts.remove(QByteArray::fromStdString(name));
                     });
    QObject::connect(&panels, &CamPanelSet::camStopped, &camList,
                     [&camList, &pins, &credentials, &alerts, runs](const std::string& name) {
                         if (runs(name) || camList.contains(name))
                             return;
                         pins.forget(QByteArray::fromStdString(name));
                         credentials.remove(QByteArray::fromStdString(name));
                         alerts.remove(QByteArray::fromStdString(name));
                     });
}
