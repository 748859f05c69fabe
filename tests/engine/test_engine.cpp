// The engine on its own, with no widget at all: a second view follows a cam, sinks take each
// picture in their order, the registry tells the kinds of cam, and a renamed cam keeps all it
// had.
#include "camlist/camlistmodel.h"
#include "config/camsettings.h"
#include "config/settings.h"
#include "engine/camengine.h"
#include "engine/camfollower.h"
#include "engine/camretries.h"
#include "engine/followcamlist.h"
#include "engine/walllayout.h"
#include "history/camhistory.h"
#include "history/retention.h"
#include "source/picturesource.h"

#include "camlistbytes.h"
#include "manualticker.h"
#include "pictures.h"
#include "sandbox.h"
#include "scriptedprompter.h"
#include "scriptedserver.h"
#include "testmain.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

namespace {

// Writes down what each completion of each place was, in the order it came.
struct Recorder : PictureSink {
    Recorder(CamEngine& engine, QString name, QStringList& log)
        : m_engine(engine), m_name(std::move(name)), m_log(log) {
        engine.addSink(this);
    }
    ~Recorder() override { m_engine.removeSink(this); }
    void completed(const CamPlace& place, const Completion& completion) override {
        m_log << QString("%1 %2:%3").arg(m_name).arg(place.index).arg(int(completion.kind));
    }
    CamEngine& m_engine;
    QString m_name;
    QStringList& m_log;
};

struct Engine {
    Sandbox box;
    ScriptedPrompter prompter;
    SettingsStore store{"Tarvique Software", "Tarvique Webcams", prompter};
    CamSettings settings{store, "Tarvique Webcams", "Tarvique Webcams tests"};
    CamListModel list{box.fsPath("00camlist.txt")};
    ManualTickers tickers;
    std::unique_ptr<CamEngine> engine;

    explicit Engine(const QByteArray& cams) {
        box.writeFile("00camlist.txt", cams);
        list.load(false);
        engine = std::make_unique<CamEngine>(list, settings,
                                             SourceServices{{}, {}, tickers.maker(), {}, {}});
        FollowCamList(list, *engine, settings);
    }
};

} // namespace

class EngineTest : public QObject {
    Q_OBJECT
  private slots:
    void aSecondViewFollowsACamWithoutWidgets() {
        ScriptedServer server;
        server.setScript(ScriptedServer::answer(ScriptedServer::okResponse(jpegOf(Qt::red))));
        Engine e(camList({{"Harbour", "http://" + server.address("/a.jpg"), "30"}}));
        QStringList log;
        Recorder first(*e.engine, "first", log);
        CamFollower second(*e.engine);
        Recorder last(*e.engine, "last", log);
        QSignalSpy arrived(&second, &CamFollower::pictureArrived);
        QSignalSpy stopped(&second, &CamFollower::stopped);

        e.engine->StartSelectedCam("Harbour");
        second.follow(0);
        QTRY_VERIFY(arrived.count() > 0);
        QTRY_VERIFY(e.engine->isSettled(0));
        // whole for the view that follows it, in the sinks' order
        QCOMPARE(arrived.last().at(0).value<QImage>().size(), QSize(40, 30));
        QCOMPARE(log, (QStringList{"first 0:0", "last 0:0"}));
        QCOMPARE(second.name(), QByteArray("Harbour"));
        QVERIFY(!second.picture().isEmpty());

        e.engine->stopCam(0);
        QCOMPARE(stopped.count(), 1);
        QCOMPARE(second.place(), -1);
    }

    // A server that is back is asked again at once by the cams that could not reach it, and
    // Retry All asks every failing cam; no second of their backoff passes meanwhile.
    void camsOfAServerThatIsBackAreAskedAgainAtOnce() {
        ScriptedServer server;
        server.setScript(
            ScriptedServer::answer(ScriptedServer::okResponse(jpegOf(Qt::red)), 100, 5));
        QList<CamLine> cams;
        for (const char* name : {"Harbour", "Hill", "Quay"})
            cams.append({name, "http://" + server.address("/" + QString(name)), "60"});
        server.goAway();
        Engine e(camList(cams));
        CamRetries retries(*e.engine, nullptr);
        QSignalSpy said(e.engine.get(), &CamEngine::statusText);
        QSignalSpy ended(e.engine.get(), &CamEngine::statusTextEnded);
        const auto all = [&](auto holds) {
            for (int index = 0; index < 3; ++index)
                if (!holds(e.engine->place(index)))
                    return false;
            return true;
        };
        const auto failing = [](const CamPlace& place) {
            return place.source->failures() > 0 && !place.source->isFetching();
        };
        e.engine->StartAllCams();
        QVERIFY(all([](const CamPlace& place) { return place.running; }));
        QTRY_VERIFY(all(failing));

        QVERIFY(server.comeBack());
        e.engine->refreshNow(0); // one cam answers; the others follow
        QTRY_VERIFY(all([](const CamPlace& place) { return place.shownCount == 1; }));
        // the transfers told of in the status bar are taken down when they end
        QVERIFY(!ended.isEmpty());
        QCOMPARE(ended.last().at(0).toString(), said.last().at(0).toString());

        server.goAway();
        for (int index = 0; index < 3; ++index)
            e.engine->refreshNow(index);
        QTRY_VERIFY(all(failing));
        QVERIFY(server.comeBack());
        QCOMPARE(retries.retryAll(), 3);
        QTRY_VERIFY(all([](const CamPlace& place) { return place.source->failures() == 0; }));
        QCOMPARE(retries.retryAll(), 0); // none fails now
    }

