#include "testmain.h"

#ifdef WEBCAMS_TEST_WITHOUT_GUI
#include <QCoreApplication>
using TestApplication = QCoreApplication; // the network library's tests run without Qt Gui
#else
#include <QApplication>
using TestApplication = QApplication;
#endif
#include <QList>
#include <QTest>
#include <cstring>
#include <utility>

namespace {

QList<std::pair<const char*, TestFactory>>& registry() {
    static QList<std::pair<const char*, TestFactory>> tests;
    return tests;
}

} // namespace

bool registerTest(const char* name, TestFactory factory) {
    registry().append({name, factory});
    return true;
}

int main(int argc, char** argv) {
    TestApplication app(argc, argv);
    const char* only = nullptr;
    QList<char*> passed{argv[0]};
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-class") == 0 && i + 1 < argc)
            only = argv[++i];
        else
            passed.append(argv[i]);
    }
    int failed = 0;
    bool ran = false;
    for (const auto& [name, factory] : registry()) {
        if (only && std::strcmp(only, name) != 0)
            continue;
        ran = true;
        QObject* test = factory();
        failed += QTest::qExec(test, int(passed.size()), passed.data());
        delete test;
    }
    return ran ? failed : 1;
}
