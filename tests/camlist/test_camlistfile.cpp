#include "camlist/camlistfile.h"
#include "camlist/camlistmodel.h"
#include "common/fileexists.h"
#include "sandbox.h"

#include "testmain.h"
#include <QDir>
#include <QFile>

#include <QTest>
#include <sys/stat.h>

using namespace std::string_literals;

class CamListFileTest : public QObject {
    Q_OBJECT
  private slots:
    void missingFileReadsAsEmptyAndFindsNothing() {
        Sandbox box;
        const auto file = box.fsPath(camListFileName);
        const ReadResult read = readCamList(file);
        QVERIFY(read.ok);
        QVERIFY(read.missing);
        CamRecord target{"kept", "kept", "kept"};
        QVERIFY(!FindCamRecord(file, "Cam", target));
        QCOMPARE(target.url, "kept"s);
        QVERIFY(!box.exists(camListFileName));
    }

    void createWritesOneLineEnd() {
        Sandbox box;
        QVERIFY(createCamList(box.fsPath(camListFileName)).ok);
        QCOMPARE(box.readFile(camListFileName), QByteArray("\r\n"));
    }

    void appendAndDeleteRewriteByteForByte() {
        Sandbox box;
        const auto file = box.fsPath(camListFileName);
        QVERIFY(createCamList(file).ok);
        QVERIFY(AppendCamRecord(file, {"Harbour", "http://h/a.jpg", "30"}).ok);
        QVERIFY(AppendCamRecord(file, {"Hill", "h2/b.jpg", "5"}).ok);
        QCOMPARE(box.readFile(camListFileName),
                 QByteArray("\r\n[name]Harbour\r\nhttp://h/a.jpg\r\n30\r\n\r\n"
                            "[name]Hill\r\nh2/b.jpg\r\n5\r\n\r\n"));
        CamRecord found;
        QVERIFY(FindCamRecord(file, "Hill", found));
        QCOMPARE(found.url, "h2/b.jpg"s);

        QVERIFY(DeleteCamRecord(file, "Harbour").ok);
        QCOMPARE(box.readFile(camListFileName),
                 QByteArray("\r\n\r\n\r\n\r\n[name]Hill\r\nh2/b.jpg\r\n5\r\n\r\n\r\n"));
        // no leftover temporary file beside the list
        QCOMPARE(QDir(box.programFolder()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }

    void appendToAMissingFileCreatesIt() {
        Sandbox box;
        QVERIFY(AppendCamRecord(box.fsPath(camListFileName), {"A", "u", "1"}).ok);
        QCOMPARE(box.readFile(camListFileName), QByteArray("[name]A\r\nu\r\n1\r\n\r\n"));
    }

    void deleteWithAnEmptyNameDoesNotTouchTheFile() {
        Sandbox box;
        box.writeFile(camListFileName, "[name]A\r\nu\r\n1");
        QVERIFY(DeleteCamRecord(box.fsPath(camListFileName), "").ok);
        QCOMPARE(box.readFile(camListFileName), QByteArray("[name]A\r\nu\r\n1"));
    }

    void rewriteKeepsTheFileMode() {
        Sandbox box;
        box.writeFile(camListFileName, "[name]A\r\nu\r\n1\r\n");
        const QByteArray path = QFile::encodeName(box.path(camListFileName));
        ::chmod(path.constData(), 0640);
        QVERIFY(DeleteCamRecord(box.fsPath(camListFileName), "A").ok);
        struct stat info {};
        QCOMPARE(::stat(path.constData(), &info), 0);
        QCOMPARE(int(info.st_mode & 0777), 0640);
    }

    void readOnlyFolderReportsAndKeepsTheList() {
        Sandbox box;
        const QByteArray before = "\r\n[name]A\r\nu\r\n1\r\n\r\n";
        box.writeFile(camListFileName, before);
        ReadOnlyFolder readOnly(box.programFolder());
        const FileResult appended = AppendCamRecord(box.fsPath(camListFileName), {"B", "v", "2"});
        QVERIFY(!appended.ok);
        QVERIFY(!appended.error.empty());
        const FileResult deleted = DeleteCamRecord(box.fsPath(camListFileName), "A");
        QVERIFY(!deleted.ok);
        QCOMPARE(box.readFile(camListFileName), before);
        CamRecord found;
        QVERIFY(FindCamRecord(box.fsPath(camListFileName), "A", found));
    }

    void camListThatIsAFolderIsAnErrorNotACrash() {
        Sandbox box;
        QDir().mkpath(box.path(camListFileName));
        QVERIFY(!FileExists(box.path(camListFileName).toStdString()));
        QVERIFY(!readCamList(box.fsPath(camListFileName)).ok);
        QVERIFY(!createCamList(box.fsPath(camListFileName)).ok);
        QVERIFY(!AppendCamRecord(box.fsPath(camListFileName), {"A", "u", "1"}).ok);
        QVERIFY(!DeleteCamRecord(box.fsPath(camListFileName), "A").ok);
        CamRecord found;
        QVERIFY(!FindCamRecord(box.fsPath(camListFileName), "A", found));
        QVERIFY(QFileInfo(box.path(camListFileName)).isDir());
    }

    void largeFileIsReadWhole() {
        Sandbox box;
        std::string text;
        int records = 0;
        while (text.size() < 10u * 1024u * 1024u) {
            text += "[name]cam" + std::to_string(records) + "\r\nhttp://h/p.jpg\r\n30\r\n\r\n";
            ++records;
        }
        box.writeFile(camListFileName, QByteArray::fromStdString(text));
        const auto file = box.fsPath(camListFileName);
        CamRecord found;
        QVERIFY(FindCamRecord(file, "cam" + std::to_string(records - 1), found));
        QVERIFY(DeleteCamRecord(file, "cam0").ok);
        // the record's three texts go, its three line ends become two, and one more closes the file
        const qsizetype removed = qsizetype(std::string("[name]cam0http://h/p.jpg30").size());
        QCOMPARE(box.readFile(camListFileName).size(), qsizetype(text.size()) - removed);
    }

    void fileExistsWantsAPlainVisibleFile() {
        Sandbox box;
        box.writeFile("Help.rtf", "x");
        box.writeFile(".hidden", "x");
        QVERIFY(FileExists(box.path("Help.rtf").toStdString()));
        QVERIFY(!FileExists(box.path("help.rtf").toStdString()));
        QVERIFY(!FileExists(box.path(".hidden").toStdString()));
        QVERIFY(!FileExists(box.programFolder().toStdString()));
        QVERIFY(!FileExists(""));
        QCOMPARE(FileNamePart("/a/b/c.txt"), "c.txt"s);
        QCOMPARE(FileNamePart("c.txt"), "c.txt"s);
        QCOMPARE(FileNamePart("/a/"), ""s);
        QCOMPARE(FileNamePart(""), ""s);
    }

    void theModelWritesTheFilesBytesAndKeepsAnotherProgramsChange() {
        Sandbox box;
        const auto file = box.fsPath(camListFileName);
        box.writeFile(camListFileName, "\r\n[name]A\r\nu\r\n1\r\n\r\n");
        CamListModel model(file);
        QVERIFY(model.load(false).ok);
        // another program adds a cam meanwhile: it is looked up, and kept by the next change
        const QByteArray edited = "\r\n[name]A\r\nu\r\n1\r\n\r\n[name]B\r\nv\r\n2\r\n\r\n";
        box.writeFile(camListFileName, edited);
        QVERIFY(model.find("B"));
        QVERIFY(model.replace("A", {"C", "w", "3"}).ok);
        box.writeFile("expected.txt", edited);
        QVERIFY(ReplaceCamRecord(box.fsPath("expected.txt"), "A", {"C", "w", "3"}).ok);
        QCOMPARE(box.readFile(camListFileName), box.readFile("expected.txt"));
        // a change that cannot be written is not made in memory either
        {
            ReadOnlyFolder readOnly(box.programFolder());
            QVERIFY(!model.append({"D", "x", "4"}).ok);
        }
        QVERIFY(!model.find("D"));
        QCOMPARE(model.names(), (std::vector<std::string>{"C", "B"})); // an edit keeps its place
        // a list that cannot be read is never written over
        const QByteArray kept = box.readFile(camListFileName);
        {
            PermissionsEnforced enforced;
            ::chmod(file.c_str(), 0);
            CamListModel unreadable(file);
            QVERIFY(!unreadable.load(false).ok);
            QVERIFY(!unreadable.append({"E", "y", "5"}).ok);
            ::chmod(file.c_str(), 0644);
        }
        QCOMPARE(box.readFile(camListFileName), kept);
    }
};

WEBCAMS_TEST(CamListFileTest)

#include "test_camlistfile.moc"
