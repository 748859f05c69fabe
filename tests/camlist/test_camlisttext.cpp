#include "camlist/camlisttext.h"

#include "testmain.h"

#include <QTest>

using namespace std::string_literals;
using Lines = std::vector<std::string>;

class CamListTextTest : public QObject {
    Q_OBJECT
  private slots:
    void linesEndAtCarriageReturns() {
        QCOMPARE(camlisttext::splitLines(""), Lines{});
        QCOMPARE(camlisttext::splitLines("\r\n"), Lines{""});
        QCOMPARE(camlisttext::splitLines("a\r\nb"), (Lines{"a", "b"}));
        QCOMPARE(camlisttext::splitLines("a\r\nb\r\n"), (Lines{"a", "b"}));
        QCOMPARE(camlisttext::splitLines("a\rb\r\r\n"), (Lines{"a", "b", ""}));
        // a line feed ends a line too, and a CR after it ends the next one
        QCOMPARE(camlisttext::splitLines("a\nb\nc\n"), (Lines{"a", "b", "c"}));
        QCOMPARE(camlisttext::splitLines("a\n\r\n"), (Lines{"a", ""}));
    }

    void listShowsNameLinesWithMarkerCutOut() {
        const std::string file = "\r\n[name]Harbour\r\nhttp://h/1.jpg\r\n30\r\n\r\n"
                                 "[NAME]Upper\r\nu\r\n5\r\n\r\n"
                                 "xx[name]yy\r\n"
                                 "[name]a[Name]b\r\n"
                                 "[name]  Blanks  \r\n"
                                 "no marker here\r\n[nam e]x\r\n";
        QCOMPARE(camlisttext::listNames(file),
                 (Lines{"Harbour", "Upper", "xxyy", "ab", "  Blanks  "}));
    }

    void listKeepsFileOrderAndDuplicates() {
        const std::string file =
            "[name]b\r\n1\r\n1\r\n\r\n[name]a\r\n2\r\n2\r\n\r\n[name]b\r\n3\r\n3\r\n";
        QCOMPARE(camlisttext::listNames(file), (Lines{"b", "a", "b"}));
    }

    // CR LF, LF and a lone CR end lines alike; the program writes CR LF after what was there.
    void everyLineEndReadsAlike_data() {
        QTest::addColumn<QByteArray>("end");
        QTest::newRow("CR LF") << QByteArray("\r\n");
        QTest::newRow("LF") << QByteArray("\n");
        QTest::newRow("CR") << QByteArray("\r");
    }
    void everyLineEndReadsAlike() {
        QFETCH(QByteArray, end);
        const std::string list =
            QByteArray("|[name]Harbour|u|30||[name]Hill|h|5").replace("|", end).toStdString();
        const std::string added = camlisttext::withRecordAppended(list, {"Quay", "q", "60"});
        QCOMPARE(added, list + "\r\n[name]Quay\r\nq\r\n60\r\n\r\n");
        QCOMPARE(camlisttext::listNames(added), (Lines{"Harbour", "Hill", "Quay"}));
        QCOMPARE(camlisttext::withoutRecord(added, "Harbour"),
                 "\r\n\r\n\r\n\r\n[name]Hill\r\nh\r\n5\r\n[name]Quay\r\nq\r\n60\r\n\r\n\r\n"s);
        // an edit keeps the record's place, and every other byte
        QCOMPARE(camlisttext::withRecordReplaced(added, "Hill", {"Hilltop", "t", "9"}),
                 QByteArray("|[name]Harbour|u|30||").replace("|", end).toStdString() +
                     "[name]Hilltop\r\nt\r\n9\r\n[name]Quay\r\nq\r\n60\r\n\r\n");
    }

    void binaryBytesAndNulsSurvive() {
        const std::string name = "caf\xe9\x00\xff"s;
        const std::string file = "\r\n[name]"s + name + "\r\nhttp://x/\x01\r\n9\r\n\r\n";
        QCOMPARE(camlisttext::listNames(file), Lines{name});
        auto found = camlisttext::findRecord(file, name);
        QVERIFY(found);
        QCOMPARE(found->url, "http://x/\x01"s);
        QCOMPARE(camlisttext::withoutRecord(file, name), "\r\n\r\n\r\n\r\n\r\n"s);
    }

