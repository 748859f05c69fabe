#include "app/controlsframe.h"
#include "app/mainmenus.h"
#include "app/secondarywindows.h"
#include "engine/camengine.h"
#include "listpane/camdialog.h"
#include "listpane/camlistpane.h"
#include "ui/aboutwindow.h"
#include "ui/helpwindow.h"
#include "ui/noticewindow.h"
#include "ui/websiteopener.h"
#include "windowfixture.h"

#include "testmain.h"
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenuBar>

#include <QTest>
#include <QTextBrowser>

namespace {

const QString product = "Tarvique Webcams";

QAction* menuItem(MainWindow& window, const QString& name) {
    return window.menuBar()->findChild<QAction*>(name);
}

// A program folder with settings and a help file prepared before the window loads.
struct Prepared {
    Sandbox box;
    ScriptedPrompter prompter;
    std::unique_ptr<SettingsStore> store;
    std::unique_ptr<MainWindow> window;
    QList<QUrl> opened;
    int ends = 0;

    Prepared() {
        box.writeFile("00camlist.txt", "\r\n[name]Cam\r\nhttp://127.0.0.1/x\r\n30\r\n\r\n");
        QFile::copy(QStringLiteral(HELP_RTF), box.path("Help.rtf"));
        store = std::make_unique<SettingsStore>("Tarvique Software", product, prompter);
    }

    void load() {
        window = std::make_unique<MainWindow>(LoadAppIdentity(), box.programFolder(), prompter);
        window->clock().setTimeServer("127.0.0.1", 1);
        window->setProcessEnd([this] { ++ends; });
        window->load();
    }
};

} // namespace

