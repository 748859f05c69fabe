#pragma once

#include <QString>

// Where the program keeps its cam list and its "cam" folder, and where its help lies.
struct ProgramPlaces {
    QString folder;   // the program folder, without a trailing "/"
    QString helpFile; // Help.rtf, beside the executable or in the installed share folder
    QString error;    // why no program folder could be had; empty when there is one
};

// The program folder is, in this order: the folder given with --program-folder (which must
// exist); the executable's own folder when it is writable and not an installed copy's (a build
// folder, a copy on a USB stick); otherwise the user's data folder (`userDataFolder`, in
// ~/.local/share), made when missing.
ProgramPlaces ChooseProgramPlaces(const QString& explicitFolder, const QString& executableFolder,
                                  const QString& userDataFolder);

// The same for this run of the program: its executable's folder and the user's data folder of
// the application's name. Needs an application object.
ProgramPlaces ProgramPlacesOfThisRun(const QString& explicitFolder);

// Whether a file can be made in `folder` (tried, not guessed from permission bits).
bool IsWritableFolder(const QString& folder);
