#include "imaging/dibsection.h"
#include "imaging/imagingerror.h"
#include "imaging/jpegwriter.h"
#include "sandbox.h"

#include "testmain.h"
#include <QDir>
#include <QFile>

#include <QTest>
#include <cmath>
#include <fcntl.h>
#include <sys/stat.h>
#include <turbojpeg.h>

namespace {

struct Decoded {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb; // top-down rows, red-green-blue

    QRgb at(int x, int y) const {
        const uint8_t* p = rgb.data() + 3 * (size_t(y) * size_t(width) + size_t(x));
        return qRgb(p[0], p[1], p[2]);
    }
};

Decoded decode(const QString& path) {
    QFile file(path);
    Decoded out;
    if (!file.open(QIODevice::ReadOnly))
        return out;
    const QByteArray bytes = file.readAll();
    tjhandle handle = tjInitDecompress();
    int subsampling = 0, colourspace = 0;
    auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
    if (tjDecompressHeader3(handle, data, (unsigned long)bytes.size(), &out.width, &out.height,
                            &subsampling, &colourspace) == 0) {
        out.rgb.resize(size_t(out.width) * size_t(out.height) * 3);
        tjDecompress2(handle, data, (unsigned long)bytes.size(), out.rgb.data(), out.width, 0,
                      out.height, TJPF_RGB, 0);
    }
    tjDestroy(handle);
    return out;
}

bool close(QRgb a, QRgb b, int tolerance = 40) {
    return std::abs(qRed(a) - qRed(b)) <= tolerance &&
           std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

cDIBSection& sectionOf(cDIBSection& dib, const QImage& picture) {
    dib.CreateFromPicture(picture);
    return dib;
}

long errorNumberOf(const std::function<void()>& call, std::string* description = nullptr,
                   std::string* source = nullptr) {
    try {
        call();
    } catch (const ImagingError& error) {
        if (description)
            *description = error.what();
        if (source)
            *source = error.source;
        return error.number;
    }
    return 0;
}

qint64 modificationSeconds(const QString& path) {
    struct stat info {};
    ::stat(QFile::encodeName(path).constData(), &info);
    return info.st_mtim.tv_sec;
}

} // namespace

class JpegWriterTest : public QObject {
    Q_OBJECT
  private slots:
    void corneredPictureKeepsOrientationAndColours() {
        Sandbox box;
        QImage picture(64, 48, QImage::Format_RGB32);
        picture.fill(Qt::white);
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 32; ++x) {
                picture.setPixel(x, y, qRgb(255, 0, 0));      // top-left red
                picture.setPixel(x + 32, y, qRgb(0, 255, 0)); // top-right green
                picture.setPixel(x, y + 24, qRgb(0, 0, 255)); // bottom-left blue
            }
        cDIBSection dib;
        QVERIFY(WriteJpegFile(sectionOf(dib, picture), box.path("c.jpg"), 90));
        const Decoded jpeg = decode(box.path("c.jpg"));
        QCOMPARE(jpeg.width, 64);
        QCOMPARE(jpeg.height, 48);
        QVERIFY(close(jpeg.at(8, 8), qRgb(255, 0, 0)));
        QVERIFY(close(jpeg.at(56, 8), qRgb(0, 255, 0)));
        QVERIFY(close(jpeg.at(8, 40), qRgb(0, 0, 255)));
        QVERIFY(close(jpeg.at(56, 40), qRgb(255, 255, 255)));
    }

