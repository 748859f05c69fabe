// The cam list survives a crash at any moment of a rewrite, and a full disk.
#include "camlist/camlistfile.h"
#include "camlist/camlisttext.h"
#include "sandbox.h"

#include "testmain.h"
#include <QDir>

#include <QTest>
#include <csignal>
#include <random>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string bigList() {
    std::string text = "\r\n";
    for (int i = 0; i < 6000; ++i)
        text += camlisttext::recordText(
            {"cam" + std::to_string(i), "http://cams.example/" + std::to_string(i) + ".jpg", "30"});
    return text;
}

// Runs `work` in a child process; returns its exit status, or -1 when it was killed.
template <typename Work> int inChild(Work work, int killAfterMicroseconds = -1) {
    const pid_t pid = fork();
    if (pid == 0)
        _exit(work());
    if (killAfterMicroseconds >= 0) {
        usleep(useconds_t(killAfterMicroseconds));
        kill(pid, SIGKILL);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void removeLeftovers(const QString& folder) {
    for (const QString& name :
         QDir(folder).entryList({".00camlist.txt.*"}, QDir::Files | QDir::Hidden))
        QFile::remove(folder + "/" + name);
}

} // namespace

class CrashSafetyTest : public QObject {
    Q_OBJECT
  private slots:
    void killedRewritesLeaveTheOldOrTheNewList() {
        Sandbox box;
        const auto file = box.fsPath(camListFileName);
        const std::string before = bigList();
        const CamRecord edited{"renamed", "http://cams.example/new.jpg", "15"};
        const std::string deleted = camlisttext::withoutRecord(before, "cam3000");
        const std::string replaced = camlisttext::withRecordReplaced(before, "cam3000", edited);
        std::mt19937 random(20261207);
        std::uniform_int_distribution<int> moment(0, 4000);
        int old = 0, renewed = 0;
        for (int run = 0; run < 200; ++run) {
            box.writeFile(camListFileName, QByteArray::fromStdString(before));
            const bool edit = run % 2 == 1;
            inChild(
                [&] {
                    const FileResult result = edit ? ReplaceCamRecord(file, "cam3000", edited)
                                                   : DeleteCamRecord(file, "cam3000");
                    return result.ok ? 0 : 1;
                },
                moment(random));
            const std::string after = box.readFile(camListFileName).toStdString();
            const std::string& expected = edit ? replaced : deleted;
            QVERIFY2(after == before || after == expected,
                     qPrintable(QString("run %1 left %2 bytes").arg(run).arg(after.size())));
            (after == before ? old : renewed)++;
            removeLeftovers(box.programFolder());
        }
        qInfo("killed rewrites: %d left the old list, %d the new one", old, renewed);
    }

    void aFullDiskLeavesTheOldListAndSaysSo() {
        Sandbox box;
        const auto file = box.fsPath(camListFileName);
        const std::string before = bigList();
        box.writeFile(camListFileName, QByteArray::fromStdString(before));
        const int status = inChild([&] {
            signal(SIGXFSZ, SIG_IGN); // a write past the limit fails instead of killing
            const rlimit limit{4096, 4096};
            setrlimit(RLIMIT_FSIZE, &limit);
            const FileResult result = DeleteCamRecord(file, "cam10");
            return result.ok ? 0 : result.error.empty() ? 2 : 1;
        });
        QCOMPARE(status, 1); // failed, with a reason for the user
        QCOMPARE(box.readFile(camListFileName).toStdString(), before);
    }
};

WEBCAMS_TEST(CrashSafetyTest)

#include "test_crashsafety.moc"
