#include "app/programfolder.h"

#include "common/fileexists.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace {

// An installed copy has its help in <prefix>/share/dunmoral beside <prefix>/bin.
QString installedHelp(const QString& executableFolder) {
    return QDir::cleanPath(executableFolder + "/../share/dunmoral/Help.rtf");
}

} // namespace

bool IsWritableFolder(const QString& folder) {
    if (!FolderExists(folder))
        return false;
    QTemporaryFile probe(folder + "/.dunmoral-write-test-XXXXXX");
    return probe.open();
}

ProgramPlaces ChooseProgramPlaces(const QString& explicitFolder, const QString& executableFolder,
                                  const QString& userDataFolder) {
    ProgramPlaces places;
    const QString beside = executableFolder + "/Help.rtf";
    const bool installed =
        QFileInfo::exists(installedHelp(executableFolder)) && !QFileInfo::exists(beside);
    places.helpFile = installed ? installedHelp(executableFolder) : beside;

    if (!explicitFolder.isEmpty()) {
        const QFileInfo given(explicitFolder);
        if (!given.exists())
            places.error = "The program folder " + explicitFolder + " does not exist.";
        else if (!given.isDir())
            places.error = "The program folder " + explicitFolder + " is not a folder.";
        else
            places.folder = QDir::cleanPath(given.absoluteFilePath());
        return places;
    }
    if (!installed && IsWritableFolder(executableFolder)) {
        places.folder = executableFolder;
        return places;
    }
    if (userDataFolder.isEmpty() || !QDir().mkpath(userDataFolder)) {
        places.error =
            "The folder for your cams, " +
            (userDataFolder.isEmpty() ? QString("in your home folder") : userDataFolder) +
            ", could not be made.";
        return places;
    }
    places.folder = QDir::cleanPath(userDataFolder);
    return places;
}

ProgramPlaces ProgramPlacesOfThisRun(const QString& explicitFolder) {
    return ChooseProgramPlaces(explicitFolder, QCoreApplication::applicationDirPath(),
                               QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}
