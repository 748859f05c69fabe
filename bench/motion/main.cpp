// What the motion test adds to each picture: making its motion frame and feeding the detector,
// against the scaled TurboJPEG decode of a 1920 x 1080 JPEG that every picture costs anyway.
#include "imaging/picturedecoder.h"
#include "motion/motiondetector.h"
#include "photolike.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImageWriter>
#include <QPainter>
#include <cstdio>

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

// A cam's picture with someone standing at `x`, as a JPEG of quality 85.
QByteArray camJpeg(const QImage& scene, int x) {
    QImage picture = scene.copy();
    QPainter(&picture).fillRect(x, 500, 150, 350, QColor(140, 40, 40));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "JPEG");
    writer.setQuality(85);
    writer.write(picture);
    return bytes;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QImage scene = makePhotoLikePicture(1920, 1080, 7);
    const QByteArray jpegs[2] = {camJpeg(scene, 300), camJpeg(scene, 900)};
    std::printf("Motion frame and detector against the scaled decode of a 1920x1080 JPEG "
                "(%lld bytes)\n",
                static_cast<long long>(jpegs[0].size()));
    std::printf("%-9s %-9s %12s %12s %12s %8s\n", "panel", "decoded", "decode us", "frame us",
                "detector us", "ratio");
    for (const QSize panel : {QSize(160, 120), QSize(320, 180), QSize(480, 270)}) {
        const QImage decoded[2] = {DecodePicture(jpegs[0], panel).picture,
                                   DecodePicture(jpegs[1], panel).picture};
        int next = 0;
        const double decode = secondsPerCall([&] { DecodePicture(jpegs[++next % 2], panel); });
        const double frame = secondsPerCall([&] { MakeMotionFrame(decoded[++next % 2]); });
        const MotionFrame frames[2] = {MakeMotionFrame(decoded[0]), MakeMotionFrame(decoded[1])};
        MotionDetector detector;
        const double detect = secondsPerCall([&] { detector.feed(frames[++next % 2]); });
        std::printf("%4dx%-4d %4dx%-4d %12.1f %12.1f %12.1f %7.2f%%\n", panel.width(),
                    panel.height(), decoded[0].width(), decoded[0].height(), decode * 1e6,
                    frame * 1e6, detect * 1e6, 100 * (frame + detect) / decode);
    }
    std::printf("ratio: (frame + detector) / decode; the aim is at most 3%%\n");
    return 0;
}
