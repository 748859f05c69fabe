// Decoding pictures no larger than needed: TurboJPEG's scaling for JPEG, the toolkit's reader for
// the rest and for the JPEGs TurboJPEG cannot read.
#include "imaging/picturecheck.h"
#include "imaging/picturedecoder.h"
#include "imaging/picturesave.h"

#include "pictures.h"
#include "testmain.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <turbojpeg.h>

namespace {

// A JPEG made by TurboJPEG from a picture, in the given subsampling (TJSAMP_GRAY: greyscale),
// or as CMYK.
QByteArray turboJpeg(const QImage& picture, int subsampling, bool cmyk = false) {
    tjhandle handle = tjInitCompress();
    QImage source = picture.convertToFormat(QImage::Format_RGB32);
    QByteArray pixels;
    int format = TJPF_BGRX;
    if (cmyk) {
        pixels.resize(source.width() * source.height() * 4);
        auto* out = reinterpret_cast<unsigned char*>(pixels.data());
        for (int y = 0; y < source.height(); ++y)
            for (int x = 0; x < source.width(); ++x) {
                const QRgb rgb = source.pixel(x, y);
                // inverted, as Adobe's programs write CMYK: 255 is no ink
                *out++ = uchar(qRed(rgb)), *out++ = uchar(qGreen(rgb));
                *out++ = uchar(qBlue(rgb)), *out++ = 255;
            }
        format = TJPF_CMYK;
    }
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    const unsigned char* data =
        cmyk ? reinterpret_cast<const unsigned char*>(pixels.constData()) : source.constBits();
    tjCompress2(handle, data, source.width(), cmyk ? 0 : int(source.bytesPerLine()),
                source.height(), format, &jpeg, &size, subsampling, 90, 0);
    QByteArray bytes(reinterpret_cast<const char*>(jpeg), qsizetype(size));
    tjFree(jpeg);
    tjDestroy(handle);
    return bytes;
}

} // namespace

class PictureDecoderTest : public QObject {
    Q_OBJECT
  private slots:
    void theSmallestCoveringScaleIsChosen() {
        // a panel's picture area at 96 dots per inch is 85 x 64
        QCOMPARE(JpegDecodeSize(1920, 1080, QSize(85, 64)), QSize(240, 135));
        QCOMPARE(JpegDecodeSize(640, 480, QSize(85, 64)), QSize(160, 120)); // 1/4
        QCOMPARE(JpegDecodeSize(320, 240, QSize(85, 64)), QSize(120, 90));  // 3/8
        QCOMPARE(JpegDecodeSize(100, 80, QSize(85, 64)), QSize(88, 70));    // 7/8
        QCOMPARE(JpegDecodeSize(90, 70, QSize(85, 64)), QSize(90, 70));     // whole
        QCOMPARE(JpegDecodeSize(3840, 2160, QSize()), QSize(3840, 2160));
        QCOMPARE(JpegDecodeSize(60, 40, QSize(85, 64)), QSize(60, 40)); // never enlarged
    }

    void jpegsComeAsRgb32AtThatScale() {
        const QByteArray jpeg = jpegOf(QColor(200, 40, 90), 1920, 1080);
        const DecodedPicture small = DecodePicture(jpeg, QSize(85, 64));
        QCOMPARE(small.picture.size(), QSize(240, 135));
        QCOMPARE(small.picture.format(), QImage::Format_RGB32);
        QVERIFY(!small.whole);
        QVERIFY(sameColour(small.picture.pixel(100, 60), QColor(200, 40, 90), 16));
        QCOMPARE(qAlpha(small.picture.pixel(3, 3)), 255);
        const DecodedPicture whole = DecodePicture(jpeg);
        QCOMPARE(whole.picture.size(), QSize(1920, 1080));
        QVERIFY(whole.whole);
    }

