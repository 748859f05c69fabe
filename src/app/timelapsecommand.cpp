#include "app/timelapsecommand.h"

#include "app/commandline.h"
#include "app/programfolder.h"
#include "timelapse/timelapseexport.h"

#include <QCoreApplication>
#include <QStandardPaths>
#include <cstdio>

int ExportTimelapseCommand(const CommandLine& line) {
    const ProgramPlaces places =
        ChooseProgramPlaces(line.programFolder, QCoreApplication::applicationDirPath(),
                            QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    if (!places.error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(places.error));
        return 1;
    }
    TimelapseOptions options;
    options.camFolder = places.folder + "/cam";
    options.camName = line.timelapseCam.toLocal8Bit(); // names are kept in the 8-bit encoding
    options.output = line.timelapseFile;
    options.framesPerSecond = line.framesPerSecond;
    options.from = line.from;
    options.to = line.to;
    TimelapseExport film(options);
    const TimelapseSummary summary = film.run([](int done, int total) {
        if (done % 50 == 0)
            std::fprintf(stderr, "%d of %d pictures\n", done, total);
        return true;
    });
    if (!summary.error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(summary.error));
        return 1;
    }
    std::printf("%s\n",
                qPrintable(TimelapseReport(summary, options.output, options.framesPerSecond)));
    return 0;
}
