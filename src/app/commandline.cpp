#include "app/commandline.h"

#include "common/appidentity.h"
#include "common/version.h"

#include <QCommandLineParser>
#include <QFileInfo>

CommandLine ParseCommandLine(const QStringList& arguments) {
    const AppIdentity identity = LoadAppIdentity();
    QCommandLineParser parser;
    parser.setApplicationDescription(identity.ProductName +
                                     ": watch public webcams, each refreshed on its own interval.");
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    const QCommandLineOption help({"h", "help"}, "Shows this help.");
    const QCommandLineOption showVersion({"v", "version"}, "Shows the program's version.");
    const QCommandLineOption folder(
        "program-folder",
        "Keeps the cam list and the saved pictures in <folder>, which must exist.", "folder");
    parser.addOption(help);
    parser.addOption(showVersion);
    parser.addOption(folder);

    CommandLine line;
    if (!parser.parse(arguments)) {
        line.action = CommandLine::Action::Error;
        line.text = parser.errorText() + "\nTry \"" + version::executableName + " --help\".";
        return line;
    }
    if (!parser.positionalArguments().isEmpty()) {
        line.action = CommandLine::Action::Error;
        line.text = "Unexpected argument: " + parser.positionalArguments().first() + "\nTry \"" +
                    version::executableName + " --help\".";
        return line;
    }
    if (parser.isSet(help)) {
        // written out here: the parser's own help needs an application object, and no window
        // may open for it
        line.action = CommandLine::Action::ShowHelp;
        line.text = QString("Usage: %1 [options]\n%2\n\nOptions:\n"
                            "  -h, --help                 Shows this help.\n"
                            "  -v, --version              Shows the program's version.\n"
                            "  --program-folder <folder>  Keeps the cam list and the saved "
                            "pictures in <folder>,\n"
                            "                             which must exist.\n")
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
    line.programFolder = parser.value(folder);
    if (parser.isSet(folder)) {
        // said at once, before any window opens
        const QFileInfo given(line.programFolder);
        if (line.programFolder.isEmpty() || !given.exists() || !given.isDir()) {
            line.action = CommandLine::Action::Error;
            line.text = "The program folder \"" + line.programFolder + "\" " +
                        (given.exists() ? "is not a folder." : "does not exist.");
        }
    }
    return line;
}
