#include "imaging/picturecheck.h"
#include "imaging/savename.h"
#include "testmain.h"

#include <QBuffer>
#include <QImage>
#include <QTest>
#include <set>
#include <vector>

using namespace std::string_literals;

namespace {

std::string encoded(const QImage& image, const char* format, int quality = -1) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, quality);
    return bytes.toStdString();
}

QImage smallPicture() {
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(qRgb(10, 120, 200));
    return image;
}

// A one-pixel GIF, written out by hand (the toolkit writes no GIF).
const std::string tinyGif = "GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\xff\xff\x00\x00\x00"
                            "\x2c\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00\x3b"s;

std::string jpegHeaderDeclaring(int width, int height) {
    std::string b = "\xff\xd8\xff\xc0\x00\x11\x08"s;
    b += char(height >> 8);
    b += char(height & 255);
    b += char(width >> 8);
    b += char(width & 255);
    b += "\x03\x01\x22\x00\x02\x11\x01\x03\x11\x01"s;
    return b;
}

} // namespace

class PictureCheckTest : public QObject {
    Q_OBJECT
  private slots:
    void saveNamesFollowTheLocaleAndStayInTheFolder() {
        QCOMPARE(SaveFileName("Harbour Cam", "12/6/2026", "10:24:37 AM"),
                 "HarbourCam1262026102437AM.jpg"s);
        QCOMPARE(SaveFileName("MyCam", "2/15/2007", "5:32:34 PM"), "MyCam215200753234PM.jpg"s);
        // one "/" of the name takes one of the date's removals; the rest is dropped
        QCOMPARE(SaveFileName("a/b", "12/6/2026", "10:24:37"), "ab1262026102437.jpg"s);
        QCOMPARE(SaveFileName("../x", "12/6/2026", "10:24:37"), "..x1262026102437.jpg"s);
        QCOMPARE(SaveFileName("a:b", "06.12.2026", "10:24:37"), "ab06.12.2026102437.jpg"s);
        QCOMPARE(SaveFileName("t\x01\r\n\x7f", "1", "2"), "t12.jpg"s);
        QCOMPARE(SaveFileName("caf\xc3\xa9", "d", "t"), "caf\xc3\xa9"
                                                        "dt.jpg"s);
    }

