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

Q_DECLARE_METATYPE(KeepRule)

class HistoryTest : public QObject {
    Q_OBJECT
  private slots:
    void theRulesRemoveOnlyOldSavedPictures_data() {
        QTest::addColumn<KeepRule>("harbourRule");
        QTest::addColumn<KeepRule>("overall");
        QTest::addColumn<QStringList>("left"); // the pictures' hours of age, sorted by name
        // Harbour: 50, 30, 2 and 0.5 hours old, 400 KB each; Hill: 40 and 1.5 hours, 400 KB.
        QTest::newRow("no rule") << KeepRule{} << KeepRule{}
                                 << QStringList{"H0.5", "H2", "H30", "H50", "L1.5", "L40"};
        QTest::newRow("a day for Harbour")
            << KeepRule{1, 0} << KeepRule{} << QStringList{"H0.5", "H2", "L1.5", "L40"};
        QTest::newRow("1 MB for Harbour")
            << KeepRule{0, 0.001} << KeepRule{} << QStringList{"H0.5", "H2", "L1.5", "L40"};
        QTest::newRow("a young picture stays")
            << KeepRule{0, 0.0001} << KeepRule{} << QStringList{"H0.5", "L1.5", "L40"};
        QTest::newRow("1.2 MB over all")
            << KeepRule{} << KeepRule{0, 0.0013} << QStringList{"H0.5", "H2", "L1.5"};
    }
    void theRulesRemoveOnlyOldSavedPictures() {
        QFETCH(KeepRule, harbourRule);
        QFETCH(KeepRule, overall);
        QFETCH(QStringList, left);
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
        // not the program's: another program's file, a cam no longer listed, a damaged name
        for (const char* other :
             {"notes.txt", "Gone~2026-12-01_10-00-00.jpg", "Harbour~2026-12-0x_10-00-00.jpg"})
            QFile(folder + "/" + other).open(QIODevice::WriteOnly);

        const RemovalResult result = KeepWithinRules(folder, {{"Harbour", {}}, {"Hill", {}}},
                                                     {{"Harbour", harbourRule}}, overall, now);
        QStringList found;
        for (const QString& name : QDir(folder).entryList(QDir::Files))
            found << m_tags.value(name, name);
        found.sort();
        QStringList expected = left + QStringList{"Gone~2026-12-01_10-00-00.jpg",
                                                  "Harbour~2026-12-0x_10-00-00.jpg", "notes.txt"};
        expected.sort();
        QCOMPARE(found, expected);
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

    // Files gone, empty, not pictures or far too large are said to be unreadable, one after
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
        const QStringList paths{box.path("gone.jpg"), box.path("empty.jpg"), box.path("page.jpg"),
                                box.path("large.jpg"), box.path("good.jpg")};
        PicturesAhead ahead;
        QStringList unreadable;
        QObject::connect(&ahead, &PicturesAhead::decoded,
                         [&](const QString& path, const QImage& decoded) {
                             if (decoded.isNull())
                                 unreadable << path;
                         });
        ahead.want(paths);
        QTRY_VERIFY(!ahead.ready(box.path("good.jpg")).isNull());
        QCOMPARE(unreadable, paths.mid(0, 4));
        QCOMPARE(ahead.ready(box.path("good.jpg")).size(), QSize(40, 30));
    }

  private:
    QHash<QString, QString> m_tags;

    // The keeper weighs the rules on a thread of its own and says what went.
    void theKeeperRemovesOffTheWindowsThread() {
        Sandbox box;
        const QString folder = box.path("cam");
        QDir().mkpath(folder);
        const QDateTime old = QDateTime::currentDateTime().addDays(-40);
        for (int i = 0; i < 3; ++i) {
            const QDateTime taken = old.addSecs(i);
            const QDate d = taken.date();
            const QTime t = taken.time();
            QFile file(folder + "/" +
                       QString::fromStdString(TimedSaveFileName(
                           "Hill", {d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second()})));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("x");
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
        QVERIFY(QDir(folder).isEmpty());
    }
};

WEBCAMS_TEST(HistoryTest)
#include "test_history.moc"
