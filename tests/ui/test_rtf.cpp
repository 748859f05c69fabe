#include "ui/rtfreader.h"
#include "ui/rtftext.h"

#include "testmain.h"

#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

namespace {

std::u32string textOf(const RtfDocument& doc) {
    std::u32string all;
    for (size_t p = 0; p < doc.paragraphs.size(); ++p) {
        if (p)
            all += U'|';
        for (const RtfRun& run : doc.paragraphs[p].runs)
            all += run.text;
    }
    return all;
}

QString shown(const RtfDocument& doc) {
    const std::u32string text = textOf(doc);
    return QString::fromUcs4(text.data(), qsizetype(text.size()));
}

} // namespace

class RtfTest : public QObject {
    Q_OBJECT
  private slots:
    void paragraphsBreaksAndTabs() {
        const RtfDocument doc = ReadRtf("{\\rtf1\\ansi One\\par Two\\line three\\tab four\\par}");
        QVERIFY(doc.looksLikeRtf);
        QCOMPARE(shown(doc), QString("One|Two\nthree\tfour"));
    }

    void aLineBreakStaysInsideItsParagraph() {
        QTextDocument document;
        QVERIFY(FillFromRtf(document, "{\\rtf1\\ansi One\\par Two\\line three\\par}"));
        QCOMPARE(document.blockCount(), 2);
        QCOMPARE(document.lastBlock().text(), QString("Two") + QChar::LineSeparator + "three");
    }

    void aColourTableWithoutItsEmptyFirstEntryKeepsItsIndices() {
        const QByteArray rtf = "{\\rtf1{\\colortbl\\red255\\green0\\blue0;"
                               "\\red0\\green0\\blue255;}\\cf0 red\\cf1 blue}";
        const RtfDocument doc = ReadRtf(rtf.toStdString());
        QCOMPARE(doc.colours.size(), size_t(2));
        QCOMPARE(int(doc.colours[0].red), 255);
        QVERIFY(!doc.colours[0].automatic);
        QCOMPARE(int(doc.colours[1].blue), 255);
        QTextDocument document;
        FillFromRtf(document, rtf);
        QTextCursor cursor(&document);
        cursor.setPosition(1);
        QCOMPARE(cursor.charFormat().foreground().color(), QColor(255, 0, 0));
        cursor.setPosition(5);
        QCOMPARE(cursor.charFormat().foreground().color(), QColor(0, 0, 255));
    }

    void looksFollowGroups() {
        const RtfDocument doc = ReadRtf("{\\rtf1 plain {\\b bold {\\i both}} \\ul under\\ulnone  "
                                        "{\\fs40 big}}");
        const auto& runs = doc.paragraphs[0].runs;
        QCOMPARE(runs.size(), size_t(7)); // plain, bold, both, blank, under, blank, big
        QVERIFY(!runs[0].bold);
        QVERIFY(runs[1].bold && !runs[1].italic);
        QVERIFY(runs[2].bold && runs[2].italic);
        QVERIFY(!runs[3].bold && !runs[3].underline);
        QVERIFY(runs[4].underline);
        QVERIFY(!runs[5].underline);
        QCOMPARE(runs[6].fontSizeHalfPoints, 40);
    }

    void coloursComeFromTheTable() {
        const RtfDocument doc = ReadRtf("{\\rtf1{\\colortbl;\\red0\\green0\\blue128;"
                                        "\\red255\\green0\\blue0;}\\cf2 red\\cf1 navy}");
        QCOMPARE(doc.colours.size(), size_t(3));
        QVERIFY(doc.colours[0].automatic); // the usual empty first entry
        QCOMPARE(int(doc.colours[1].blue), 128);
        QCOMPARE(int(doc.colours[2].red), 255);
        QCOMPARE(doc.paragraphs[0].runs[0].colourIndex, 2);
        QCOMPARE(shown(doc), QString("rednavy"));
    }

    void coloursStayReadableOnTheBackground_data() {
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<QColor>("background");
        QTest::addColumn<bool>("kept");
        // clang-format off
        QTest::newRow("navy on white") << QColor(0, 0, 128) << QColor(Qt::white) << true;
        QTest::newRow("navy on a dark palette") << QColor(0, 0, 128) << QColor(35, 35, 35) << false;
        QTest::newRow("blue on a dark palette") << QColor(0, 0, 255) << QColor(35, 35, 35) << false;
        QTest::newRow("yellow on white") << QColor(255, 255, 0) << QColor(Qt::white) << false;
        // clang-format on
    }

    void coloursStayReadableOnTheBackground() {
        QFETCH(QColor, colour);
        QFETCH(QColor, background);
        QFETCH(bool, kept);
        const QColor shown = ReadableOn(colour, background);
        QCOMPARE(shown == colour, kept);
        // a changed colour keeps its hue and is lighter on dark, darker on light
        if (!kept) {
            QCOMPARE(shown.hslHue(), colour.hslHue());
            QCOMPARE(shown.lightness() > colour.lightness(), background.lightness() < 128);
        }
    }

    void escapesBecomeCharacters() {
        const RtfDocument doc =
            ReadRtf("{\\rtf1 caf\\'e9 \\'80 \\u8364? \\uc2\\u8364xy! \\{\\}\\\\}");
        QCOMPARE(shown(doc), QString::fromUtf8("café € € €! {}\\"));
    }

    void tablesAndHiddenDestinationsShowNothing() {
        const RtfDocument doc = ReadRtf("{\\rtf1{\\fonttbl{\\f0 Verdana;}}{\\*\\generator Tool;}"
                                        "{\\info{\\title T}}\\unknownword42 shown\\madeup}");
        QCOMPARE(shown(doc), QString("shown"));
    }

    void brokenInputNeverFails() {
        QCOMPARE(shown(ReadRtf("")), QString());
        QVERIFY(!ReadRtf("plain text, not rich").looksLikeRtf);
        QCOMPARE(shown(ReadRtf("{\\rtf1 cut {\\b off")), QString("cut off"));
        QCOMPARE(shown(ReadRtf("{\\rtf1 a}}}} b")), QString("a b"));
        QCOMPARE(shown(ReadRtf("{\\rtf1 \\'zz\\'4")), QString("zz4"));
        // impossible code points become the replacement character; a lone "\\" ends quietly
        QCOMPARE(shown(ReadRtf("{\\rtf1 \\u-3 \\u99999999999999 \\")), QString(2, QChar(0xFFFD)));
    }

    void nestingAndSizeAreBounded() {
        std::string deep = "{\\rtf1 ";
        for (int i = 0; i < 100000; ++i)
            deep += "{\\b ";
        deep += "x";
        for (int i = 0; i < 100000; ++i)
            deep += "}";
        deep += " y}";
        QCOMPARE(shown(ReadRtf(deep)), QString("x y"));

        std::string flicker = "{\\rtf1 ";
        for (int i = 0; i < 300000; ++i)
            flicker += "\\b a\\b0 b";
        const RtfDocument doc = ReadRtf(flicker);
        size_t runs = 0;
        for (const RtfParagraph& p : doc.paragraphs)
            runs += p.runs.size();
        QVERIFY(runs <= 100001);
        QCOMPARE(textOf(doc).size(), size_t(600000));
    }
};

WEBCAMS_TEST(RtfTest)
#include "test_rtf.moc"
