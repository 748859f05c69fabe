#include "imaging/dibsection.h"
#include "imaging/imagingerror.h"
#include "scriptedprompter.h"

#include "testmain.h"
#include <QClipboard>
#include <QGuiApplication>

#include <QTest>
#include <cstring>

namespace {

// Bytes of the pixel at picture column x, picture row y (0 = top), in blue-green-red order.
const uint8_t* pixelAt(const cDIBSection& dib, int x, int y) {
    return dib.DIBSectionBitsPtr() + size_t(dib.Height() - 1 - y) * size_t(dib.BytesPerScanLine()) +
           3 * size_t(x);
}

void setBlue(cDIBSection& dib, int memoryRow, int x, uint8_t value) {
    dib.DIBSectionBitsPtr()[size_t(memoryRow) * size_t(dib.BytesPerScanLine()) + 3 * size_t(x)] =
        value;
}

uint8_t blueAt(const cDIBSection& dib, int memoryRow, int x) {
    return dib
        .DIBSectionBitsPtr()[size_t(memoryRow) * size_t(dib.BytesPerScanLine()) + 3 * size_t(x)];
}

} // namespace

class DibSectionTest : public QObject {
    Q_OBJECT
  private slots:
    void rowsArePaddedToFourBytes() {
        cDIBSection dib;
        const int expected[] = {4, 8, 12, 12, 16};
        for (int width = 1; width <= 5; ++width) {
            QVERIFY(dib.Create(width, 2));
            QCOMPARE(dib.BytesPerScanLine(), expected[width - 1]);
        }
    }

    void pictureIsCopiedBottomUpInBlueGreenRed() {
        QImage picture(320, 240, QImage::Format_RGB32);
        picture.fill(Qt::black);
        picture.setPixel(0, 0, qRgb(250, 10, 20));   // top-left: red
        picture.setPixel(319, 239, qRgb(5, 6, 200)); // bottom-right: blue
        cDIBSection dib;
        dib.CreateFromPicture(picture);
        QCOMPARE(dib.Width(), 320);
        QCOMPARE(dib.Height(), 240);
        QCOMPARE(dib.BytesPerScanLine(), 960);
        const uint8_t* topLeft = pixelAt(dib, 0, 0);
        QCOMPARE(int(topLeft[0]), 20);
        QCOMPARE(int(topLeft[1]), 10);
        QCOMPARE(int(topLeft[2]), 250);
        // the first row in memory is the picture's bottom row
        const uint8_t* firstInMemory = dib.DIBSectionBitsPtr() + 3 * 319;
        QCOMPARE(int(firstInMemory[0]), 200);
        QCOMPARE(int(firstInMemory[2]), 5);
    }

    void emptyPictureLeavesTheSectionEmpty() {
        cDIBSection dib;
        dib.CreateFromPicture(QImage());
        QCOMPARE(dib.Width(), 0);
        QVERIFY(!dib.DIBSectionBitsPtr());
        QVERIFY(!dib.hdc());
        QVERIFY(!dib.Create(0, 5));
        QCOMPARE(dib.Height(), 5); // the header keeps the requested size
    }

    void oversizedRowsAndImagesRaiseOverflow() {
        cDIBSection dib;
        try {
            dib.Create(800'000'000, 1);
            QFAIL("no error for a row beyond 32 bits");
        } catch (const ImagingError& error) {
            QCOMPARE(error.number, ImagingError::overflow);
        }
        try {
            dib.Create(100'000, 100'000);
            QFAIL("no error for an image size beyond 32 bits");
        } catch (const ImagingError& error) {
            QCOMPARE(error.number, ImagingError::overflow);
        }
    }

    void resampleToTheSameSizeCopiesExactly() {
        cDIBSection dib;
        QVERIFY(dib.Create(7, 5));
        dib.RandomiseBits(false);
        auto copy = dib.Resample(5, 7);
        QVERIFY(copy);
        for (int row = 0; row < 5; ++row)
            QVERIFY(std::memcmp(copy->DIBSectionBitsPtr() + row * copy->BytesPerScanLine(),
                                dib.DIBSectionBitsPtr() + row * dib.BytesPerScanLine(), 21) == 0);
    }

