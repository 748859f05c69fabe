// What the keeping rules remove from a cam folder: the oldest first, never a young picture,
// never a file the program did not save; and saved pictures read ahead, whatever the files hold.
#include "history/camhistory.h"
#include "history/picturekeeper.h"
#include "history/picturesahead.h"
#include "history/retention.h"
#include "imaging/savename.h"

#include "config/camsettings.h"
#include "config/settings.h"

#include "sandbox.h"
#include "scriptedprompter.h"
#include "testmain.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QSignalSpy>
#include <QTest>
#include <sys/stat.h>

Q_DECLARE_METATYPE(KeepRule)

class HistoryTest : public QObject {
    Q_OBJECT
  private slots:
    void theRulesRemoveOnlyOldSavedPictures_data() {
        QTest::addColumn<KeepRule>("harbourRule");
        QTest::addColumn<KeepRule>("overall");
        QTest::addColumn<QStringList>("left"); // the pictures' hours of age, sorted by name
        QTest::addColumn<int>("clockAhead");   // days the clock jumped forward
        // Harbour: 50, 30, 2 and 0.5 hours old, 400 KB each; Hill: 40 and 1.5 hours, 400 KB.
        QTest::newRow("no rule") << KeepRule{} << KeepRule{}
                                 << QStringList{"H0.5", "H2", "H30", "H50", "L1.5", "L40"} << 0;
        QTest::newRow("a day for Harbour")
            << KeepRule{1, 0} << KeepRule{} << QStringList{"H0.5", "H2", "L1.5", "L40"} << 0;
        QTest::newRow("1 MB for Harbour")
            << KeepRule{0, 0.001} << KeepRule{} << QStringList{"H0.5", "H2", "L1.5", "L40"} << 0;
        QTest::newRow("a young picture stays")
            << KeepRule{0, 0.0001} << KeepRule{} << QStringList{"H0.5", "L1.5", "L40"} << 0;
        QTest::newRow("1.2 MB over all")
            << KeepRule{} << KeepRule{0, 0.0013} << QStringList{"H0.5", "H2", "L1.5"} << 0;
        QTest::newRow("a clock 400 days ahead removes nothing by age")
            << KeepRule{30, 0} << KeepRule{1, 0}
            << QStringList{"H0.5", "H2", "H30", "H50", "L1.5", "L40"} << 400;
        QTest::newRow("sizes still count with the clock ahead")
            << KeepRule{30, 0.0001} << KeepRule{} << QStringList{"H0.5", "L1.5", "L40"} << 400;
    }
    void theRulesRemoveOnlyOldSavedPictures() {
        QFETCH(KeepRule, harbourRule);
        QFETCH(KeepRule, overall);
        QFETCH(QStringList, left);
        QFETCH(int, clockAhead);
        Sandbox box;
        const QString folder = box.path("cam");
        QDir().mkpath(folder);
        const QDateTime now(QDate(2026, 12, 8), QTime(12, 0));
        const auto save = [&](const char* cam, double hoursOld, const QString& tag) {
            const QDateTime taken = now.addSecs(qint64(-hoursOld * 3600));
            const QDate d = taken.date();
            const QTime t = taken.time();
            const QString name = QString::fromStdString(TimedSaveFileName(
                cam, {d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second()}));
            QFile file(folder + "/" + name);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(409600, 'x'));
            // written when it was taken, whatever today's clock says
            QVERIFY(file.setFileTime(taken, QFileDevice::FileModificationTime));
            m_tags[name] = tag;
        };
        m_tags.clear();
        for (double hours : {50.0, 30.0, 2.0, 0.5})
            save("Harbour", hours, "H" + QString::number(hours));
        for (double hours : {40.0, 1.5})
            save("Hill", hours, "L" + QString::number(hours));
        // not the program's: another program's file, a cam no longer listed, a damaged name,
        // a zero-padded number, an old name form a cam "Harbour1" could have written, and a
        // link to a large young file elsewhere
        const QStringList others{"notes.txt",
                                 "Gone~2026-12-01_10-00-00.jpg",
                                 "Harbour~2026-12-0x_10-00-00.jpg",
                                 "Harbour~2026-12-01_10-00-00_0002.jpg",
                                 "Harbour11272026102437AM.jpg",
                                 "Hill~2026-12-01_10-00-00.jpg"};
        for (const QString& other : others.mid(0, 5))
            QFile(folder + "/" + other).open(QIODevice::WriteOnly);
        QFile elsewhere(box.path("large"));
        QVERIFY(elsewhere.open(QIODevice::WriteOnly) && elsewhere.resize(qint64(1) << 30));
        QVERIFY(QFile::link(elsewhere.fileName(), folder + "/" + others.last()));

