// Motion in the running program's engine: a scripted cam serves a scene a figure crosses, or
// one whose lights are switched on; with "only pictures with motion" auto-save keeps the
// event's pictures and those around it, one notification tells the start, and a change of
// brightness alone does nothing.
#include "camlist/camlistmodel.h"
#include "common/background.h"
#include "config/camsettings.h"
#include "config/desktopnotifier.h"
#include "config/settings.h"
#include "engine/autosave.h"
#include "engine/camengine.h"
#include "history/camrules.h"
#include "engine/motionwatch.h"

#include "camlistbytes.h"
#include "motionscenes.h"
#include "sandbox.h"
#include "scriptedprompter.h"
#include "scriptedserver.h"
#include "testmain.h"

#include <QDir>
#include <QTest>

namespace {

struct CountingNotifier : DesktopNotifier {
    CountingNotifier() : DesktopNotifier("tests") {}
    void notify(const QString& summary, const QString&) override { told << summary; }
    QStringList told;
};

} // namespace

class MotionSinkTest : public QObject {
    Q_OBJECT
  private slots:
    void onlyThePicturesWithMotionAreKept_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("saved"); // the event (10 to 27) and two pictures either side
        QTest::addColumn<int>("notices");
        QTest::newRow("a figure crossing") << "crossing" << 22 << 1;
        QTest::newRow("lights switched on") << "lights on" << 0 << 0;
    }
    void onlyThePicturesWithMotionAreKept() {
        QFETCH(QString, kind);
        std::mt19937 random(7);
        QList<QByteArray> sequence;
        for (int n = 0; n < pictures; ++n)
            sequence << camJpeg(scene(kind, n, random));
        ScriptedServer server;
        int served = 0;
        server.setRoute([&](const QByteArray&) {
            return ScriptedServer::answer(ScriptedServer::okResponse(sequence.value(served++)));
        });
        Sandbox box;
        box.writeFile("00camlist.txt",
                      camList({{"Yard", "http://" + server.address("/yard.jpg"), "300"}}));
        QDir().mkpath(box.path("cam"));
        ScriptedPrompter prompter;
        SettingsStore store("Tarvique Software", "Tarvique Webcams", prompter);
        CamSettings settings(store, "Tarvique Webcams", "Tarvique Webcams tests");
        MotionSettings motion;
        motion.on = true;
        motion.noticeMinutes = 10;
        settings.setValue(motionSettingsKey, "Yard", motion);
        settings.setValue(saveRuleKey, "Yard", {SaveRule::Kind::OnlyMotion});
        CamListModel list(box.fsPath("00camlist.txt"));
        list.load(false);
        BackgroundQueue files(1);
        CountingNotifier notifier;
        CamEngine engine(list, settings);
        MotionWatch watch(engine, &notifier);
        AutoSave saving(engine, box.path("cam"), files);
        saving.setMotion(&watch);
        saving.setOn(true);
        engine.setPictureSize(0, {160, 90});
        engine.StartSelectedCam("Yard");
        for (int n = 0; n < pictures; ++n) {
            if (n > 0)
                engine.refreshNow(0);
            QTRY_COMPARE(served, n + 1);
            QTRY_VERIFY(engine.isSettled(0));
        }
        files.waitForDone();
        QTEST(int(QDir(box.path("cam")).entryList({"*.jpg"}).size()), "saved");
        QTEST(int(notifier.told.size()), "notices");
    }
};

WEBCAMS_TEST(MotionSinkTest)
#include "test_motionsink.moc"
