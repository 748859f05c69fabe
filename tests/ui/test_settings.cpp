#include "sandbox.h"
#include "scriptedprompter.h"
#include "config/settings.h"

#include "testmain.h"
#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include <QTest>
#include <sys/stat.h>

namespace {
const QString product = "Tarvique Webcams";
}

class SettingsTest : public QObject {
    Q_OBJECT
  private slots:
    void firstRunGivesTheDefaults() {
        Sandbox box;
        ScriptedPrompter prompter;
        SettingsStore store("Tarvique Software", product, prompter);
        const SettingRead autoSave = store.ReadSetting(product, "Settings", "autoSave", "0");
        QVERIFY(autoSave.ok());
        QCOMPARE(autoSave.value, QString("0"));
        QCOMPARE(store.ReadUserSetting(product, "Settings", "showHelp", "1"), QString("1"));
    }

    void valuesReadBackUnchanged() {
        Sandbox box;
        ScriptedPrompter prompter;
        SettingsStore store("Tarvique Software", product, prompter);
        for (const QString& value : {QString("1"), QString(""), QString(" a, b ; c=d \\ é")}) {
            store.WriteSetting(product, "Settings", "autoSave", value);
            QCOMPARE(store.ReadSetting(product, "Settings", "autoSave", "x").value, value);
            QVERIFY(store.WriteUserSetting(product, "Settings", "showHelp", value));
            QCOMPARE(store.ReadUserSetting(product, "Settings", "showHelp", "x"), value);
        }
        QVERIFY(prompter.asked.isEmpty());
        // the machine-wide store lies under XDG_CONFIG_DIRS, the user's under XDG_CONFIG_HOME
        QVERIFY(store.machineFile(product).startsWith(qEnvironmentVariable("XDG_CONFIG_DIRS")));
        QVERIFY(store.userFile(product).startsWith(qEnvironmentVariable("XDG_CONFIG_HOME")));
    }

    void blanksAroundNamesDoNotChangeTheAddress() {
        Sandbox box;
        ScriptedPrompter prompter;
        SettingsStore store(" Tarvique Software ", product, prompter);
        store.WriteSetting("  " + product + " ", " Settings  ", "autoSave", "1");
        QCOMPARE(store.ReadSetting(product, "Settings", "autoSave", "0").value, QString("1"));
    }

    void emptyNamesFailInOrder() {
        Sandbox box;
        ScriptedPrompter prompter;
        SettingsStore store("Tarvique Software", product, prompter);
        const SettingRead noApp = store.ReadSetting(" ", "", "", "d");
        QCOMPARE(noApp.error->number, long(0x800403E8));
        QCOMPARE(noApp.error->message, QString("AppName may not be empty"));
        const SettingRead noSection = store.ReadSetting(product, "", "", "d");
        QCOMPARE(noSection.error->number, long(0x800403E9));
        QCOMPARE(noSection.error->message, QString("Section may not be empty"));
        const SettingRead noKey = store.ReadSetting(product, "Settings", " ", "d");
        QCOMPARE(noKey.error->number, long(0x800403EA));
        QCOMPARE(noKey.error->message, QString("Key may not be empty"));
    }

    void valuesThatAreNotTextAreErrors() {
        Sandbox box;
        ScriptedPrompter prompter;
        SettingsStore store("Tarvique Software", product, prompter);
        const QString file = store.machineFile(product);
        QDir().mkpath(QFileInfo(file).absolutePath());
        {
            QSettings raw(file, QSettings::IniFormat);
            raw.setValue("Settings/autoSave", QStringList{"1", "0"});
            raw.setValue("Settings/number", 7);
            raw.sync();
        }
        QFile ini(file);
        ini.open(QIODevice::Append);
        ini.write("count=@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x1)\n");
        ini.close();
        const SettingRead list = store.ReadSetting(product, "Settings", "autoSave", "0");
        QVERIFY(!list.ok());
        QCOMPARE(list.error->message, QString("Registry data not a string"));
        QCOMPARE(list.error->number, long(0x800407D0) + 7);
    }

    void anUnreadableStoreCannotBeOpened() {
        Sandbox box;
        ScriptedPrompter prompter;
        SettingsStore store("Tarvique Software", product, prompter);
        store.WriteSetting(product, "Settings", "autoSave", "1");
        ::chmod(QFile::encodeName(store.machineFile(product)).constData(), 0);
        PermissionsEnforced enforced;
        const SettingRead read = store.ReadSetting(product, "Settings", "autoSave", "0");
        QVERIFY(!read.ok());
        QCOMPARE(read.error->message, QString("Could not open registry section"));
    }

    void aReadOnlySystemStoreTakesTheUsersOwnWithoutAsking() {
        Sandbox box;
        ScriptedPrompter prompter;
        SettingsStore store("Tarvique Software", product, prompter);
        {
            ReadOnlyFolder readOnly(qEnvironmentVariable("XDG_CONFIG_DIRS"));
            store.WriteSetting(product, "Settings", "autoSave", "1");
        }
        QVERIFY(prompter.asked.isEmpty());
        QVERIFY(!QFileInfo::exists(store.machineFile(product)));
        QCOMPARE(store.ReadSetting(product, "Settings", "autoSave", "0").value, QString("1"));
    }

