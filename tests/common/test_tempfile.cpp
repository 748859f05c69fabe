// The temporary picture files: whole or not at all, private, and never left behind.
#include "common/tempfile.h"
#include "testmain.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

class TempFileTest : public QObject {
    Q_OBJECT
    QTemporaryDir folder;

    QStringList leftovers() const { return QDir(folder.path()).entryList(QDir::Files); }

  private slots:
    void init() { qputenv("TMPDIR", QFile::encodeName(folder.path())); }
    void cleanup() {
        qunsetenv("TMPDIR");
        for (const QString& name : leftovers())
            QFile::remove(folder.filePath(name));
    }

    void writtenWholeAndPrivate() {
        QByteArray bytes(700 * 1024, '\0');
        for (qsizetype i = 0; i < bytes.size(); ++i)
            bytes[i] = char(i * 7);
        const QString name = WriteTempFile("vbt", bytes);
        QVERIFY(QFileInfo(name).fileName().startsWith("vbt"));
        QCOMPARE(QFileInfo(name).absolutePath(), QFileInfo(folder.path()).absoluteFilePath());
        QFile file(name);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), bytes);
        QCOMPARE(file.permissions() &
                     (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther),
                 QFile::Permissions());
        QVERIFY(WriteTempFile("vbt", bytes) != name); // every file is a new one

        // programs started meanwhile (a browser) do not get the open file
        const TempFile made = MakeTempFileName("vbt");
        QVERIFY(made.descriptor >= 0);
        QVERIFY(::fcntl(made.descriptor, F_GETFD) & FD_CLOEXEC);
        ::close(made.descriptor);
    }

    void whatACrashLeftIsRemovedWhenOld() {
        const QString old = MakeTempFileName("vbt").name, young = MakeTempFileName("vbt").name;
        const QString other = folder.filePath("vbtnotours"), foreign = folder.filePath("abc123456");
        for (const QString& path : {other, foreign})
            QVERIFY(QFile(path).open(QIODevice::WriteOnly));
        for (const QString& path : {old, other, foreign}) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadWrite));
            file.setFileTime(QDateTime::currentDateTime().addSecs(-2 * 3600),
                             QFileDevice::FileModificationTime);
        }
        QCOMPARE(RemoveStaleTempFiles("vbt", std::chrono::hours(1)), 1);
        QVERIFY(!QFile::exists(old));
        for (const QString& path : {young, other, foreign})
            QVERIFY(QFile::exists(path));
    }

    void missingFolderMakesNone() {

        qputenv("TMPDIR", QFile::encodeName(folder.filePath("missing")));
        QCOMPARE(WriteTempFile("vbt", "abc"), QString());
        QCOMPARE(MakeTempFileName("vbt").descriptor, -1);
    }

    void fullDiskLeavesNothing() {
        const pid_t child = fork();
        if (child == 0) {
            signal(SIGXFSZ, SIG_IGN); // a write past the limit fails instead of killing
            const rlimit limit{64 * 1024, 64 * 1024};
            setrlimit(RLIMIT_FSIZE, &limit);
            _exit(WriteTempFile("vbt", QByteArray(200 * 1024, 'x')).isEmpty() ? 0 : 1);
        }
        int status = 0;
        waitpid(child, &status, 0);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
        QCOMPARE(leftovers(), QStringList());
    }
};

WEBCAMS_TEST(TempFileTest)

#include "test_tempfile.moc"