    void todaysSaveNamesReadBackAndRefuseTheRest_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("number"); // 0: not this cam's picture
        // clang-format off
        QTest::newRow("written") << QString::fromStdString(TimedSaveFileName("Harbour Cam", {2026, 12, 7, 7, 5, 9})) << 1;
        QTest::newRow("same second") << QString::fromStdString(TimedSaveFileName("Harbour Cam", {2026, 12, 7, 7, 5, 9}, 3)) << 3;
        QTest::newRow("another cam") << "Harbour Cam2~2026-12-07_07-05-09.jpg" << 0;
        QTest::newRow("no number") << "Harbour Cam~2026-12-07_07-05-09_.jpg" << 0;
        QTest::newRow("number 1") << "Harbour Cam~2026-12-07_07-05-09_1.jpg" << 0;
        QTest::newRow("signed") << "Harbour Cam~2026-12-07_07-05-09_-2.jpg" << 0;
        QTest::newRow("zero-padded") << "Harbour Cam~2026-12-07_07-05-09_0002.jpg" << 0;
        QTest::newRow("letters") << "Harbour Cam~2026-12-O7_07-05-09.jpg" << 0;
        QTest::newRow("short") << "Harbour Cam~2026-12-07.jpg" << 0;
        // clang-format on
    }

    void todaysSaveNamesReadBackAndRefuseTheRest() {
        QFETCH(QString, name);
        QFETCH(int, number);
        const auto read = ReadTimedSaveFileName(name.toStdString(), "Harbour Cam");
        QCOMPARE(read.has_value(), number > 0);
        if (read) {
            QCOMPARE(read->number, number);
            QCOMPARE(read->moment.day, 7);
            QCOMPARE(read->moment.second, 9);
        }
    }

    // Names that differ only where a file name cannot hold them still make parts of their own.
    void noTwoCamNamesShareASaveNamePart() {
        QCOMPARE(SaveNameCamPart("Harbour Cam~1/:%\x01"), "Harbour Cam%7E1%2F%3A%25%01"s);
        // as long as names may be, in CJK characters and in codes, alike but for their ends
        std::string cjk, codes;
        for (int i = 0; i < 256; ++i)
            cjk += "\xe6\xb8\xaf", codes += "%";
        const std::vector<std::string> names{
            "a b", "ab", "a/b", "a%2Fb", "a:b", "a~b", "a-b", "a\x01b", "a%b",
            // Latin-1, its code typed, UTF-8, its codes typed
            "a\xe9", "a%E9", "a\xc3\xa9", "a%C3%A9", cjk, cjk + "x", codes, codes + "/"};
        std::set<std::string> parts;
        for (const std::string& name : names) {
            parts.insert(SaveNameCamPart(name));
            // within a file name's 255 bytes, with a writer's temporary ".name.XXXXXX" too
            const std::string file = TimedSaveFileName(name, {2026, 12, 7, 7, 5, 9}, 99);
            QVERIFY(file.size() + 8 <= 255);
            QVERIFY(ReadTimedSaveFileName(file, SaveNameCamPart(name)));
            QVERIFY(QString::fromUtf8(file.c_str()).toUtf8().toStdString() == file); // whole
        }
        QCOMPARE(parts.size(), names.size());
    }

    void wholePicturesAreReadable() {
        for (const char* format : {"JPEG", "PNG", "BMP"}) {
            const std::string bytes = encoded(smallPicture(), format);
            const PictureCheck check = CheckPicture(bytes, int64_t(bytes.size()));
            QVERIFY2(check.readable, format);
            QCOMPARE(check.width, int64_t(40));
            QCOMPARE(check.height, int64_t(30));
        }
        QVERIFY(CheckPicture(tinyGif, 0).readable);
        QCOMPARE(CheckPicture(tinyGif, 0).format, PictureFormat::Gif);
        QVERIFY(CheckPicture("not a picture at all", 0).readable); // left to the loader
    }

    void cutPicturesAreNot() {
        const std::string jpeg = encoded(smallPicture(), "JPEG");
        QVERIFY(!CheckPicture(jpeg.substr(0, jpeg.size() - 2), 0).readable);
        QVERIFY(!CheckPicture(jpeg.substr(0, jpeg.size() / 2), 0).readable);
        QVERIFY(!CheckPicture(jpeg, int64_t(jpeg.size()) + 1).readable); // shorter than announced
        QVERIFY(CheckPicture(jpeg + "trailing", 0).readable);
        const std::string png = encoded(smallPicture(), "PNG");
        QVERIFY(!CheckPicture(png.substr(0, png.size() - 12), 0).readable);
        QVERIFY(!CheckPicture(tinyGif.substr(0, tinyGif.size() - 1), 0).readable);
        const std::string bmp = encoded(smallPicture(), "BMP");
        QVERIFY(!CheckPicture(bmp.substr(0, bmp.size() - 10), 0).readable);
    }

    void endMarkerInsideAnEarlierSegmentDoesNotCount() {
        // an APP1 segment (like a thumbnail) holding FF D9, then a cut-off scan
        const std::string jpeg = encoded(smallPicture(), "JPEG");
        std::string withThumb =
            jpeg.substr(0, 2) + "\xff\xe1\x00\x06\xff\xd9\x00\x00"s + jpeg.substr(2);
        QVERIFY(CheckPicture(withThumb, 0).readable);
        QVERIFY(!CheckPicture(withThumb.substr(0, withThumb.size() - 2), 0).readable);
    }

    void oversizedOrEndlesslyScannedPicturesAreRefused() {
        std::string huge = jpegHeaderDeclaring(65500, 65500) + "\xff\xd9"s;
        QVERIFY(!CheckPicture(huge, 0).readable);
        QVERIFY(!CheckPicture(jpegHeaderDeclaring(30000, 30000) + "\xff\xd9"s, 0).readable);
        QVERIFY(CheckPicture(jpegHeaderDeclaring(8192, 100) + "\xff\xd9"s, 0).readable);
        std::string progressive = jpegHeaderDeclaring(16, 16);
        for (int i = 0; i < 3000; ++i)
            progressive += "\xff\xda\x00\x08\x01\x01\x00\x00\x00\x00\x55"s;
        progressive += "\xff\xd9"s;
        QVERIFY(!CheckPicture(progressive, 0).readable);
        // the cost counts pixels times scans: many scans of a large picture are too costly, as
        // many of a small one or few of a large one are not
        const auto scanned = [](int side, int scans) {
            std::string jpeg = jpegHeaderDeclaring(side, side);
            for (int i = 0; i < scans; ++i)
                jpeg += "\xff\xda\x00\x08\x01\x01\x00\x00\x00\x00\x55"s;
            return CheckPicture(jpeg + "\xff\xd9"s, 0);
        };
        QCOMPARE(scanned(8192, 500).why,
                 "a picture too costly to decode (8192 x 8192, 500 scans)"s);
        QVERIFY(!scanned(8192, 17).readable);
        QVERIFY(scanned(8192, 16).readable);
        QVERIFY(scanned(512, 500).readable);
        std::string gif = tinyGif;
        gif[6] = '\xff', gif[7] = '\xff';
        QVERIFY(!CheckPicture(gif, 0).readable);
    }
};

WEBCAMS_TEST(PictureCheckTest)
#include "test_picturecheck.moc"
