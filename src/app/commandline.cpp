#include "app/commandline.h"

#include "common/appidentity.h"
#include "common/version.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

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

CommandLine readTimelapse(const QCommandLineParser& parser, const QCommandLineOption& cam,
                          const QCommandLineOption& framesPerSecond, const QCommandLineOption& from,
                          const QCommandLineOption& to, const QCommandLineOption& folder) {
    CommandLine line;
    line.action = CommandLine::Action::ExportTimelapse;
    line.timelapseCam = parser.value(cam);
    line.timelapseFile = parser.positionalArguments().first();
    auto fail = [&line](const QString& text) {
        line.action = CommandLine::Action::Error;
        line.text = text;
        return line;
    };
    if (line.timelapseCam.isEmpty())
        //: %1 is an option and stays as it is
        return fail(QCoreApplication::translate("CommandLine", "%1 needs a cam's name.")
                        .arg("--export-timelapse"));
    if (parser.isSet(framesPerSecond)) {
        bool number = false;
        line.framesPerSecond = parser.value(framesPerSecond).toInt(&number);
        if (!number || line.framesPerSecond < 1 || line.framesPerSecond > 120)
            //: %1 is an option and stays as it is; %2 is what was given
            return fail(QCoreApplication::translate(
                            "CommandLine",
                            "%1 takes a number of frames a second from 1 to 120, not \"%2\".")
                            .arg("--fps", parser.value(framesPerSecond)));
    }
    for (const auto& [option, moment] : {std::pair{&from, &line.from}, std::pair{&to, &line.to}}) {
        if (!parser.isSet(*option))
            continue;
        const QDateTime time = QDateTime::fromString(parser.value(*option), Qt::ISODate);
        if (!time.isValid())
            //: %1 is an option and stays as it is; %2 is what was given
            return fail(
                QCoreApplication::translate(
                    "CommandLine", "%1 takes a time such as 2026-12-07T08:00:00, not \"%2\".")
                    .arg("--" + option->names().first(), parser.value(*option)));
        *moment = time;
    }
    checkProgramFolder(line, parser, folder);
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
    const QCommandLineOption help({"h", "help"},
                                  QCoreApplication::translate("CommandLine", "Shows this help."));
    const QCommandLineOption showVersion(
        {"v", "version"},
        QCoreApplication::translate("CommandLine", "Shows the program's version."));
    const QCommandLineOption folder(
        "program-folder",
        QCoreApplication::translate(
            "CommandLine",
            "Keeps the cam list and the saved pictures in <folder>, which must exist."),
        "folder");
    const QCommandLineOption timelapse("export-timelapse", "", "cam name");
    const QCommandLineOption framesPerSecond("fps", "", "frames");
    const QCommandLineOption from("from", "", "time");
    const QCommandLineOption to("to", "", "time");
    const QCommandLineOption skipDark("skip-dark", "");
    const QCommandLineOption skipRepeats("skip-repeats", "");
    parser.addOptions(
        {help, showVersion, folder, timelapse, framesPerSecond, from, to, skipDark, skipRepeats});

    CommandLine line;
    if (!parser.parse(arguments)) {
        line.action = CommandLine::Action::Error;
        line.text = withHelpHint(parser.errorText());
        return line;
    }
    if (parser.isSet(help)) {
        // written out here: the parser's own help needs an application object, and no window
        // may open for it
        line.action = CommandLine::Action::ShowHelp;
        //: %1 is the program's name, %2 what it does; the options stay as they are
        line.text = QCoreApplication::translate(
                        "CommandLine",
                        "Usage: %1 [options]\n%2\n\nOptions:\n"
                        "  -h, --help                 Shows this help.\n"
                        "  -v, --version              Shows the program's version.\n"
                        "  --program-folder <folder>  Keeps the cam list and the saved "
                        "pictures in <folder>,\n"
                        "                             which must exist.\n"
                        "  --export-timelapse <cam name> <film.avi> [--fps <frames>]\n"
                        "        [--from <time>] [--to <time>] [--skip-dark] [--skip-repeats]\n"
                        "                             Makes a Motion-JPEG film of the cam's "
                        "saved pictures\n"
                        "                             (10 frames a second unless --fps says; "
                        "times as\n"
                        "                             2026-12-07T08:00:00) without opening a "
                        "window;\n"
                        "                             --skip-dark leaves out dark pictures, "
                        "--skip-repeats\n"
                        "                             those nearly the same as the one "
                        "before.\n")
                        .arg(version::executableName, parser.applicationDescription());
        return line;
    }
    if (parser.isSet(showVersion)) {
        line.action = CommandLine::Action::ShowVersion;
        line.text = QString("%1 %2.%3\n%4\n")
                        .arg(identity.ProductName)
                        .arg(version::major)
                        .arg(version::minor)
                        .arg(identity.CompanyName);
        return line;
    }
    const bool exporting = parser.isSet(timelapse);
    if (!exporting && (parser.isSet(framesPerSecond) || parser.isSet(from) || parser.isSet(to) ||
                       parser.isSet(skipDark) || parser.isSet(skipRepeats))) {
        line.action = CommandLine::Action::Error;
        //: %1 and %2 are options that go with the option %3; all stay as they are
        line.text = withHelpHint(
            QCoreApplication::translate("CommandLine", "%1 and %2 go with %3.")
                .arg("--fps, --from, --to, --skip-dark", "--skip-repeats", "--export-timelapse"));
        return line;
    }
    const QStringList positional = parser.positionalArguments();
    if (exporting && positional.size() == 1) {
        line = readTimelapse(parser, timelapse, framesPerSecond, from, to, folder);
        line.skipDark = parser.isSet(skipDark);
        line.skipRepeats = parser.isSet(skipRepeats);
        return line;
    }
    if (exporting && positional.isEmpty()) {
        line.action = CommandLine::Action::Error;
        //: %1 is an option and stays as it is
        line.text =
            withHelpHint(QCoreApplication::translate(
                             "CommandLine", "%1 needs the film's file after the cam's name.")
                             .arg("--export-timelapse"));
        return line;
    }
    if (!positional.isEmpty()) {
        // the film's file is the one argument an export takes
        line.action = CommandLine::Action::Error;
        line.text =
            withHelpHint(QCoreApplication::translate("CommandLine", "Unexpected argument: %1")
                             .arg(positional.value(exporting ? 1 : 0)));
        return line;
    }
    checkProgramFolder(line, parser, folder);
    return line;
}