    // Tiles in the area's pixels: "columns x rows" of the first tile's grid, the tiles made, and
    // the share of the area the 4:3 pictures cover (the name's line of 18 pixels under each).
    void tilesFillTheArea_data() {
        QTest::addColumn<QByteArray>("layout");
        QTest::addColumn<int>("cams");
        QTest::addColumn<QSize>("area");
        QTest::addColumn<int>("tiles");
        QTest::addColumn<QSize>("firstTile");
        QTest::addColumn<int>("coveredPercent"); // at least
        QTest::newRow("9 at 1920 x 1080")
            << QByteArray("auto") << 9 << QSize(1045, 990) << 9 << QSize(343, 324) << 70;
        QTest::newRow("wide area, 2 cams side by side")
            << QByteArray("auto") << 2 << QSize(1000, 400) << 2 << QSize(494, 392) << 55;
        QTest::newRow("1 x 1 shows the first")
            << QByteArray("1x1") << 5 << QSize(800, 600) << 1 << QSize(792, 592) << 80;
        QTest::newRow("2 x 2 keeps its grid")
            << QByteArray("2x2") << 1 << QSize(804, 604) << 1 << QSize(396, 296) << 20;
        QTest::newRow("4 x 4, more cams than tiles")
            << QByteArray("4x4") << 20 << QSize(804, 604) << 16 << QSize(196, 146) << 60;
        QTest::newRow("one large")
            << QByteArray("one-large") << 4 << QSize(1200, 600) << 4 << QSize(792, 592) << 50;
        QTest::newRow("the designed panels")
            << QByteArray("designed") << 4 << QSize(800, 600) << 0 << QSize() << 0;
        QTest::newRow("no room") << QByteArray("auto") << 4 << QSize(0, 600) << 0 << QSize() << 0;
    }
    void tilesFillTheArea() {
        QFETCH(QByteArray, layout);
        QFETCH(int, cams);
        QFETCH(QSize, area);
        QFETCH(int, tiles);
        QFETCH(QSize, firstTile);
        QFETCH(int, coveredPercent);
        const std::vector<QRect> made = ArrangeTiles(*WallLayoutOfWord(layout), cams, area, 4);
        QCOMPARE(int(made.size()), tiles);
        if (made.empty())
            return;
        QCOMPARE(made.front().size(), firstTile);
        int64_t covered = 0;
        for (const QRect& tile : made) {
            QVERIFY(QRect(QPoint(), area).contains(tile));
            for (const QRect& other : made)
                QVERIFY(&other == &tile || !other.intersects(tile));
            const QSize picture = FittedSize({640, 480}, tile.size() - QSize(0, 18));
            covered += int64_t(picture.width()) * picture.height();
        }
        QVERIFY2(covered * 100 >= int64_t(coveredPercent) * area.width() * area.height(),
                 qPrintable(QString::number(covered * 100.0 / (area.width() * area.height()))));
    }

    void theRegistryTellsTheKindOfCam_data() {
        QTest::addColumn<QByteArray>("address");
        QTest::addColumn<QByteArray>("kind");
        QTest::newRow("a picture") << QByteArray("http://cam/a.jpg") << QByteArray("http");
        QTest::newRow("over TLS") << QByteArray("HTTPS://cam/a.jpg") << QByteArray("http");
        QTest::newRow("no scheme") << QByteArray("cam/a.jpg") << QByteArray("http");
        QTest::newRow("nothing") << QByteArray() << QByteArray("http");
    }
    void theRegistryTellsTheKindOfCam() {
        QFETCH(QByteArray, address);
        QFETCH(QByteArray, kind);
        const SourceRegistry registry;
        QCOMPARE(registry.kindOf(address), kind);
        PictureSource* made = registry.make(kind, nullptr);
        QVERIFY(made);
        delete made;
    }

