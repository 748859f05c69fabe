#include "app/timelapsecommand.h"

#include "app/commandline.h"
#include "app/programfolder.h"
#include "camlist/camlistfile.h"
#include "camlist/camlisttext.h"
#include "common/localtext.h"
#include "timelapse/timelapseexport.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdio>

int ExportTimelapseCommand(const CommandLine& line) {
    const ProgramPlaces places = ProgramPlacesOfThisRun(line.programFolder);
    if (!places.error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(terminalText(places.error)));
        return 1;
    }
    TimelapseOptions options;
    options.camFolder = places.folder + "/cam";
    options.camName = line.timelapseCam.toLocal8Bit(); // names are kept in the 8-bit encoding
    options.output = line.timelapseFile;
    options.framesPerSecond = line.framesPerSecond;
    options.from = line.from;
    options.to = line.to;
    options.skipDark = line.skipDark;
    options.skipRepeats = line.skipRepeats;
    // pictures that read as another cam's of the list are theirs
    const ReadResult list = readCamList(
        std::filesystem::path(QFile::encodeName(places.folder).toStdString()) / camListFileName);
    for (const std::string& name : camlisttext::listNames(list.bytes))
        options.otherCams.emplace_back(name.data(), qsizetype(name.size()));
    TimelapseExport film(options);
    const TimelapseSummary summary = film.run([](int done, int total) {
        if (done % 50 == 0)
            std::fprintf(stderr, "%s\n",
                         qPrintable(QCoreApplication::translate("TimelapseCommand",
                                                                "%1 of %n pictures", nullptr, total)
                                        .arg(done)));
        return true;
    });
    if (!summary.error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(terminalText(summary.error)));
        return 1;
    }
    std::printf("%s\n", qPrintable(terminalText(
                            TimelapseReport(summary, options.output, options.framesPerSecond))));

    return 0;
}