    void everyKindOfJpegDecodes_data() {
        QTest::addColumn<QByteArray>("jpeg");
        QTest::addColumn<bool>("grey");
        const QImage picture = filledPicture(QColor(30, 160, 220), 400, 300);
        QTest::newRow("progressive") << encodedPicture(picture, "JPEG", 90, true) << false;
        QTest::newRow("4:4:4") << turboJpeg(picture, TJSAMP_444) << false;
        QTest::newRow("4:2:2") << turboJpeg(picture, TJSAMP_422) << false;
        QTest::newRow("greyscale") << turboJpeg(picture, TJSAMP_GRAY) << true;
        // TurboJPEG makes no RGB of CMYK: the toolkit's reader takes it
        QTest::newRow("CMYK") << turboJpeg(picture, TJSAMP_444, true) << false;
    }
    void everyKindOfJpegDecodes() {
        QFETCH(QByteArray, jpeg);
        QFETCH(bool, grey);
        QVERIFY(CheckPicture(std::string_view(jpeg.constData(), size_t(jpeg.size())), 0).readable);
        for (QSize fit : {QSize(85, 64), QSize()}) {
            const DecodedPicture decoded = DecodePicture(jpeg, fit);
            QVERIFY(!decoded.picture.isNull());
            QVERIFY(decoded.picture.width() >= 85 && decoded.picture.height() >= 64);
            const QRgb middle =
                decoded.picture.pixel(decoded.picture.width() / 2, decoded.picture.height() / 2);
            if (grey)
                QCOMPARE(qRed(middle), qBlue(middle));
            else
                QVERIFY2(sameColour(middle, QColor(30, 160, 220), 24),
                         qPrintable(QColor(middle).name()));
        }
    }

    void otherFormatsAreReadSmall() {
        const QByteArray png = pngOf(Qt::yellow, 400, 300);
        const DecodedPicture small = DecodePicture(png, QSize(85, 64));
        QVERIFY(small.picture.width() >= 85 && small.picture.height() >= 64);
        QVERIFY(small.picture.width() < 400);
        QCOMPARE(DecodePicture(png).picture.size(), QSize(400, 300));
        QCOMPARE(DecodePicture(tinyGif, QSize(85, 64)).picture.size(), QSize(1, 1));
    }

    void picturesLargerThanQtReadsByDefaultDecodeWhole_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("jpeg") << jpegOf(Qt::blue, 6000, 6000);
        QTest::newRow("png") << pngOf(Qt::blue, 6000, 6000);
    }
    void picturesLargerThanQtReadsByDefaultDecodeWhole() {
        QFETCH(QByteArray, bytes);
        const DecodedPicture whole = DecodePicture(bytes);
        QCOMPARE(whole.picture.size(), QSize(6000, 6000));
        QCOMPARE(whole.fullSize, QSize(6000, 6000));
        QCOMPARE(DecodePicture(bytes, QSize(85, 64)).fullSize, QSize(6000, 6000));
    }

    // A JPEG of more than 16 million pixels is saved as it came, never decoded whole; a smaller
    // one is the program's own JPEG.
    void hugeJpegsAreSavedAsTheyCame_data() {
        QTest::addColumn<int>("side");
        QTest::addColumn<bool>("asItCame");
        QTest::newRow("4000 x 4000") << 4000 << false;
        QTest::newRow("4001 x 4001") << 4001 << true;
    }
    void hugeJpegsAreSavedAsTheyCame() {
        QFETCH(int, side);
        QFETCH(bool, asItCame);
        QTemporaryDir folder;
        const QByteArray bytes = jpegOf(Qt::darkCyan, side, side);
        const SavedPicture saved =
            SavePictureAsJpeg({{}, bytes}, folder.filePath("cam.jpg"), QSize(84, 60));
        QVERIFY2(saved.ok, qPrintable(saved.error));
        QFile file(saved.path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll() == bytes, asItCame);
        QCOMPARE(saved.reloaded.size(), QSize(84, 60));
    }

    void unreadableOrHugePicturesGiveNothing() {
        QVERIFY(DecodePicture("not a picture").picture.isNull());
        QByteArray huge = jpegOf(Qt::blue);
        const qsizetype sof = huge.indexOf("\xff\xc0");
        huge[sof + 5] = char(0x75), huge[sof + 6] = char(0x30); // 30000 high
        huge[sof + 7] = char(0x75), huge[sof + 8] = char(0x30); // 30000 wide
        QVERIFY(DecodePicture(huge).picture.isNull());
        DecodePicture(jpegOf(Qt::blue).left(200), QSize(85, 64)); // a cut JPEG never crashes
    }
};

WEBCAMS_TEST(PictureDecoderTest)
#include "test_picturedecoder.moc"