    void aRenamedCamKeepsAllItHad() {
        Engine e(camList(
            {{"Harbour", "https://cam.example/a.jpg", "30"}, {"Hill", "http://hill/b.jpg", "30"}}));
        QDir().mkpath(e.box.path("cam"));
        e.box.writeFile("cam/Harbour~2026-12-07_10-00-00.jpg", jpegOf(Qt::red));
        CamSettings& s = e.settings;
        QVERIFY(s.pins().trust("Harbour", "cam.example:443", "ab12"));
        const CamId id = e.list.idOf("Harbour");
        QVERIFY(s.credentials().keepInPlainText({id, "Harbour", "https://cam.example/a.jpg"},
                                                {"me", "secret"}));
        QVERIFY(s.alerts().write("Harbour", {true, 15, 0}));

        QVERIFY(e.list.replace("Harbour", {"Quay", "https://cam.example/a.jpg", "30"}).ok);

        QCOMPARE(e.list.idOf("Quay"), id);
        QCOMPARE(s.pins().lookup("Quay", "cam.example:443"), QByteArray("ab12"));
        QVERIFY(s.pins().lookup("Harbour", "cam.example:443").isEmpty());
        std::optional<Credentials> found;
        s.credentials().read(
            {id, "Quay", "https://cam.example/a.jpg"},
            [&](auto, std::optional<Credentials> c, const QString&) { found = c; });
        QTRY_VERIFY(found);
        QCOMPARE(found->password, QString("secret"));
        QVERIFY(s.alerts().read("Quay").on);
        QVERIFY(!s.alerts().read("Harbour").on);
        // its pictures of the old name are still its own
        const CamNames names = e.list.namesOf("Quay");
        QCOMPARE(names.former, std::vector<QByteArray>{"Harbour"});
        QCOMPARE(CamHistory::read(e.box.path("cam"), names).size(), size_t(1));
        QCOMPARE(ListKeptPictures(e.box.path("cam"), {names}).at("Quay").size(), size_t(1));

        // the ids survive a new start; a removed cam's settings all go
        CamListModel again(e.box.fsPath("00camlist.txt"));
        again.load(false);
        QCOMPARE(again.idOf("Quay"), id);
        QVERIFY(e.list.remove("Quay").ok);
        QVERIFY(s.pins().lookup("Quay", "cam.example:443").isEmpty());
        QVERIFY(!s.alerts().read("Quay").on);
    }

    // Credentials go only to the origin they were given for, even when the address changes.
    void credentialsGoOnlyWhereTheyWereGiven_data() {
        QTest::addColumn<QString>("then"); // the address it is given, "%1" the server's port
        QTest::addColumn<bool>("sent");
        QTest::newRow("another path") << "HTTP://127.0.0.1:%1/b.jpg" << true;
        QTest::newRow("another host") << "http://localhost:%1/a.jpg" << false;
    }
    void credentialsGoOnlyWhereTheyWereGiven() {
        QFETCH(QString, then);
        QFETCH(bool, sent);
        ScriptedServer server;
        server.setRoute([](const QByteArray& request) {
            return ScriptedServer::answer(
                request.contains("Authorization:")
                    ? ScriptedServer::okResponse(jpegOf(Qt::red))
                    : "HTTP/1.1 401 Unauthorized\r\nWWW-Authenticate: Digest realm=\"cam\", "
                      "nonce=\"n1\", qop=\"auth\"\r\nContent-Length: 0\r\n\r\n");
        });
        const QByteArray given = "http://" + server.address("/a.jpg").toUtf8();
        Engine e(camList({{"Gate", given, "30"}}));
        e.settings.credentials().keepForThisRun({e.list.idOf("Gate"), "Gate", given},
                                                {"alice", "pw"});
        e.engine->StartSelectedCam("Gate");
        QTRY_VERIFY(e.engine->place(0).hasPicture() && e.engine->isSettled(0));

        const CamRecord edited{"Gate", then.arg(server.port()).toStdString(), "30"};
        e.engine->UpdateOpenPanels("Gate", edited);
        const qsizetype before = server.requests.size();
        e.engine->refreshNow(0);
        const auto sentSince = [&] {
            return server.requests.mid(before).join().contains("username=\"alice\"");
        };
        QTRY_VERIFY(sent ? sentSince() : e.engine->source(0)->failures() > 0);
        QCOMPARE(sentSince(), sent);
    }
};

WEBCAMS_TEST(EngineTest)
#include "test_engine.moc"
