// Usage: bench_fetch [seconds a row] [WxH ...] [cams=N ...]
// The real panels, offscreen, fetching from democam: 1, 8 and 24 cams refreshing every second,
// at three picture sizes. For each row: pictures completed, process CPU per picture, peak
// resident memory, the largest lateness of a one-second tick, and the CPU per picture of a
// bare decode loop over the same bytes, with the ratio of the two.
#include "app/mainwindow.h"
#include "camlist/camlistpane.h"
#include "common/appidentity.h"
#include "common/prompter.h"
#include "fetch/camfetcher.h"
#include "fetch/campanelset.h"
#include "fetch/networkclock.h"

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QImageReader>
#include <QListWidget>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <sys/resource.h>
#include <time.h>

namespace {

double processCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double threadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

long statusKiB(const char* field) {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qsizetype(strlen(field))).trimmed().split(' ').first().toLong();
    return 0;
}

void resetPeakMemory() {
    QFile clear("/proc/self/clear_refs");
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

// Answers message boxes without a person (none is expected here).
class SilentPrompter : public Prompter {
  public:
    PromptAnswer ask(QWidget*, const QString&, const QString&, PromptButtons) override {
        return PromptAnswer::Ok;
    }
};

// Runs the event loop, idle when there is nothing to do, for the given time.
void wait(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

struct Row {
    int pictures = 0;
    double cpuPerPicture = 0;
    long peakMiB = 0, growthKiB = 0;
    double worstTickLateMs = 0;
    double decodePerPicture = 0;
};

Row measure(quint16 port, int cams, QSize size, int seconds) {
    QTemporaryDir folder;
    QByteArray list = "\r\n";
    for (int i = 0; i < cams; ++i)
        list += QString("[name]cam%1\r\nhttp://127.0.0.1:%2/cam%1-%3x%4.jpg\r\n1\r\n\r\n")
                    .arg(i, 2, 10, QChar('0'))
                    .arg(port)
                    .arg(size.width())
                    .arg(size.height())
                    .toUtf8();
    QFile file(folder.filePath("00camlist.txt"));
    file.open(QIODevice::WriteOnly);
    file.write(list);
    file.close();

    SilentPrompter prompter;
    MainWindow window(LoadAppIdentity(), folder.path(), prompter);
    window.clock().setTimeServer("127.0.0.1", 1);
    window.setProcessEnd([] {});
    window.settings().WriteUserSetting(LoadAppIdentity().ProductName, "Settings", "showHelp", "0");
    window.Form_Load();
    window.show();
    int pictures = 0;
    QList<QByteArray> bodies(cams); // each cam's last picture, for the bare decode below
    CamPanelSet& panels = window.panels();
    QObject::connect(&panels, &CamPanelSet::pictureShown, &window, [&](int i) {
        ++pictures;
        if (i < cams)
            bodies[i] = QByteArray::fromStdString(panels.fetcher(i)->response().responseBuffer);
    });
    for (int i = 0; i < cams; ++i) {
        window.camList().list()->setCurrentRow(i);
        window.cmdStartCam_Click();
    }
    wait(3000); // first pictures in, caches warm

    resetPeakMemory();
    double worstLate = 0;
    QElapsedTimer sinceTick;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(1000);
    QObject::connect(&tick, &QTimer::timeout, &window, [&] {
        worstLate = std::max(worstLate, double(sinceTick.nsecsElapsed()) / 1e6 - 1000);
        sinceTick.restart();
    });
    // with BENCH_RSS_TRACE set, resident memory every ten seconds goes to the error output
    QTimer trace;
    QObject::connect(&trace, &QTimer::timeout, &window,
                     [] { std::fprintf(stderr, "resident %ld KiB\n", statusKiB("VmRSS:")); });
    if (qEnvironmentVariableIsSet("BENCH_RSS_TRACE"))
        trace.start(10000);
    const int picturesBefore = pictures;
    const double cpuBefore = processCpuSeconds();
    sinceTick.start();
    tick.start();
    wait(seconds * 500);
    const long residentHalfway = statusKiB("VmRSS:");
    wait(seconds * 500);
    tick.stop();

    Row row;
    row.pictures = pictures - picturesBefore;
    row.cpuPerPicture = (processCpuSeconds() - cpuBefore) / std::max(1, row.pictures);
    row.peakMiB = statusKiB("VmHWM:") / 1024;
    row.growthKiB = statusKiB("VmRSS:") - residentHalfway;
    row.worstTickLateMs = worstLate;

    // the bare decode of the same bytes, in the same process
    panels.cmdStopAll_Click();
    bodies.removeAll(QByteArray());
    if (bodies.isEmpty())
        return row;
    const double decodeStart = threadCpuSeconds();
    int decoded = 0;
    QElapsedTimer budget;
    budget.start();
    while (decoded < 5 || budget.elapsed() < 2000) {
        QBuffer buffer(&bodies[decoded % bodies.size()]);
        QImageReader reader(&buffer);
        reader.setDecideFormatFromContent(true);
        if (reader.read().isNull())
            return row; // not a picture: no figure for this row
        ++decoded;
    }
    row.decodePerPicture = (threadCpuSeconds() - decodeStart) / decoded;
    return row;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_LOGGING_RULES", "qt.qpa.*=false");
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 20;
    // a row per size given, or all three
    QList<QSize> sizes;
    QList<int> camCounts;
    for (int i = 2; i < argc; ++i) {
        const QByteArray word(argv[i]);
        const QList<QByteArray> wh = word.split('x');
        if (wh.size() == 2)
            sizes << QSize(wh[0].toInt(), wh[1].toInt());
        else if (word.startsWith("cams="))
            camCounts << word.mid(5).toInt();
    }
    if (camCounts.isEmpty())
        camCounts = {1, 8, 24};
    if (sizes.isEmpty())
        sizes = {QSize(640, 480), QSize(1920, 1080), QSize(3840, 2160)};
    // settings of its own: the real user's are never read or written
    QTemporaryDir settings;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(settings.filePath("user")));
    qputenv("XDG_CONFIG_DIRS", QFile::encodeName(settings.filePath("system")));

    QProcess democam;
    quint16 port = 0;
    for (quint16 candidate = 8188; candidate < 8200 && !port; ++candidate) {
        democam.start(QCoreApplication::applicationDirPath() + "/../tools/democam",
                      {QString::number(candidate)});
        if (democam.waitForReadyRead(5000) && democam.state() == QProcess::Running)
            port = candidate;
        else
            democam.kill(), democam.waitForFinished();
    }
    if (!port) {
        std::fprintf(stderr, "democam did not start (build it with: cmake --build build)\n");
        return 1;
    }

    std::printf("Fetch pipeline, refresh 1 s, %d s a row (CPU in seconds; decode = bare "
                "QImageReader on the same bytes)\n",
                seconds);
    std::printf("%-10s %5s %9s %12s %9s %10s %12s %13s %7s\n", "size", "cams", "pictures",
                "CPU/picture", "peak MB", "growth KB", "worst tick", "decode/pict.", "ratio");
    for (QSize size : sizes) {
        for (int cams : camCounts) {
            const Row row = measure(port, cams, size, seconds);
            std::printf("%4dx%-5d %5d %9d %12.4f %9ld %10ld %10.1f ms %13.4f %7.2f\n", size.width(),
                        size.height(), cams, row.pictures, row.cpuPerPicture, row.peakMiB,
                        row.growthKiB, row.worstTickLateMs, row.decodePerPicture,
                        row.cpuPerPicture / row.decodePerPicture);
            std::fflush(stdout);
        }
    }
    democam.kill();
    democam.waitForFinished();
    return 0;
}
