#include "net/daytime.h"
#include "net/judgement.h"

#include "testmain.h"

#include <QTest>

using namespace std::string_literals;

class JudgementTest : public QObject {
    Q_OBJECT
  private slots:
    void imageTestLooksAnywhereInAnyCase() {
        QVERIFY(IsImageResponse("HTTP/1.1 200 OK\r\nContent-Type: image/jpeg"));
        QVERIFY(IsImageResponse("HTTP/1.1 404 Not Found\r\nX-Note: IMAGE/missing"));
        QVERIFY(!IsImageResponse("HTTP/1.1 404 Not Found\r\nContent-Type: text/html"));
        QVERIFY(!IsImageResponse(""));
    }

    void lastModifiedLineIsCutOutWhole() {
        const std::string headers = "HTTP/1.1 200 OK\r\nlast-modified: Tue, 05 Dec 2006 10:00:00 "
                                    "GMT\r\nContent-Length: 5";
        QCOMPARE(LastModifiedLine(headers),
                 std::optional("last-modified: Tue, 05 Dec 2006 10:00:00 GMT"s));
        QCOMPARE(LastChangedText(*LastModifiedLine(headers)), " Tue, 05 Dec 2006 10:00:00 GMT"s);
        QCOMPARE(LastModifiedLine("X: 1\r\nLast-Modified: A"), std::optional("Last-Modified: A"s));
        QVERIFY(!LastModifiedLine("X: 1"));
        QCOMPARE(LastChangedText("Last-Modified: a LAST-MODIFIED:b"), " a b"s);
    }

    void aPictureIsNewOnlyAfterAnEarlierLine() {
        QCOMPARE(CompareLastModified("", "Last-Modified: A"), PictureNews::FirstSeen);
        QCOMPARE(CompareLastModified("Last-Modified: A", "Last-Modified: A"),
                 PictureNews::Unchanged);
        QCOMPARE(CompareLastModified("Last-Modified: A", "Last-Modified: B"), PictureNews::Changed);
        QCOMPARE(CompareLastModified("Last-Modified: A", "last-modified: A"), PictureNews::Changed);
    }

    void daytimeAnswersAreReadWhenWhole() {
        auto answer = ParseDaytimeAnswer("\n60652 26-12-06 10:24:37 00 0 0 50.0 UTC(NIST) * \n");
        QVERIFY(answer);
        QCOMPARE(answer->year, 2026);
        QCOMPARE(answer->month, 12);
        QCOMPARE(answer->day, 6);
        QCOMPARE(answer->hour, 10);
        QCOMPARE(answer->second, 37);
        QCOMPARE(ParseDaytimeAnswer("1 95-01-02 03:04:05\n")->year, 1995);
        QVERIFY(!ParseDaytimeAnswer("\n60652 26-12-06 10:24")); // the first half of a split answer
        QVERIFY(!ParseDaytimeAnswer(":37 00 0 0 50.0 UTC(NIST) *\n"));
        QVERIFY(!ParseDaytimeAnswer("60652 26-12-06\n"));
        QVERIFY(!ParseDaytimeAnswer("60652 26-02-30 10:24:37\n"));
        QVERIFY(!ParseDaytimeAnswer("60652 26-13-01 10:24:37\n"));
        QVERIFY(!ParseDaytimeAnswer("60652 26-12-06 24:00:00\n"));
        QVERIFY(!ParseDaytimeAnswer(""));
        QVERIFY(ParseDaytimeAnswer("1 24-02-29 00:00:00\n"));
    }
};

WEBCAMS_TEST(JudgementTest)
#include "test_judgement.moc"
