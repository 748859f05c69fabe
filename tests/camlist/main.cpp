#include <QCoreApplication>
#include <QTest>

QObject* makeCamListTextTest();
QObject* makeCamListFileTest();
QObject* makeCrashSafetyTest();

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int failed = 0;
    for (QObject* test : {makeCamListTextTest(), makeCamListFileTest(), makeCrashSafetyTest()}) {
        failed += QTest::qExec(test, argc, argv);
        delete test;
    }
    return failed;
}
