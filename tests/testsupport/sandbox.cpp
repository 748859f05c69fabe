#include "sandbox.h"

#include <QDir>
#include <QFile>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

Sandbox::Sandbox() {
    QDir().mkpath(programFolder());
    QDir().mkpath(dir.path() + "/config-home");
    QDir().mkpath(dir.path() + "/config-system");
    oldConfigHome = qgetenv("XDG_CONFIG_HOME");
    oldConfigDirs = qgetenv("XDG_CONFIG_DIRS");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.path() + "/config-home"));
    qputenv("XDG_CONFIG_DIRS", QFile::encodeName(dir.path() + "/config-system"));
}

Sandbox::~Sandbox() {
    qputenv("XDG_CONFIG_HOME", oldConfigHome);
    qputenv("XDG_CONFIG_DIRS", oldConfigDirs);
    // Make everything writable again so the folder can be removed.
    ::chmod(QFile::encodeName(programFolder()).constData(), 0755);
}

void Sandbox::writeFile(const QString& relative, const QByteArray& bytes) const {
    QFile file(path(relative));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}

QByteArray Sandbox::readFile(const QString& relative) const {
    QFile file(path(relative));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool Sandbox::exists(const QString& relative) const {
    return QFile::exists(path(relative));
}

namespace {

bool setEffectiveDacOverride(bool on) {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    if (syscall(SYS_capget, &header, data) != 0)
        return false;
    const unsigned bits = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);
    if (on)
        data[0].effective |= (data[0].permitted & bits);
    else
        data[0].effective &= ~bits;
    return syscall(SYS_capset, &header, data) == 0;
}

} // namespace

PermissionsEnforced::PermissionsEnforced() {
    if (::geteuid() == 0)
        dropped = setEffectiveDacOverride(false);
}

PermissionsEnforced::~PermissionsEnforced() {
    if (dropped)
        setEffectiveDacOverride(true);
}

ReadOnlyFolder::ReadOnlyFolder(const QString& f) : folder(f) {
    ::chmod(QFile::encodeName(folder).constData(), 0555);
}

ReadOnlyFolder::~ReadOnlyFolder() {
    ::chmod(QFile::encodeName(folder).constData(), 0755);
}
