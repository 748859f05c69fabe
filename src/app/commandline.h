#pragma once

#include <QString>
#include <QStringList>

// What the command line asks for. Nothing opens a window but Run.
struct CommandLine {
    enum class Action { Run, ShowHelp, ShowVersion, Error };
    Action action = Action::Run;
    QString programFolder; // --program-folder DIR
    QString text;          // the help, the version, or the error, ready to print
};

// Reads the arguments (the program's name first), before any window exists.
CommandLine ParseCommandLine(const QStringList& arguments);
