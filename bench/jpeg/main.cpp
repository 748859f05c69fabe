// Throughput of WriteJpegFile against a bare tjCompress2 into memory, on the same pixels.
#include "imaging/dibsection.h"
#include "imaging/jpegwriter.h"
#include "photolike.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <turbojpeg.h>

namespace {

// Seconds per call of `work`, the best of several rounds of enough calls to last ~0.3 s.
template <typename Work> double secondsPerCall(Work work) {
    work(); // warm up
    double best = 1e9;
    for (int round = 0; round < 5; ++round) {
        QElapsedTimer timer;
        timer.start();
        int calls = 0;
        do {
            work();
            ++calls;
        } while (timer.nsecsElapsed() < 300'000'000);
        best = std::min(best, double(timer.nsecsElapsed()) / 1e9 / calls);
    }
    return best;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    QTemporaryDir folder;
    std::printf(
        "WriteJpegFile at quality 90 against a bare tjCompress2 into memory (same pixels)\n");
    std::printf("%-10s %14s %14s %8s %14s %8s\n", "size", "new file", "bare encoder", "ratio",
                "replace file", "ratio");
    std::printf("%-10s %14s %14s %8s %14s %8s\n", "", "MP/s", "MP/s", "", "MP/s", "");
    for (QSize size : {QSize(640, 480), QSize(1920, 1080), QSize(3840, 2160)}) {
        cDIBSection dib;
        dib.CreateFromPicture(makePhotoLikePicture(size.width(), size.height(), 7));
        // Saves normally go to a new name (the name holds the time); replacing an existing file
        // costs more on file systems that flush a file renamed over another.
        int saved = 0;
        const double written = secondsPerCall([&] {
            const QString path = folder.filePath(QString("new%1.jpg").arg(saved++));
            WriteJpegFile(dib, path, 90);
            QFile::remove(path);
        });
        const QString samePath = folder.filePath("same.jpg");
        const double replaced = secondsPerCall([&] { WriteJpegFile(dib, samePath, 90); });

        tjhandle handle = tjInitCompress();
        const double bare = secondsPerCall([&] {
            unsigned char* jpeg = nullptr;
            unsigned long bytes = 0;
            tjCompress2(handle, dib.DIBSectionBitsPtr(), dib.Width(), dib.BytesPerScanLine(),
                        dib.Height(), TJPF_BGR, &jpeg, &bytes, TJSAMP_420, 90, TJFLAG_BOTTOMUP);
            tjFree(jpeg);
        });
        tjDestroy(handle);
        const double megapixels = size.width() * size.height() / 1e6;
        std::printf("%4dx%-5d %14.1f %14.1f %8.2f %14.1f %8.2f\n", size.width(), size.height(),
                    megapixels / written, megapixels / bare, bare / written, megapixels / replaced,
                    bare / replaced);
    }
    return 0;
}