    void lookupNeedsTheExactNameLine() {
        const std::string file = "[NAME]Upper\r\nu\r\n5\r\n"
                                 "x[name]Before\r\nb\r\n5\r\n"
                                 "[name]Cam \r\nblank\r\n1\r\n"
                                 "[name]Cam\r\nfirst\r\n10\r\n"
                                 "[name]Cam\r\nsecond\r\n20\r\n";
        QVERIFY(!camlisttext::findRecord(file, "Upper"));
        QVERIFY(!camlisttext::findRecord(file, "Before"));
        QVERIFY(!camlisttext::findRecord(file, "cam"));
        QVERIFY(!camlisttext::findRecord(file, ""));
        auto found = camlisttext::findRecord(file, "Cam");
        QVERIFY(found);
        QCOMPARE(found->url, "first"s);
        QCOMPARE(found->refresh, "10"s);
        QCOMPARE(camlisttext::findRecord(file, "Cam ")->url, "blank"s);
    }

    void nameLineAmongTheLastTwoLinesIsNoRecord() {
        QVERIFY(!camlisttext::findRecord("[name]Cam\r\nurl", "Cam"));
        QVERIFY(!camlisttext::findRecord("[name]Cam", "Cam"));
        // and deleting it changes no line
        QCOMPARE(camlisttext::withoutRecord("x\r\n[name]Cam\r\nurl\r\n", "Cam"),
                 "x\r\n[name]Cam\r\nurl\r\n\r\n"s);
        QVERIFY(camlisttext::findRecord("[name]Cam\r\nurl\r\n", "Cam") == std::nullopt);
        QVERIFY(camlisttext::findRecord("[name]Cam\r\nurl\r\n\r\n", "Cam"));
    }

    void recordIsThreeLinesAndAnEmptyOne() {
        QCOMPARE(camlisttext::recordText({" A ", "http://h/p q.jpg", "3x"}),
                 "[name] A \r\nhttp://h/p q.jpg\r\n3x\r\n\r\n"s);
    }

    void deleteLeavesTwoEmptyLinesAndOneMoreAtTheEnd() {
        const std::string file = "\r\n[name]One\r\nu1\r\n1\r\n\r\n"
                                 "[name]Cam\r\nu\r\n30\r\n\r\n"
                                 "[name]Cam2\r\nu\r\n30\r\n\r\n"
                                 "[name]Three\r\nu\r\n30\r\n\r\n";
        const std::string expected = "\r\n[name]One\r\nu1\r\n1\r\n\r\n"
                                     "\r\n\r\n\r\n"
                                     "[name]Cam2\r\nu\r\n30\r\n\r\n"
                                     "[name]Three\r\nu\r\n30\r\n\r\n"
                                     "\r\n";
        QCOMPARE(camlisttext::withoutRecord(file, "Cam"), expected);
        QCOMPARE(camlisttext::listNames(expected), (Lines{"One", "Cam2", "Three"}));
    }

    void deleteTakesTheFirstOfTwoAlikeAndEndsEveryLine() {
        const std::string file = "[name]D\r\n1\r\n1\r\n[name]D\r\n2\r\n2";
        QCOMPARE(camlisttext::withoutRecord(file, "D"), "\r\n\r\n[name]D\r\n2\r\n2\r\n\r\n"s);
    }

    void deleteOfAnUnknownNameOnlyAddsALineEnd() {
        QCOMPARE(camlisttext::withoutRecord("\r\n[name]A\r\nu\r\n1\r\n\r\n", "B"),
                 "\r\n[name]A\r\nu\r\n1\r\n\r\n\r\n"s);
        QCOMPARE(camlisttext::withoutRecord("", "B"), "\r\n"s);
    }
};

WEBCAMS_TEST(CamListTextTest)

#include "test_camlisttext.moc"
