// Cam lists passed between users: exported in the list's own format, imported by name, with
// every kind of foreign or broken file refused or counted and the list changed at most once.
#include "camlist/camlistexchange.h"
#include "camlist/camlistfile.h"
#include "camlist/camlistmodel.h"
#include "camlist/camlisttext.h"
#include "listpane/exportcamsdialog.h"
#include "listpane/listexchange.h"

#include "camlistbytes.h"
#include "sandbox.h"
#include "scriptedfilechooser.h"
#include "scriptedprompter.h"
#include "testmain.h"

#include <QListWidget>
#include <QTest>

namespace {

const QByteArray threeCams = camList({{"Harbour", "http://h/a.jpg", "30"},
                                      {"Hill", "https://h:8443/b.jpg", "5"},
                                      {"Caf\xe9", "http://h/c.jpg", "1200"}}); // Latin-1 bytes

std::string text(const QByteArray& bytes) {
    return bytes.toStdString();
}

} // namespace

class CamListExchangeTest : public QObject {
    Q_OBJECT
  private slots:
    void aListGoesOutAndComesBackByteForByte() {
        Sandbox box;
        box.writeFile("00camlist.txt", threeCams);
        QVERIFY(ExportCamListFile(box.fsPath("00camlist.txt"), {}, box.fsPath("out.txt")).ok);
        QCOMPARE(box.readFile("out.txt"), threeCams);

        Sandbox other;
        QVERIFY(createCamList(other.fsPath("00camlist.txt")).ok);
        const CamListImportReport report =
            ImportCamListFile(other.fsPath("00camlist.txt"), box.fsPath("out.txt"));
        QVERIFY(report.result.ok);
        QCOMPARE(report.added, 3);
        QCOMPARE(other.readFile("00camlist.txt"), threeCams);

        // chosen cams keep the list's order, whatever order they were chosen in
        QCOMPARE(ExportedCamList(text(threeCams), {"Caf\xe9", "Harbour"}),
                 text(camList({{"Harbour", "http://h/a.jpg", "30"},
                               {"Caf\xe9", "http://h/c.jpg", "1200"}})));
        // a list with gaps where cams were removed exports without them
        const std::string gappy = camlisttext::withoutRecord(text(threeCams), "Hill");
        QCOMPARE(ExportedCamList(gappy, {}),
                 text(camList({{"Harbour", "http://h/a.jpg", "30"},
                               {"Caf\xe9", "http://h/c.jpg", "1200"}})));
    }

    void foreignLineEndsAndBrokenRecords() {
        const std::string list = text(camList({{"Harbour", "http://h/a.jpg", "30"}}));
        // LF-only lines, a byte-order mark, CR-only lines
        CamListImport import = MergeCamList(
            list,
            "\xEF\xBB\xBF\n[name]North\nhttp://n/n.jpg\n10\n\n[name]South\rhttp://s/s.jpg\r7\r");
        QCOMPARE(import.addedNames, (std::vector<std::string>{"North", "South"}));
        QCOMPARE(import.merged, list + text(camList({{"North", "http://n/n.jpg", "10"},
                                                     {"South", "http://s/s.jpg", "7"}}))
                                           .substr(2));
        // names that collide with the list and with each other
        import = MergeCamList(list, "[name]Harbour\nhttp://x\n5\n[name]New\nhttp://x\n5\n"
                                    "[name]New\nhttp://y\n6\n");
        QCOMPARE(import.addedNames, std::vector<std::string>{"New"});
        QCOMPARE(import.duplicates, 2);
        // a record cut short in the middle and at the end, empty fields, a tab, a refresh that
        // is no number
        // and fields that would break the list's lines or are too long for a cam
        import = MergeCamList(
            list, "[name]Cut\r\nhttp://c\r\n[name]Good\r\nhttp://g\r\n9\r\n"
                  "[name]\r\nhttp://e\r\n9\r\n[name]Tab\tbed\r\nhttp://t\r\n9\r\n"
                  "[name]Slow\r\nhttp://s\r\nsoon\r\n[name]A[NAME]B\r\nhttp://a\r\n9\r\n"
                  "[name]U\r\nhttp://u/[name]\r\n9\r\n[name]" +
                      std::string(257, 'n') + "\r\nhttp://n\r\n9\r\n[name]Long\r\nhttp://" +
                      std::string(3000, 'a') + "\r\n9\r\n[name]End\r\nhttp://e\r\n");
        QCOMPARE(import.addedNames, std::vector<std::string>{"Good"});
        QCOMPARE(import.malformed, 9);

        // an empty list file takes the records after its first empty line
        QCOMPARE(MergeCamList("", "[name]A\nhttp://a\n1\n").merged,
                 text(camList({{"A", "http://a", "1"}})));
    }

