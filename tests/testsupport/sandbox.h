#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <filesystem>

// A private program folder and private settings folders for one test; nothing touches the
// real ones. Removed with everything in it at the end of the test.
class Sandbox {
  public:
    Sandbox();
    ~Sandbox();

    QString programFolder() const { return dir.path() + "/program"; }
    QString path(const QString& relative) const { return programFolder() + "/" + relative; }
    std::filesystem::path fsPath(const QString& relative) const {
        return std::filesystem::path(path(relative).toStdString());
    }
    void writeFile(const QString& relative, const QByteArray& bytes) const;
    QByteArray readFile(const QString& relative) const;
    bool exists(const QString& relative) const;

  private:
    QTemporaryDir dir;
    QByteArray oldConfigHome, oldConfigDirs;
};

// While alive, the process obeys file permission bits even when it runs as root (CI does),
// so a read-only folder really is read-only in a test.
class PermissionsEnforced {
  public:
    PermissionsEnforced();
    ~PermissionsEnforced();
    PermissionsEnforced(const PermissionsEnforced&) = delete;
    PermissionsEnforced& operator=(const PermissionsEnforced&) = delete;

  private:
    bool dropped = false;
};

// Makes a folder read-only for the life of the object.
class ReadOnlyFolder {
  public:
    explicit ReadOnlyFolder(const QString& folder);
    ~ReadOnlyFolder();

  private:
    QString folder;
    PermissionsEnforced enforced;
};