    void resampleIsBilinearWithTiesToEven() {
        cDIBSection dib;
        QVERIFY(dib.Create(3, 2));
        std::memset(dib.DIBSectionBitsPtr(), 0, size_t(2 * dib.BytesPerScanLine()));
        for (int row = 0; row < 2; ++row) {
            setBlue(dib, row, 0, 0);
            setBlue(dib, row, 1, 1);
            setBlue(dib, row, 2, 3);
        }
        // height first: 2 rows of 4 columns; x scale (3 - 1) / 4 = 0.5
        auto wide = dib.Resample(2, 4);
        QVERIFY(wide);
        QCOMPARE(wide->Width(), 4);
        const int expected[] = {0, 0, 1, 2}; // 0.5 rounds to 0, 1.5 of (1, 3) gives 2
        for (int x = 0; x < 4; ++x)
            QCOMPARE(int(blueAt(*wide, 0, x)), expected[x]);
    }

    void resampleNeverReachesTheLastColumnAndRow() {
        cDIBSection dib;
        QVERIFY(dib.Create(2, 2));
        std::memset(dib.DIBSectionBitsPtr(), 0, size_t(2 * dib.BytesPerScanLine()));
        setBlue(dib, 0, 1, 200);
        setBlue(dib, 1, 1, 200);
        auto doubled = dib.Resample(4, 4);
        QVERIFY(doubled);
        // sample positions 0, 0.25, 0.5, 0.75: the last column of the source weighs below 1
        const int expected[] = {0, 50, 100, 150};
        for (int x = 0; x < 4; ++x)
            QCOMPARE(int(blueAt(*doubled, 3, x)), expected[x]);
    }

    void resampleOfANarrowOrLowSourceFailsBeforeWriting() {
        for (QSize size : {QSize(1, 4), QSize(4, 1)}) {
            cDIBSection dib;
            QVERIFY(dib.Create(size.width(), size.height()));
            try {
                auto none = dib.Resample(8, 8);
                QFAIL("resampling a one-pixel source did not fail");
            } catch (const ImagingError& error) {
                QCOMPARE(error.number, ImagingError::subscriptOutOfRange);
            }
        }
    }

    void randomBitsLeaveBlueAndAlignmentAlone() {
        cDIBSection dib;
        QVERIFY(dib.Create(5, 3)); // 15 bytes of pixels and 1 alignment byte a row
        std::memset(dib.DIBSectionBitsPtr(), 0xAB, size_t(3 * dib.BytesPerScanLine()));
        dib.RandomiseBits(false);
        for (int row = 0; row < 3; ++row) {
            const uint8_t* bytes = dib.DIBSectionBitsPtr() + row * dib.BytesPerScanLine();
            for (int x = 0; x < 5; ++x)
                QCOMPARE(int(bytes[3 * x]), 0);
            QCOMPARE(int(bytes[15]), 0xAB);
        }
        dib.RandomiseBits(true);
        const uint8_t* grey = dib.DIBSectionBitsPtr();
        QCOMPARE(grey[0], grey[1]);
        QCOMPARE(grey[1], grey[2]);
    }

    void paintPictureCopiesIntoAPicture() {
        QImage source(4, 3, QImage::Format_RGB32);
        source.fill(qRgb(10, 20, 30));
        source.setPixel(3, 0, qRgb(200, 100, 50));
        cDIBSection dib;
        dib.CreateFromPicture(source);
        QImage target(4, 3, QImage::Format_RGB32);
        target.fill(Qt::black);
        PictureSurface surface(target);
        DrawingContext context;
        context.select(&surface);
        dib.PaintPicture(&context, 0, 0, -1, -1, 0, 0, RasterOp::SrcCopy);
        QCOMPARE(target.pixel(3, 0), qRgb(200, 100, 50));
        QCOMPARE(target.pixel(0, 2), qRgb(10, 20, 30));
    }

    void clipboardTakesABitmapButNotADib() {
        QImage source(6, 4, QImage::Format_RGB32);
        source.fill(qRgb(1, 2, 3));
        cDIBSection dib;
        dib.CreateFromPicture(source);
        ScriptedPrompter prompter;
        QVERIFY(!dib.CopyToClipboard(true, &prompter));
        QCOMPARE(prompter.asked.size(), 1);
        QCOMPARE(
            prompter.asked.first().text,
            QString("I don't know how to put a DIB on the clipboard! Copy as bitmap instead!!!"));
        QVERIFY(dib.CopyToClipboard(false, &prompter));
        QCOMPARE(QGuiApplication::clipboard()->image().size(), QSize(6, 4));
    }
};

WEBCAMS_TEST(DibSectionTest)

#include "test_dibsection.moc"
