#include "app/commandline.h"

#include "common/appidentity.h"
#include "common/version.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <algorithm>

namespace {

// An error, and how to read the help.
QString withHelpHint(const QString& error) {
    //: %2 is the program's name; --help is an option and stays as it is
    return QCoreApplication::translate("CommandLine", "%1\nTry \"%2 --help\".")
        .arg(error, QString::fromLatin1(version::executableName));
}

void checkProgramFolder(CommandLine& line, const QCommandLineParser& parser,
                        const QCommandLineOption& folder) {
    line.programFolder = parser.value(folder);
    if (parser.isSet(folder)) {
        // said at once, before any window opens
        const QFileInfo given(line.programFolder);
        if (line.programFolder.isEmpty() || !given.exists() || !given.isDir()) {
            line.action = CommandLine::Action::Error;
            line.text =
                (given.exists() ? QCoreApplication::translate(
                                      "CommandLine", "The program folder \"%1\" is not a folder.")
                                : QCoreApplication::translate(
                                      "CommandLine", "The program folder \"%1\" does not exist."))
                    .arg(line.programFolder);
        }
    }
}

// The options the program takes.
struct Options {
    QCommandLineOption help{{"h", "help"},
                            QCoreApplication::translate("CommandLine", "Shows this help.")};
    QCommandLineOption version{
        {"v", "version"},
        QCoreApplication::translate("CommandLine", "Shows the program's version.")};
    QCommandLineOption folder{
        "program-folder",
        QCoreApplication::translate(
            "CommandLine",
            "Keeps the cam list and the saved pictures in <folder>, which must exist."),
        "folder"};
    QCommandLineOption timelapse{"export-timelapse", "", "cam name"};
    QCommandLineOption framesPerSecond{"fps", "", "frames"};
    QCommandLineOption from{"from", "", "time"};
    QCommandLineOption to{"to", "", "time"};
    QCommandLineOption skipDark{"skip-dark", ""};
    QCommandLineOption skipRepeats{"skip-repeats", ""};
    QCommandLineOption onlyMotion{"only-motion", ""};

