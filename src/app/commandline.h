#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

// What the command line asks for. Nothing opens a window but Run.
struct CommandLine {
    enum class Action { Run, ShowHelp, ShowVersion, ExportTimelapse, Error };
    Action action = Action::Run;
    QString programFolder; // --program-folder DIR
    QString text;          // the help, the version, or the error, ready to print

    // --export-timelapse "<cam name>" <film.avi> [--fps N] [--from TIME] [--to TIME]
    //     [--skip-dark] [--skip-repeats] [--only-motion]
    QString timelapseCam, timelapseFile;
    int framesPerSecond = 10;
    std::optional<QDateTime> from, to;
    bool skipDark = false, skipRepeats = false, onlyMotion = false;
};

// Reads the arguments (the program's name first), before any window exists.
CommandLine ParseCommandLine(const QStringList& arguments);