    void filesThatAreNoCamListChangeNothing() {
        Sandbox box;
        box.writeFile("00camlist.txt", threeCams);
        const auto list = box.fsPath("00camlist.txt");
        // UTF-16, a picture, a text without a record, a file that is not there
        box.writeFile("utf16.txt", QByteArray("\xFF\xFE[\0n\0a\0m\0e\0]\0A\0\r\0\n\0", 20));
        box.writeFile("picture.jpg", QByteArray("\xFF\xD8\xFF\xE0\0\x10JFIF\0", 11));
        box.writeFile("notes.txt", "some notes\r\nno cams here\r\n");
        for (const char* file : {"utf16.txt", "picture.jpg", "notes.txt", "missing.txt"}) {
            const CamListImportReport report = ImportCamListFile(list, box.fsPath(file));
            QVERIFY2(!report.result.ok, qPrintable(file));
            QVERIFY(!report.result.error.empty());
            QCOMPARE(report.added, 0);
            QCOMPARE(box.readFile("00camlist.txt"), threeCams);
        }
        // a list that cannot be rewritten
        box.writeFile("new.txt", camList({{"New", "http://n", "3"}}));
        {
            ReadOnlyFolder locked(box.programFolder());
            const CamListImportReport report = ImportCamListFile(list, box.fsPath("new.txt"));
            QVERIFY(!report.result.ok);
            QCOMPARE(report.added, 0);
        }
        QCOMPARE(box.readFile("00camlist.txt"), threeCams);
    }

    void tenThousandCamsInOneRewrite() {
        QByteArray many = "\r\n";
        for (int i = 0; i < 10000; ++i)
            many += "[name]cam" + QByteArray::number(i) + "\r\nhttp://cams.example/" +
                    QByteArray::number(i) + ".jpg\r\n30\r\n\r\n";
        const CamListImport import = MergeCamList(text(threeCams), text(many));
        QCOMPARE(import.addedNames.size(), size_t(10000));
        QCOMPARE(camlisttext::listNames(import.merged).size(), size_t(10003));
        // a list the program could no longer read is refused
        const std::string nearlyFull(camListMaxBytes - 10, ' ');
        QVERIFY(MergeCamList(nearlyFull, "[name]A\nhttp://a\n1\n").tooLarge);
        // and again: all of them are there already
        QCOMPARE(MergeCamList(import.merged, text(many)).duplicates, 10000);
    }

    void theMenuCommandsSayWhatHappened() {
        Sandbox box;
        box.writeFile("00camlist.txt", threeCams);
        box.writeFile("in.txt", "[name]Harbour\nhttp://x\n1\n[name]North\nhttp://n\n2\n"
                                "[name]Broken\nhttp://b\n");
        QWidget window;
        ScriptedPrompter prompter;
        ScriptedFileChooser files;
        CamListModel model(box.fsPath("00camlist.txt"));
        model.load(false);
        ListExchange exchange(&window, model, prompter, files);
        int changes = 0;
        connect(&exchange, &ListExchange::listChanged, this, [&] { ++changes; });

        files.answers = {box.path("in.txt")};
        exchange.importList();
        QCOMPARE(changes, 1);
        QCOMPARE(prompter.asked.size(), 1);
        QCOMPARE(prompter.asked[0].text,
                 QString("1 cam was added. 1 cam was already in the list. 1 cam was left out "
                         "because the record is incomplete or holds something a cam cannot "
                         "have."));
        exchange.importList(); // cancelled in the file dialog: nothing
        QCOMPARE(prompter.asked.size(), 1);

        exchange.exportList();
        ExportCamsDialog* dialog = exchange.exportDialog();
        QVERIFY(dialog);
        QCOMPARE(dialog->camsList()->count(), 4);
        dialog->camsList()->item(1)->setCheckState(Qt::Unchecked); // not Hill
        files.answers = {box.path("out.txt")};
        dialog->accept();
        QCOMPARE(box.readFile("out.txt"), camList({{"Harbour", "http://h/a.jpg", "30"},
                                                   {"Caf\xe9", "http://h/c.jpg", "1200"},
                                                   {"North", "http://n", "2"}}));
        QVERIFY(prompter.asked.last().text.startsWith("3 cams were written to"));
    }
};

WEBCAMS_TEST(CamListExchangeTest)

#include "test_exchange.moc"
