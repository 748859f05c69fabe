#include <QGuiApplication>
#include <QTest>

QObject* makeDibSectionTest();
QObject* makeJpegWriterTest();

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    int failed = 0;
    for (QObject* test : {makeDibSectionTest(), makeJpegWriterTest()}) {
        failed += QTest::qExec(test, argc, argv);
        delete test;
    }
    return failed;
}
