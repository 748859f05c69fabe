#include "common/numbertext.h"
#include "common/twips.h"
#include "testmain.h"

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
};

WEBCAMS_TEST(NumberTextTest)
#include "test_common.moc"