    // The options that go only with an export.
    QList<const QCommandLineOption*> ofExport() const {
        return {&framesPerSecond, &from, &to, &skipDark, &skipRepeats, &onlyMotion};
    }
};

CommandLine failure(const QString& text) {
    CommandLine line;
    line.action = CommandLine::Action::Error;
    line.text = text;
    return line;
}

CommandLine readTimelapse(const QCommandLineParser& parser, const Options& options) {
    CommandLine line;
    line.action = CommandLine::Action::ExportTimelapse;
    line.timelapseCam = parser.value(options.timelapse);
    line.timelapseFile = parser.positionalArguments().first();
    line.skipDark = parser.isSet(options.skipDark);
    line.skipRepeats = parser.isSet(options.skipRepeats);
    line.onlyMotion = parser.isSet(options.onlyMotion);
    if (line.timelapseCam.isEmpty())
        //: %1 is an option and stays as it is
        return failure(QCoreApplication::translate("CommandLine", "%1 needs a cam's name.")
                           .arg("--export-timelapse"));
    if (parser.isSet(options.framesPerSecond)) {
        bool number = false;
        line.framesPerSecond = parser.value(options.framesPerSecond).toInt(&number);
        if (!number || line.framesPerSecond < 1 || line.framesPerSecond > 120)
            //: %1 is an option and stays as it is; %2 is what was given
            return failure(QCoreApplication::translate(
                               "CommandLine",
                               "%1 takes a number of frames a second from 1 to 120, not \"%2\".")
                               .arg("--fps", parser.value(options.framesPerSecond)));
    }
    for (const auto& [option, moment] :
         {std::pair{&options.from, &line.from}, std::pair{&options.to, &line.to}}) {
        if (!parser.isSet(*option))
            continue;
        const QDateTime time = QDateTime::fromString(parser.value(*option), Qt::ISODate);
        if (!time.isValid())
            //: %1 is an option and stays as it is; %2 is what was given
            return failure(
                QCoreApplication::translate(
                    "CommandLine", "%1 takes a time such as 2026-12-07T08:00:00, not \"%2\".")
                    .arg("--" + option->names().first(), parser.value(*option)));
        *moment = time;
    }
    checkProgramFolder(line, parser, options.folder);
    return line;
}

// Written out here: the parser's own help needs an application object, and no window may open
// for it.
QString helpText(const QString& description) {
    //: %1 is the program's name, %2 what it does; the options stay as they are
    return QCoreApplication::translate(
               "CommandLine",
               "Usage: %1 [options]\n%2\n\nOptions:\n"
               "  -h, --help                 Shows this help.\n"
               "  -v, --version              Shows the program's version.\n"
               "  --program-folder <folder>  Keeps the cam list and the saved "
               "pictures in <folder>,\n"
               "                             which must exist.\n"
               "  --export-timelapse <cam name> <film.avi|film.mp4> [--fps <frames>]\n"
               "        [--from <time>] [--to <time>] [--skip-dark] [--skip-repeats]\n"
               "        [--only-motion]\n"
               "                             Makes a film of the cam's saved pictures "
               "(Motion-JPEG\n"
               "                             AVI, or H.264 when the name ends in .mp4)\n"
               "                             (10 frames a second unless --fps says; "
               "times as\n"
               "                             2026-12-07T08:00:00) without opening a "
               "window;\n"
               "                             --skip-dark leaves out dark pictures, "
               "--skip-repeats\n"
               "                             those nearly the same as the one "
               "before,\n"
               "                             --only-motion keeps the pictures with "
               "motion (by the\n"
               "                             cam's motion choices and mask).\n")
        .arg(version::executableName, description);
}

QString versionText(const AppIdentity& identity) {
    return QString("%1 %2.%3\n%4\n")
        .arg(identity.ProductName)
        .arg(version::major)
        .arg(version::minor)
        .arg(identity.CompanyName);
}

// What the export's arguments and options come to, or why they are wrong.
CommandLine readArguments(const QCommandLineParser& parser, const Options& options) {
    const bool exporting = parser.isSet(options.timelapse);
    const QList<const QCommandLineOption*> ofExport = options.ofExport();
    if (!exporting && std::any_of(ofExport.begin(), ofExport.end(),
                                  [&](const auto* option) { return parser.isSet(*option); }))
        //: %1 and %2 are options that go with the option %3; all stay as they are
        return failure(
            withHelpHint(QCoreApplication::translate("CommandLine", "%1 and %2 go with %3.")
                             .arg("--fps, --from, --to, --skip-dark, --skip-repeats",
                                  "--only-motion", "--export-timelapse")));
    const QStringList positional = parser.positionalArguments();
    if (exporting && positional.size() == 1)
        return readTimelapse(parser, options);
    if (exporting && positional.isEmpty())
        //: %1 is an option and stays as it is
        return failure(
            withHelpHint(QCoreApplication::translate(
                             "CommandLine", "%1 needs the film's file after the cam's name.")
                             .arg("--export-timelapse")));
    if (!positional.isEmpty()) // the film's file is the one argument an export takes
        return failure(
            withHelpHint(QCoreApplication::translate("CommandLine", "Unexpected argument: %1")
                             .arg(positional.value(exporting ? 1 : 0))));
    CommandLine line;
    checkProgramFolder(line, parser, options.folder);
    return line;
}

} // namespace

CommandLine ParseCommandLine(const QStringList& arguments) {
    const AppIdentity identity = LoadAppIdentity();
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QCoreApplication::translate("CommandLine",
                                    "%1: watch public webcams, each refreshed on its own interval.")
            .arg(identity.ProductName));
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    const Options options;
    parser.addOptions({options.help, options.version, options.folder, options.timelapse,
                       options.framesPerSecond, options.from, options.to, options.skipDark,
                       options.skipRepeats, options.onlyMotion});
    CommandLine line;
    if (!parser.parse(arguments))
        return failure(withHelpHint(parser.errorText()));
    if (parser.isSet(options.help)) {
        line.action = CommandLine::Action::ShowHelp;
        line.text = helpText(parser.applicationDescription());
    } else if (parser.isSet(options.version)) {
        line.action = CommandLine::Action::ShowVersion;
        line.text = versionText(identity);
    } else {
        line = readArguments(parser, options);
    }
    return line;
}
