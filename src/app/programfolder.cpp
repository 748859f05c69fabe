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
            places.error = QCoreApplication::translate("ProgramFolder",
                                                       "The program folder %1 does not exist.")
                               .arg(explicitFolder);
        else if (!given.isDir())
            places.error = QCoreApplication::translate("ProgramFolder",
                                                       "The program folder %1 is not a folder.")
                               .arg(explicitFolder);
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
            userDataFolder.isEmpty()
                ? QCoreApplication::translate(
                      "ProgramFolder",
                      "The folder for your cams, in your home folder, could not be made.")
                : QCoreApplication::translate("ProgramFolder",
                                              "The folder for your cams, %1, could not be made.")
                      .arg(userDataFolder);
        return places;
    }
    places.folder = QDir::cleanPath(userDataFolder);
    return places;
}

ProgramPlaces ProgramPlacesOfThisRun(const QString& explicitFolder) {
    return ChooseProgramPlaces(explicitFolder, QCoreApplication::applicationDirPath(),
                               QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}
