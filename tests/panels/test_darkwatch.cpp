// Word that a cam went dark: when it is due, and the notifications a real session bus carries.
#include "config/desktopnotifier.h"
#include "engine/darkcamwatch.h"
#include "engine/darkwatch.h"

#include "onecamfixture.h"
#include "pictures.h"
#include "testmain.h"

#include <QLabel>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

class DarkWatchTest : public QObject {
    Q_OBJECT
  private slots:
    // Events: "p<s>" a new picture at second s, "s<s>" the same picture, "f" a failed fetch, "o"
    // alerts switched off,
    // "c<s>" a check at second s, which writes its word: - none, D no picture, S the same
    // picture, B back. Alerts: on, 10 minutes, 2 hours with the same picture.
    void wordsComeWhenDueAndNeverTooOften_data() {
        QTest::addColumn<QString>("events");
        QTest::addColumn<QString>("words");
        QTest::newRow("one failure is never dark") << "f c700 c5000"
                                                   << "--";
        QTest::newRow("two failures, ten minutes") << "f f c599 c600 c700"
                                                   << "-D-";
        QTest::newRow("back with a picture") << "f f c600 s700 c700"
                                             << "DB";
        QTest::newRow("once an hour") << "f f c600 p700 c700 f f c1400 p1500 c1500 f f c4300"
                                      << "DB--D";
        QTest::newRow("held back, then said") << "f f c600 p700 c700 f f c1400 c4300"
                                              << "DB-D";
        QTest::newRow("the same picture for hours") << "s100 c7199 c7200 s7300 c7300 p7400 c7400"
                                                    << "-S-B";
        QTest::newRow("switched off while dark: no back") << "f f c600 o c700 p800 c800"
                                                          << "D--";
        QTest::newRow("dark in both ways: one word") << "c7200 f f c7300 p7400 c7400"
                                                     << "S-B";
    }
    void wordsComeWhenDueAndNeverTooOften() {
        QFETCH(QString, events);
        QFETCH(QString, words);
        DarkWatch watch;
        watch.start({true, 10, 2}, 0);
        QString said;
        for (const QString& event : events.split(' ')) {
            const int64_t at = event.mid(1).toLongLong();
            if (event[0] == 'p' || event[0] == 's')
                watch.pictureCame(at, event[0] == 'p');
            else if (event[0] == 'f')
                watch.fetchFailed();
            else if (event[0] == 'o')
                watch.setAlerts({});
            else
                said += QString("-DSB")[int(watch.check(at))];
        }
        QCOMPARE(said, words);
        watch.start({}, 0); // off: nothing is ever said
        watch.fetchFailed();
        watch.fetchFailed();
        QCOMPARE(watch.check(100000), DarkWatch::Word::None);
    }
};

// Run on a private session bus (dbus-run-session); dbus-monitor reads what goes to the desktop's
// notification service, which does not run there.
class NotificationTest : public QObject {
    Q_OBJECT
  private slots:
    void aCamThatStopsIsToldOnceAndWhenItIsBack() {
        QProcess monitor;
        monitor.start("dbus-monitor",
                      {"--session", "interface='org.freedesktop.Notifications',member='Notify'"});
        if (!monitor.waitForStarted() || qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
            QSKIP("no dbus-monitor or no session bus");
        QString seen;
        const auto read = [&] {
            return seen += QString::fromUtf8(monitor.readAllStandardOutput());
        };
        QTRY_VERIFY(read().contains("NameAcquired")); // it watches
        OneCam f("30", "/c.jpg", true);
        int64_t now = 1'000'000;
        f.engine->setClock([&now] { return now; });
        f.camSettings.alerts().write("Cam", {true, 10, 0});
        DesktopNotifier notifier("Tarvique Webcams");
        DarkCamWatch watch(*f.engine, notifier);
        QString listed;
        QObject::connect(&watch, &DarkCamWatch::darkStateChanged, f.engine,
                         [&listed](const QByteArray&, const QString& note) { listed = note; });

        f.fetch(ScriptedServer::okResponse(jpegOf(Qt::red), "image/jpeg"));
        const QByteArray down = "HTTP/1.1 503 Service Unavailable\r\nContent-Length: 0\r\n\r\n";
        f.fetch(down);
        now += 11 * 60;
        f.tickers.tick(2); // one failure is not dark
        f.fetch(down);
        QTRY_COMPARE_WITH_TIMEOUT(listed, QString("no picture for 11 min"), 3000);
        const auto* mark =
            f.panel(0)->findChildren<QLabel*>(QRegularExpression("^stateMark")).value(0);
        QTRY_VERIFY(mark->toolTip().endsWith("; " + listed));
        f.fetch(down);
        now += 30 * 60;
        f.tickers.tick(2); // still dark: nothing more
        f.fetch(ScriptedServer::okResponse(jpegOf(Qt::blue), "image/jpeg"));
        QTRY_COMPARE_WITH_TIMEOUT(listed, QString(), 3000);
        QTRY_COMPARE(read().count("member=Notify"), 2);
        monitor.terminate();
        monitor.waitForFinished();
        QVERIFY(seen.contains("string \"Cam has gone dark\""));
        QVERIFY(seen.contains("string \"No picture for 11 min.\""));
        QVERIFY(seen.contains("string \"Cam is back\""));
    }
};

WEBCAMS_TEST(DarkWatchTest)
WEBCAMS_TEST(NotificationTest)
#include "test_darkwatch.moc"
