#include "app/commandline.h"
#include "app/mainwindow.h"
#include "app/programfolder.h"
#include "app/splashwindow.h"
#include "app/termination.h"
#include "app/timelapsecommand.h"
#include "app/translation.h"
#include "common/appidentity.h"
#include "common/localtext.h"
#include "ui/messageboxprompter.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char** argv) {
    // the command line is read before anything could open a window
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    CommandLine line = ParseCommandLine(arguments);
    const AppIdentity identity = LoadAppIdentity();
    QCoreApplication::setApplicationName(identity.ProductName);
    QCoreApplication::setOrganizationName(identity.CompanyName);
    if (line.action != CommandLine::Action::Run) {
        // no window: what is asked is done or said, in the user's language, and the program ends
        QCoreApplication app(argc, argv);
        InstallTranslations(app);
        line = ParseCommandLine(arguments);
        if (line.action == CommandLine::Action::ExportTimelapse)
            return ExportTimelapseCommand(line);
        FILE* out = line.action == CommandLine::Action::Error ? stderr : stdout;
        QStringList lines = line.text.split('\n');
        for (QString& shown : lines) // an argument is echoed without its control characters
            shown = terminalText(shown);
        std::fputs(qPrintable(lines.join('\n')), out);
        if (!line.text.endsWith('\n'))
            std::fputs("\n", out);
        return line.action == CommandLine::Action::Error ? 2 : 0;
    }

    QApplication app(argc, argv);
    InstallTranslations(app);
    QGuiApplication::setDesktopFileName("example.tarvique.Webcams");
    MessageBoxPrompter prompter;

    const ProgramPlaces places = ProgramPlacesOfThisRun(line.programFolder);
    if (!places.error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(terminalText(places.error)));

        prompter.ask(nullptr, identity.ProductName, places.error, PromptButtons::Ok);
        return 1;
    }

    std::unique_ptr<MainWindow> mainWindow;
    SplashWindow splash([&]() -> QWidget* {
        mainWindow = std::make_unique<MainWindow>(identity, places.folder, prompter);
        mainWindow->setHelpFile(places.helpFile);
        mainWindow->load();
        return mainWindow.get();
    });
    // at logout the program ends as by its close box, keeping the running cams for next time
    TerminationWatch termination;
    QObject::connect(&termination, &TerminationWatch::terminationRequested, &app, [&] {
        if (mainWindow)
            mainWindow->close();
        else
            QCoreApplication::exit(0);
    });
    splash.load();
    splash.show();
    return app.exec();
}
