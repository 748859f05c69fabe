#include "app/timelapsecommand.h"

#include "app/commandline.h"
#include "app/programfolder.h"
#include "camlist/camids.h"
#include "camlist/camlistfile.h"
#include "camlist/camlisttext.h"
#include "common/appidentity.h"
#include "common/localtext.h"
#include "common/prompter.h"
#include "config/camsettings.h"
#include "config/settings.h"
#include "history/camrules.h"
#include "timelapse/timelapseexport.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdio>

namespace {

// The command only reads settings: nothing is ever asked on a terminal.
class NoQuestions : public Prompter {
  public:
    PromptAnswer ask(QWidget*, const QString&, const QString&, PromptButtons) override {
        return PromptAnswer::Ignore;
    }
};

// The cam's motion choices and mask, as the program keeps them.
void readMotionChoices(TimelapseOptions& options) {
    const AppIdentity identity = LoadAppIdentity();
    NoQuestions quiet;
    SettingsStore store(identity.CompanyName, identity.ProductName, quiet);
    const CamSettings settings(store, identity.ProductName, identity.ProductName);
    options.motion = settings.value(motionSettingsKey, options.camName);
    options.mask = settings.value(motionMaskKey, options.camName);
}

} // namespace

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
    options.onlyMotion = line.onlyMotion;
    if (options.onlyMotion)
        readMotionChoices(options);
    // pictures that read as another cam's of the list are theirs; the names the cam had before
    // are its own
    const std::filesystem::path listFile =
        std::filesystem::path(QFile::encodeName(places.folder).toStdString()) / camListFileName;
    const ReadResult list = readCamList(listFile);
    for (const std::string& name : camlisttext::listNames(list.bytes))
        options.otherCams.emplace_back(name.data(), qsizetype(name.size()));
    CamIds ids(std::filesystem::path(listFile).replace_extension(".ids"));
    ids.load();
    options.formerNames = ids.namesOf(options.camName.toStdString()).former;
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