class ServicesTest : public QObject {
    Q_OBJECT
  private slots:
    void firstStartStoresNothingAndShowsHelp() {
        Prepared p;
        p.load();
        QVERIFY(!p.window->controls().autoSaveBox()->isChecked());
        QCOMPARE(p.store->ReadSetting(product, "Settings", "autoSave", "x").value, QString("x"));
        HelpWindow* help = p.window->windows().helpWindow();
        QVERIFY(help && help->isVisible());
        QCOMPARE(help->windowTitle(), QString("Readme/Help"));
        QVERIFY(help->showAtStartupBox()->isChecked());
        QVERIFY(help->document()->toPlainText().contains("Adding a cam"));
        QVERIFY(help->document()->isReadOnly());
        QVERIFY(help->windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(!p.window->windowIcon().isNull());
        QVERIFY(p.prompter.asked.isEmpty());
    }

    void storedChoicesAreHonoured() {
        Prepared p;
        p.store->WriteSetting(product, "Settings", "autoSave", "1");
        p.store->WriteUserSetting(product, "Settings", "showHelp", "0");
        // an hour back: a write at start-up would make it now
        QFile machine(p.store->machineFile(product));
        QVERIFY(machine.open(QIODevice::ReadWrite));
        const QDateTime written = QDateTime::currentDateTime().addSecs(-3600);
        QVERIFY(machine.setFileTime(written, QFileDevice::FileModificationTime));
        machine.close();
        p.load();
        QVERIFY(p.window->controls().autoSaveBox()->isChecked());
        QVERIFY(!p.window->windows().helpWindow());
        QCOMPARE(QFileInfo(p.store->machineFile(product)).lastModified(), written);

        p.window->menus().chooseHelpItem(0);
        QVERIFY(!p.window->windows().helpWindow()->showAtStartupBox()->isChecked());
        p.window->windows().showHelpWindow(); // "View Help" again: one window
        QCOMPARE(p.window->findChildren<HelpWindow*>().size(), 1);
    }

    void unreadableAutoSaveLeavesTheBoxClear_data() {
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("letters") << QByteArray("autoSave=yes\n");
        QTest::newRow("a list") << QByteArray("autoSave=1, 0\n");
        QTest::newRow("a number") << QByteArray("autoSave=@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x1)\n");
    }
    void unreadableAutoSaveLeavesTheBoxClear() {
        QFETCH(QByteArray, stored);
        Prepared p;
        const QString file = p.store->machineFile(product);
        QDir().mkpath(QFileInfo(file).absolutePath());
        QFile ini(file);
        ini.open(QIODevice::WriteOnly);
        ini.write("[Settings]\n" + stored);
        ini.close();
        p.load();
        QVERIFY(!p.window->controls().autoSaveBox()->isChecked());
        QVERIFY(p.window->isEnabled());
    }

    void theAutoSaveBoxWritesItsValue() {
        Prepared p;
        p.load();
        p.window->controls().autoSaveBox()->click();
        QCOMPARE(p.store->ReadSetting(product, "Settings", "autoSave", "x").value, QString("1"));
        p.window->controls().autoSaveBox()->click();
        QCOMPARE(p.store->ReadSetting(product, "Settings", "autoSave", "x").value, QString("0"));
    }

    void aNormalUserIsNotAskedAtFirstStart() {
        // the machine-wide folder is the administrator's; the user's own is writable
        Prepared p;
        ReadOnlyFolder readOnly(qEnvironmentVariable("XDG_CONFIG_DIRS"));
        p.load();
        QVERIFY(p.prompter.asked.isEmpty());
        QVERIFY(!QFileInfo::exists(p.store->machineFile(product)));
        p.window->controls().autoSaveBox()->click();
        QCOMPARE(p.store->ReadSetting(product, "Settings", "autoSave", "x").value, QString("1"));
        QVERIFY(p.prompter.asked.isEmpty());
        p.load(); // the next start shows the user's choice
        QVERIFY(p.window->controls().autoSaveBox()->isChecked());
    }

    void noWritableStoreAsksWhenTheUserChangesASetting() {
        Prepared p;
        ReadOnlyFolder system(qEnvironmentVariable("XDG_CONFIG_DIRS"));
        ReadOnlyFolder user(qEnvironmentVariable("XDG_CONFIG_HOME"));
        p.prompter.answers = {PromptAnswer::Ignore};
        p.load();
        QVERIFY(p.prompter.asked.isEmpty());
        p.window->controls().autoSaveBox()->click();
        QCOMPARE(p.prompter.asked.size(), 1);

        QCOMPARE(p.prompter.asked[0].title, QString("Permission Denied"));
        p.window->controls().autoSaveBox()->click(); // Ignore was remembered
        QCOMPARE(p.prompter.asked.size(), 1);
    }

    void menusCarryTheDesignedItems() {
        Prepared p;
        p.load();
        // the design's captions, with access keys and the desktop's usual shortcuts
        const QList<std::tuple<QString, QString, QKeySequence>> items = {
            {"mnuFileItem(0)", "Exit", QKeySequence(Qt::CTRL | Qt::Key_Q)},
            {"mnuCamItem(0)", "Add a Cam", QKeySequence(Qt::CTRL | Qt::Key_N)},
            {"mnuCamItem(1)", "Delete Selected Cam", QKeySequence(Qt::Key_Delete)},
            {"mnuCamItem(2)", "Edit Selected Cam", QKeySequence(Qt::Key_F2)},
            {"mnuCamItem(3)", "Start Selected Cam", {}},
            {"mnuCamItem(4)", "Stop All Cams", {}},
            {"mnuHelpItem(0)", "View Help", QKeySequence(Qt::Key_F1)},
            {"mnuAboutItem", "About this software", {}}};
        for (const auto& [name, caption, keys] : items) {
            QAction* item = menuItem(*p.window, name);
            QVERIFY2(item, qPrintable(name));
            QCOMPARE(QString(item->text()).remove('&'), caption);
            QVERIFY(item->text().contains('&'));
            QCOMPARE(item->shortcut(), keys);
        }
        QStringList menus;
        for (QAction* menu : p.window->menuBar()->actions())
            menus << QString(menu->text()).remove('&');
        QCOMPARE(menus, (QStringList{"File", "Cams", "View", "Help", "About"}));
    }

    void camMenuItemsRunTheButtons() {
        Prepared p;
        p.load();
        for (const char* item : {"mnuCamItem(1)", "mnuCamItem(2)", "mnuCamItem(3)"})
            menuItem(*p.window, item)->trigger();
        QCOMPARE(p.window->findChildren<NoticeWindow*>().size(), 1);
        QVERIFY(p.prompter.asked.isEmpty());
        menuItem(*p.window, "mnuCamItem(0)")->trigger();
        QVERIFY(p.window->camList().addDialog());
        p.window->camList().list()->setCurrentRow(0);
        menuItem(*p.window, "mnuCamItem(3)")->trigger();
        QCOMPARE(p.window->engine().activeCams(), 1);
        menuItem(*p.window, "mnuCamItem(4)")->trigger();
        QCOMPARE(p.window->engine().activeCams(), 0);
    }

    void aboutOpensFromTheMenuOnce() {
        Prepared p;
        p.load();
        menuItem(*p.window, "mnuAboutItem")->trigger();
        AboutWindow* about = p.window->windows().aboutWindow();
        QVERIFY(about && about->isVisible());
        QCOMPARE(about->windowTitle(), QString("About Tarvique Webcams"));
        p.window->windows().showAboutWindow();
        QCOMPARE(p.window->findChildren<AboutWindow*>().size(), 1);
        // Escape closes About and Help as their close boxes do
        QTest::keyClick(about, Qt::Key_Escape);
        QTRY_VERIFY(!p.window->windows().aboutWindow());
        p.window->windows().showHelpWindow();
        QTest::keyClick(p.window->windows().helpWindow(), Qt::Key_Escape);
        QTRY_VERIFY(!p.window->windows().helpWindow());
    }

    void closingTheMainWindowClosesTheOthers() {
        Prepared p;
        p.load();
        p.window->show();
        p.window->windows().showAboutWindow();
        p.window->camList().addCam();
        QPointer<HelpWindow> help = p.window->windows().helpWindow();
        QPointer<AboutWindow> about = p.window->windows().aboutWindow();
        QPointer<AddCamDialog> add = p.window->camList().addDialog();
        p.window->close();
        QCOMPARE(p.ends, 1);
        QVERIFY(!help || !help->isVisible());
        QVERIFY(!about || !about->isVisible());
        QVERIFY(!add || !add->isVisible());
    }

    void exitEndsAtOnce() {
        Prepared p;
        p.load();
        menuItem(*p.window, "mnuFileItem(0)")->trigger();
        QCOMPARE(p.ends, 1);
        QVERIFY(p.window->windows().helpWindow()->isVisible()); // nothing was unloaded one by one
    }
};

WEBCAMS_TEST(ServicesTest)
#include "test_services.moc"
