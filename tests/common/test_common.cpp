#include "common/credentials.h"
#include "common/datetimetext.h"
#include "common/numbertext.h"
#include "common/twips.h"
#include "testmain.h"

#include <QLocale>
#include <QTest>

using namespace std::string_literals;

class NumberTextTest : public QObject {
    Q_OBJECT
  private slots:
    void numbersRoundHalfToEven() {
        QCOMPARE(parseLong("2.5"), std::optional<int32_t>(2));
        QCOMPARE(parseLong("3.5"), std::optional<int32_t>(4));
        QCOMPARE(parseLong(" 30 "), std::optional<int32_t>(30));
        QCOMPARE(parseLong("-5"), std::optional<int32_t>(-5));
        QCOMPARE(parseLong("1e3"), std::optional<int32_t>(1000));
        QVERIFY(!parseLong("abc"));
        QVERIFY(!parseLong("12abc"));
        QVERIFY(!parseLong(""));
        QVERIFY(!parseLong("."));
        QVERIFY(!parseLong("1000000000000"));
        QCOMPARE(formatGeneral(2.5 - 1, 15), "1.5"s);
        QCOMPARE(formatGeneral(9, 15), "9"s);
        QCOMPARE(formatGeneral(-1, 15), "-1"s);
        QCOMPARE(formatGeneral(float(42.5), 7), "42.5"s);
        QCOMPARE(formatGeneral(float(100.0 / 3), 7), "33.33333"s);
    }

    void naturalSizeRoundsHalvesToEven() {
        QCOMPARE(PixelsToTwipsEven(640, 96), 9600);
        QCOMPARE(PixelsToTwipsEven(1, 576), 2); // 2.5 twips
        QCOMPARE(PixelsToTwipsEven(3, 576), 8); // 7.5 twips
    }

    void shortDatesWriteTheWholeYear_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("moment");
        QTest::newRow("en_US") << QLocale(QLocale::English, QLocale::UnitedStates) << "12/7/2026"
                               << "12/7/2026 10:24:37 AM";
        QTest::newRow("de_DE") << QLocale(QLocale::German, QLocale::Germany) << "07.12.2026"
                               << "07.12.2026 10:24:37";
        QTest::newRow("en_GB") << QLocale(QLocale::English, QLocale::UnitedKingdom) << "07/12/2026"
                               << "07/12/2026 10:24:37";
    }
    void shortDatesWriteTheWholeYear() {
        QFETCH(QLocale, locale);
        QFETCH(QString, date);
        QFETCH(QString, moment);
        const QLocale before;
        QLocale::setDefault(locale);
        const QDateTime when(QDate(2026, 12, 7), QTime(10, 24, 37));
        QCOMPARE(shortDateText(when.date()), date);
        QCOMPARE(generalDateText(when), moment);
        QLocale::setDefault(before);
    }

    // Where credentials may go: two addresses of one origin, and never two hosts or ports.
    void credentialOriginsAreTheAddressesHostAndPort_data() {
        QTest::addColumn<QByteArray>("address");
        QTest::addColumn<QByteArray>("origin");
        // clang-format off
        QTest::newRow("spelled out") << QByteArray(" HTTP://Cam.Example:080/a.jpg") << QByteArray("http://cam.example:80");
        QTest::newRow("no scheme, no port") << QByteArray("cam/a.jpg?b=c://d") << QByteArray("http://cam:80");
        QTest::newRow("user info") << QByteArray("https://me:p@ss@cam#x") << QByteArray("https://cam:443");
        QTest::newRow("an @ in the path") << QByteArray("http://cam/a@evil:1") << QByteArray("http://cam:80");
        QTest::newRow("video, v6") << QByteArray("rtsp://[::1]/live") << QByteArray("rtsp://[::1]:554");
        // clang-format on
    }
    void credentialOriginsAreTheAddressesHostAndPort() {
        QFETCH(QByteArray, address);
        QTEST(CredentialOrigin(address.toStdString()), "origin");
    }
};

WEBCAMS_TEST(NumberTextTest)
#include "test_common.moc"