    void theUsersOwnValueOverridesTheMachineWideDefault() {
        Sandbox box;
        ScriptedPrompter prompter;
        SettingsStore store("Tarvique Software", product, prompter);
        store.WriteSetting(product, "Settings", "autoSave", "1"); // the administrator's default
        {
            // as /etc/xdg is to a user: neither the folder nor the file may be written
            ReadOnlyFolder readOnly(QFileInfo(store.machineFile(product)).absolutePath());
            ReadOnlyFolder readOnlyFile(store.machineFile(product));
            store.WriteSetting(product, "Settings", "autoSave", "0"); // this user's choice
        }
        QCOMPARE(store.ReadSetting(product, "Settings", "autoSave", "x").value, QString("0"));
        QFile machine(store.machineFile(product));
        QVERIFY(machine.open(QIODevice::ReadOnly));
        QVERIFY(machine.readAll().contains("autoSave=1"));
        // another user, who never chose, still gets the default
        Sandbox other;
        QSettings otherMachine(store.machineFile(product), QSettings::IniFormat);
        otherMachine.setValue("Settings/autoSave", "1");
        otherMachine.sync();
        QCOMPARE(store.ReadSetting(product, "Settings", "autoSave", "x").value, QString("1"));
        // a later machine-wide write is not hidden by an old value of the user's own
        store.WriteSetting(product, "Settings", "autoSave", "0");
        QCOMPARE(store.ReadSetting(product, "Settings", "autoSave", "x").value, QString("0"));
    }

    void noWritableStoreAsksPermission() {
        Sandbox box;
        ScriptedPrompter prompter;
        SettingsStore store("Tarvique Software", product, prompter);
        const QString system = qEnvironmentVariable("XDG_CONFIG_DIRS");
        {
            ReadOnlyFolder readOnly(system);
            ReadOnlyFolder user(qEnvironmentVariable("XDG_CONFIG_HOME"));
            prompter.answers = {PromptAnswer::Abort};
            store.WriteSetting(product, "Settings", "autoSave", "1");
            QCOMPARE(prompter.asked.size(), 1);
            QCOMPARE(prompter.asked[0].title, QString("Permission Denied"));
            QCOMPARE(prompter.asked[0].buttons, PromptButtons::AbortRetryIgnore);
            QVERIFY(prompter.asked[0].text.startsWith(
                "Tarvique Webcams requires read/write access to the system registry"));
            QVERIFY(prompter.asked[0].text.contains(
                "account.\n\nIf you would like to prevent this error message from being "
                "displayed again, please press 'Ignore'."));
        }
        QCOMPARE(store.ReadSetting(product, "Settings", "autoSave", "0").value, QString("0"));
    }

    void retryStoresOnceTheFolderIsWritable() {
        Sandbox box;
        ScriptedPrompter prompter;
        SettingsStore store("Tarvique Software", product, prompter);
        const QString system = qEnvironmentVariable("XDG_CONFIG_DIRS");
        ReadOnlyFolder user(qEnvironmentVariable("XDG_CONFIG_HOME"));
        auto readOnly = std::make_unique<ReadOnlyFolder>(system);
        struct RetryThenGrant : ScriptedPrompter {
            std::unique_ptr<ReadOnlyFolder>* lock = nullptr;
            PromptAnswer ask(QWidget* w, const QString& t, const QString& x,
                             PromptButtons b) override {
                ScriptedPrompter::ask(w, t, x, b);
                if (asked.size() == 2)
                    lock->reset(); // the administrator grants access meanwhile
                return PromptAnswer::Retry;
            }
        } granting;
        granting.lock = &readOnly;
        SettingsStore retrying("Tarvique Software", product, granting);
        retrying.WriteSetting(product, "Settings", "autoSave", "1");
        QCOMPARE(granting.asked.size(), 2);
        QCOMPARE(store.ReadSetting(product, "Settings", "autoSave", "0").value, QString("1"));
    }

    void ignoreIsRememberedForTheUser() {
        Sandbox box;
        ScriptedPrompter prompter;
        SettingsStore store("Tarvique Software", product, prompter);
        {
            ReadOnlyFolder readOnly(qEnvironmentVariable("XDG_CONFIG_DIRS"));
            ReadOnlyFolder user(qEnvironmentVariable("XDG_CONFIG_HOME"));
            prompter.answers = {PromptAnswer::Ignore};
            store.WriteSetting(product, "Settings", "autoSave", "1");
            store.WriteSetting(product, "Settings", "autoSave", "0");
            QCOMPARE(prompter.asked.size(), 1);
        }
        // an Ignore that could be stored (here written before the stores were locked) is
        // remembered from run to run
        store.WriteUserSetting(product, "Settings", "IgnorePermissionDeniedError", "1");
        ReadOnlyFolder readOnly(qEnvironmentVariable("XDG_CONFIG_DIRS"));
        ReadOnlyFolder user(qEnvironmentVariable("XDG_CONFIG_HOME"));
        SettingsStore nextRun("Tarvique Software", product, prompter);
        nextRun.WriteSetting(product, "Settings", "autoSave", "1");
        QCOMPARE(prompter.asked.size(), 1);
    }
};

WEBCAMS_TEST(SettingsTest)
#include "test_settings.moc"