        const RemovalResult result =
            KeepWithinRules(folder, {{"Harbour", {}}, {"Hill", {}}}, {{"Harbour", harbourRule}},
                            overall, now.addDays(clockAhead));
        QStringList found;
        for (const QString& name : QDir(folder).entryList(QDir::Files))
            found << m_tags.value(name, name);
        found.sort();
        QStringList expected = left + others;
        expected.sort();
        QCOMPARE(found, expected);
        QCOMPARE(result.clockAhead, clockAhead > 0);
        QCOMPARE(result.removed, 6 - int(left.size()));
        QCOMPARE(result.bytes, qint64(result.removed) * 409600);
    }

    // Pictures told of one by one go in their place by time, a day at a time; another cam's, a
    // damaged name and one told twice do not.
    void aHistoryKeepsItsPicturesInOrder() {
        CamHistory history({"Quay 1/2", {}}, {});
        const QStringList told{
            "Quay 1%2F2~2026-12-08_07-00-00.jpg",   "Quay 1%2F2~2026-12-07_23-59-59.jpg",
            "Quay 1%2F2~2026-12-08_07-00-00_2.jpg", "Quay 1%2F2~2026-12-08_06-59-59.jpg",
            "Quay 1%2F2~2026-12-08_07-00-00.jpg", // again
            "Quay 1~2026-12-08_08-00-00.jpg",     // another cam's
            "Quay 1%2F2~2026-02-30_08-00-00.jpg", // no such day
            "Quay 1%2F2~2026-12-09_00-00-00.jpg"};
        QList<bool> taken;
        for (const QString& name : told)
            taken << history.add("/cam/" + name);
        QCOMPARE(taken, QList<bool>({true, true, true, true, false, false, false, true}));
        QStringList order;
        for (size_t i = 0; i < history.size(); ++i)
            order << history.at(i).path.section('~', 1);
        QCOMPARE(order, QStringList({"2026-12-07_23-59-59.jpg", "2026-12-08_06-59-59.jpg",
                                     "2026-12-08_07-00-00.jpg", "2026-12-08_07-00-00_2.jpg",
                                     "2026-12-09_00-00-00.jpg"}));
        QCOMPARE(history.days().size(), size_t(3));
        QCOMPARE(history.dayRange(QDate(2026, 12, 8)), std::make_pair(size_t(1), size_t(4)));
        QCOMPARE(history.dayRange(QDate(2026, 12, 10)), std::make_pair(size_t(5), size_t(5)));
    }

    // Files gone, empty, not pictures, far too large, a device or a FIFO are said to be
    // unreadable (never waited for), one after
    // the other, and the good picture among them still comes.
    void picturesAheadSayWhatCannotBeRead() {
        Sandbox box;
        QImage picture(40, 30, QImage::Format_RGB32);
        picture.fill(Qt::red);
        QVERIFY(picture.save(box.path("good.jpg"), "JPEG"));
        box.writeFile("empty.jpg", "");
        box.writeFile("page.jpg", "<html>not found</html>");
        QFile large(box.path("large.jpg"));
        QVERIFY(large.open(QIODevice::WriteOnly) && large.resize(qint64(65) << 20));
        QVERIFY(QFile::link("/dev/zero", box.path("zero.jpg")));
        QCOMPARE(::mkfifo(QFile::encodeName(box.path("fifo.jpg")).constData(), 0600), 0);
        const QStringList paths{box.path("gone.jpg"),  box.path("empty.jpg"), box.path("page.jpg"),
                                box.path("large.jpg"), box.path("zero.jpg"),  box.path("fifo.jpg"),
                                box.path("good.jpg")};
        PicturesAhead ahead;
        QStringList unreadable;
        QObject::connect(&ahead, &PicturesAhead::decoded,
                         [&](const QString& path, const QImage& decoded) {
                             if (decoded.isNull())
                                 unreadable << path;
                         });
        ahead.want(paths);
        QTRY_VERIFY(!ahead.ready(box.path("good.jpg")).isNull());
        QCOMPARE(unreadable, paths.mid(0, 6));
        QCOMPARE(ahead.ready(box.path("good.jpg")).size(), QSize(40, 30));
    }

    // Huge pictures are decoded no larger than the screen shows them, and those kept stay
    // within the bound of bytes: three 8192 x 4096 pictures decoded whole keep only the last.
    void picturesAheadStayWithinTheirBound() {
        Sandbox box;
        QImage huge(8192, 4096, QImage::Format_RGB32);
        huge.fill(Qt::darkGreen);
        QStringList paths;
        for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) {
            QVERIFY(huge.save(box.path(name), "JPEG"));
            paths << box.path(name);
        }
        PicturesAhead onScreen(QSize(1920, 1080));
        onScreen.want({paths[0]});
        QTRY_VERIFY(!onScreen.ready(paths[0]).isNull());
        QCOMPARE(onScreen.ready(paths[0]).size(), QSize(3072, 1536)); // 3/8 covers 1080
        PicturesAhead whole;
        whole.want(paths);
        QTRY_VERIFY_WITH_TIMEOUT(!whole.ready(paths[2]).isNull(), 20000);
        QVERIFY(whole.ready(paths[0]).isNull() && whole.ready(paths[1]).isNull());
    }

    // The keeper weighs the rules on a thread of its own and says what went.
    void theKeeperRemovesOffTheWindowsThread() {
        Sandbox box;
        const QString folder = box.path("cam");
        QDir().mkpath(folder);
        // three 40 days old, and one of two hours ago: the clock agrees with the pictures
        const QDateTime now = QDateTime::currentDateTime();
        for (int i = 0; i < 4; ++i) {
            const QDateTime taken = i < 3 ? now.addDays(-40).addSecs(i) : now.addSecs(-7200);
            const QDate d = taken.date();
            const QTime t = taken.time();
            QFile file(
                folder + "/" +
                QString::fromStdString(TimedSaveFileName(
                    "Hill", {d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second()})));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("x");
            file.flush(); // before the time is set, which the write would change again
            QVERIFY(file.setFileTime(taken, QFileDevice::FileModificationTime));
        }
        ScriptedPrompter prompter;
        SettingsStore store("Tarvique Software", "Tarvique Webcams", prompter);
        CamSettings settings(store, "Tarvique Webcams", "Tarvique Webcams tests");
        PictureKeeper keeper(settings, folder, [] { return std::vector<CamNames>{{"Hill", {}}}; });
        keeper.setCamRule("Hill", {30, 0});
        QSignalSpy removed(&keeper, &PictureKeeper::picturesRemoved);
        QSignalSpy said(&keeper, &PictureKeeper::statusText);
        keeper.keepWithinRules();
        QTRY_COMPARE(removed.count(), 1);
        QVERIFY(said.last().at(0).toString().contains("3 old pictures were removed"));
        QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 1);
    }

  private:
    QHash<QString, QString> m_tags;
};

WEBCAMS_TEST(HistoryTest)
#include "test_history.moc"