    void oddWidthsAndASingleRowSurvive_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        for (int width = 1; width <= 5; ++width)
            QTest::addRow("%d x 9", width) << width << 9;
        QTest::addRow("17 x 1") << 17 << 1;
    }
    void oddWidthsAndASingleRowSurvive() {
        QFETCH(int, width);
        QFETCH(int, height);
        Sandbox box;
        QImage picture(width, height, QImage::Format_RGB32);
        picture.fill(qRgb(200, 40, 90));
        cDIBSection dib;
        QVERIFY(WriteJpegFile(sectionOf(dib, picture), box.path("o.jpg"), 90));
        const Decoded jpeg = decode(box.path("o.jpg"));
        QCOMPARE(jpeg.width, width);
        QCOMPARE(jpeg.height, height);
        QVERIFY(close(jpeg.at(width - 1, height - 1), qRgb(200, 40, 90), 12));
    }

    void smoothPictureIsCloseAtQuality90() {
        Sandbox box;
        QImage picture(160, 120, QImage::Format_RGB32);
        for (int y = 0; y < 120; ++y)
            for (int x = 0; x < 160; ++x)
                picture.setPixel(x, y, qRgb(x * 255 / 159, y * 255 / 119, (x + y) * 255 / 278));
        cDIBSection dib;
        QVERIFY(WriteJpegFile(sectionOf(dib, picture), box.path("s.jpg"), 90));
        const Decoded jpeg = decode(box.path("s.jpg"));
        double squared = 0;
        for (int y = 0; y < 120; ++y)
            for (int x = 0; x < 160; ++x) {
                const QRgb a = picture.pixel(x, y), b = jpeg.at(x, y);
                for (int d : {qRed(a) - qRed(b), qGreen(a) - qGreen(b), qBlue(a) - qBlue(b)})
                    squared += d * d;
            }
        const double psnr = 10 * std::log10(255.0 * 255.0 / (squared / (160 * 120 * 3)));
        QVERIFY2(psnr > 35, qPrintable(QString::number(psnr)));
    }

    void overwriteKeepsTimesAndMode() {
        Sandbox box;
        box.writeFile("same.jpg", "old");
        const QByteArray path = QFile::encodeName(box.path("same.jpg"));
        ::chmod(path.constData(), 0640);
        const struct timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
        ::utimensat(AT_FDCWD, path.constData(), times, 0);
        QImage picture(8, 8, QImage::Format_RGB32);
        picture.fill(Qt::gray);
        cDIBSection dib;
        QVERIFY(WriteJpegFile(sectionOf(dib, picture), box.path("same.jpg"), 90));
        QCOMPARE(decode(box.path("same.jpg")).width, 8);
        QCOMPARE(modificationSeconds(box.path("same.jpg")), qint64(1000000000));
        struct stat info {};
        ::stat(path.constData(), &info);
        QCOMPARE(int(info.st_mode & 0777), 0640);
    }

    void readOnlyOldFileIsAFileAccessErrorAndStays() {
        Sandbox box;
        box.writeFile("ro.jpg", "old");
        ::chmod(QFile::encodeName(box.path("ro.jpg")).constData(), 0444);
        PermissionsEnforced enforced;
        QImage picture(8, 8, QImage::Format_RGB32);
        picture.fill(Qt::gray);
        cDIBSection dib;
        sectionOf(dib, picture);
        const long number = errorNumberOf([&] { WriteJpegFile(dib, box.path("ro.jpg"), 90); });
        QCOMPARE(number, ImagingError::fileAccess);
        QCOMPARE(box.readFile("ro.jpg"), QByteArray("old"));
    }

    void failedWriteLeavesTheOldFileWhole() {
        Sandbox box;
        QDir().mkpath(box.path("cam"));
        box.writeFile("cam/old.jpg", "old picture");
        ReadOnlyFolder readOnly(box.path("cam"));
        QImage picture(8, 8, QImage::Format_RGB32);
        picture.fill(Qt::gray);
        cDIBSection dib;
        sectionOf(dib, picture);
        std::string description;
        QCOMPARE(
            errorNumberOf([&] { WriteJpegFile(dib, box.path("cam/old.jpg"), 90); }, &description),
            jpegWriterError);
        QVERIFY(QString::fromStdString(description).startsWith("Failed to save to JPG "));
        QCOMPARE(box.readFile("cam/old.jpg"), QByteArray("old picture"));
    }

    void missingFolderAndEmptySectionRaise26001() {
        Sandbox box;
        QImage picture(8, 8, QImage::Format_RGB32);
        picture.fill(Qt::gray);
        cDIBSection dib;
        sectionOf(dib, picture);
        std::string description, source;
        QCOMPARE(errorNumberOf([&] { WriteJpegFile(dib, box.path("nowhere/x.jpg"), 90); },
                               &description, &source),
                 jpegWriterError);
        QVERIFY(QString::fromStdString(description).startsWith("Failed to save to JPG "));
        QCOMPARE(source, std::string("dunmoral.mIntelJPEGLibrary"));

        cDIBSection empty;
        QCOMPARE(errorNumberOf([&] { WriteJpegFile(empty, box.path("e.jpg"), 90); }, &description),
                 jpegWriterError);
        QVERIFY(!box.exists("e.jpg"));
    }

    void nonAsciiPathIsWritten() {
        Sandbox box;
        QImage picture(8, 8, QImage::Format_RGB32);
        picture.fill(Qt::gray);
        cDIBSection dib;
        const QString name = QString::fromUtf8("Hafen K\xc3\xb6ln \xe6\x9d\xb1.jpg");
        QVERIFY(WriteJpegFile(sectionOf(dib, picture), box.path(name), 90));
        QCOMPARE(decode(box.path(name)).width, 8);
    }
};

WEBCAMS_TEST(JpegWriterTest)

#include "test_jpegwriter.moc"
