#include "app/dialogservices.h"

#include "app/camservices.h"
#include "config/camsettings.h"
#include "engine/addresstest.h"
#include "engine/camengine.h"
#include "engine/learnedrates.h"
#include "engine/motionwatch.h"
#include "listpane/camlistpane.h"

void GiveDialogsTheirServices(CamListPane& camList, CamServices& services) {
    CamSettings& settings = services.camSettings();
    const SourceRegistry& registry = services.engine().registry();
    const MotionWatch& motion = services.motion();
    camList.setAddressChecker([&settings, &registry, &motion](const QByteArray& camName) {
        auto test =
            std::make_unique<AddressTest>(registry, [&settings, camName](const QString& at) {
                return settings.pins().lookup(camName, at);
            });
        test->setMotionLevel([&motion, camName] { return motion.levelText(camName); });
        return test;
    });
    const LearnedRates& rates = services.rates();
    camList.setRefreshSuggestions([&rates](const QByteArray& camName)
                                      -> std::optional<RefreshSuggestion> {
        const ChangeRate* rate = rates.rateOf(camName);
        if (!rate || !rate->intervalSeconds() || rate->newAtEveryFetch())
            return std::nullopt; // a cam that may change faster is not slowed down
        return RefreshSuggestion{*rate->intervalSeconds(), QString::fromStdString(rate->text())};
    });
    camList.setCredentialStore(&settings.credentials());
    camList.setAlertSettings(&settings.alerts());
    camList.setCamSettings(&settings);
}
