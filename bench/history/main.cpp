// Reading one cam's history from a cam folder of 100,000 of its pictures (and 20,000 of another
// cam's, and some older names), against listing the folder's names alone.
#include "history/camhistory.h"
#include "imaging/savename.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

namespace {

void makeEmptyFiles(const QString& folder, const char* cam, int count) {
    for (int i = 0; i < count; ++i) {
        // a picture every 10 seconds from 1 December
        const int second = i * 10;
        const SaveMoment moment{
            2026, 12, 1 + second / 86400, second / 3600 % 24, second / 60 % 60, second % 60};
        QFile(folder + "/" + QString::fromStdString(TimedSaveFileName(cam, moment)))
            .open(QIODevice::WriteOnly);
    }
}

template <typename Work> double bestSeconds(Work work) {
    double best = 1e9;
    for (int round = 0; round < 3; ++round) {
        QElapsedTimer timer;
        timer.start();
        work();
        best = std::min(best, double(timer.nsecsElapsed()) / 1e9);
    }
    return best;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    makeEmptyFiles(folder.path(), "Harbour", 100'000);
    makeEmptyFiles(folder.path(), "Hill top", 20'000);
    for (int i = 0; i < 100; ++i) // older names, read by their date and time
        QFile(folder.filePath(QString("Harbour12%1202610%2%3AM.jpg")
                                  .arg(1 + i % 9)
                                  .arg(10 + i % 50)
                                  .arg(10 + i % 40)))
            .open(QIODevice::WriteOnly);

    size_t found = 0;
    const double history =
        bestSeconds([&] { found = CamHistory::read(folder.path(), {"Harbour", {}}).size(); });
    const double days = bestSeconds([&] { CamHistory::read(folder.path(), {"Harbour", {}}).days(); });
    const double names = bestSeconds([&] { QDir(folder.path()).entryList(QDir::Files); });
    std::printf("One cam's history in a folder of 120,100 saved pictures (the bound is 1 s)\n");
    std::printf("%-34s %10s %8s\n", "", "seconds", "ratio");
    std::printf("%-34s %10.3f %8s\n", "listing the folder's names", names, "1.00");
    std::printf("%-34s %10.3f %8.2f   (%zu pictures)\n", "CamHistory::read", history,
                history / names, found);
    std::printf("%-34s %10.3f %8.2f\n", "read, then its days", days, days / names);
    return 0;
}
