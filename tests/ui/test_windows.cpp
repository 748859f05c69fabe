// The help window, the About window and the website opener, each on its own.
#include "common/appidentity.h"
#include "ui/aboutwindow.h"
#include "ui/helpwindow.h"
#include "config/settings.h"
#include "ui/statustext.h"
#include "ui/websiteopener.h"

#include "sandbox.h"
#include "scriptedprompter.h"
#include "testmain.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QTest>
#include <QTextBrowser>

namespace {

const QString product = "Tarvique Webcams";

// A program folder with the real help file and the settings stores of one user.
struct HelpFixture {
    Sandbox box;
    ScriptedPrompter prompter;
    SettingsStore store{"Tarvique Software", product, prompter};

    HelpFixture() { QFile::copy(QStringLiteral(HELP_RTF), box.path("Help.rtf")); }

    std::unique_ptr<HelpWindow> open() {
        auto help = std::make_unique<HelpWindow>(box.path("Help.rtf"), product, store);
        help->show();
        return help;
    }
};

} // namespace

class UiWindowsTest : public QObject {
    Q_OBJECT
  private slots:
    void helpShowsTheDocumentOnTop() {
        HelpFixture f;
        auto help = f.open();
        QCOMPARE(help->windowTitle(), QString("Readme/Help"));
        QVERIFY(help->showAtStartupBox()->isChecked());
        QVERIFY(help->document()->toPlainText().contains("Adding a cam"));
        QVERIFY(help->document()->isReadOnly());
        QVERIFY(help->windowFlags() & Qt::WindowStaysOnTopHint);
    }

    void showAtStartupIsStoredPerUser() {
        HelpFixture f;
        auto help = f.open();
        help->showAtStartupBox()->click();
        QCOMPARE(f.store.ReadUserSetting(product, "Settings", "showHelp", "x"), QString("0"));
        help->showAtStartupBox()->click();
        QCOMPARE(f.store.ReadUserSetting(product, "Settings", "showHelp", "x"), QString("1"));
        f.store.WriteUserSetting(product, "Settings", "showHelp", "0");
        QVERIFY(!f.open()->showAtStartupBox()->isChecked());
    }

    void badHelpFilesStillOpenTheWindow_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("shows");
        QTest::newRow("empty") << QByteArray() << QString();
        QTest::newRow("truncated")
            << QByteArray("{\\rtf1 Half a help fi") << QString("Half a help fi");
        QTest::newRow("deep") << (QByteArray(50000, '{') + "deep") << QString();
        QTest::newRow("not rtf") << QByteArray("just words") << QString("just words");
    }
    void badHelpFilesStillOpenTheWindow() {
        QFETCH(QByteArray, content);
        QFETCH(QString, shows);
        HelpFixture f;
        f.box.writeFile("Help.rtf", content);
        auto help = f.open();
        QVERIFY(help->isVisible());
        QVERIFY(help->document()->toPlainText().contains(shows));
    }

    void theHelpComesInTheUsersLanguage() {
        HelpFixture f;
        f.box.writeFile("Help_de.rtf", "{\\rtf1 Hilfe}");
        const QString english = f.box.path("Help.rtf");
        QCOMPARE(HelpFileFor(english, QLocale("de_DE")), f.box.path("Help_de.rtf"));
        QCOMPARE(HelpFileFor(english, QLocale("fr_FR")), english); // none in French
        QCOMPARE(HelpFileFor(english, QLocale("en_GB")), english);
    }

    void aMissingHelpFileIsSaidSo() {
        HelpFixture f;
        QFile::remove(f.box.path("Help.rtf"));
        auto help = f.open();
        QVERIFY(help->isVisible());
        QVERIFY(help->document()->toPlainText().contains("help file is missing"));
    }

    void aboutShowsTheVersionInformation() {
        AboutWindow about(LoadAppIdentity(), 1, 0);
        QCOMPARE(about.windowTitle(), QString("About Tarvique Webcams"));
        QCOMPARE(about.findChild<QLabel*>("Label1")->text(), product);
        QCOMPARE(about.findChild<QLabel*>("lblCompany")->text(), QString("Tarvique Software"));
        QCOMPARE(about.findChild<QLabel*>("lblVersion")->text(), QString("1.0"));
        QCOMPARE(about.findChild<QLabel*>("lblWebsite")->text(), LoadAppIdentity().Website);
        int clicks = 0;
        connect(&about, &AboutWindow::websiteClicked, &about, [&] { ++clicks; });
        about.show();
        QTest::mouseClick(about.findChild<QLabel*>("lblWebsite"), Qt::LeftButton);
        QCOMPARE(clicks, 1);
    }

    void websiteOpensOncePerSecond() {
        QList<QUrl> opened;
        WebsiteOpener opener([&](const QUrl& url) { opened << url; });
        opener.openWebsite();
        opener.openWebsite(); // within the second: waits for the next load
        QCOMPARE(opened.size(), 1);
        QCOMPARE(opened[0], QUrl("http://" + LoadAppIdentity().Website));
        QCOMPARE(opener.websiteRequest(), QString("Website"));
        QTRY_VERIFY_WITH_TIMEOUT(!opener.isLoaded(), 3000);
        opener.openWebsite();
        QCOMPARE(opened.size(), 2);
    }

    void statusTextShowsItsLineAndCutsItAtTheEnd() {
        StatusText status;
        status.setMinimumWidth(200);
        status.resize(200, status.sizeHint().height());
        const auto inkedColumns = [&status] {
            const QImage shown = status.grab().toImage();
            const QRgb background = shown.pixel(shown.width() - 1, 0);
            int columns = 0;
            for (int x = 0; x < shown.width(); ++x)
                for (int y = 0; y < shown.height(); ++y)
                    if (shown.pixel(x, y) != background) {
                        ++columns;
                        break;
                    }
            return columns;
        };
        QCOMPARE(inkedColumns(), 0);
        status.setText("Downloading cam.jpg [42.5]");
        QCOMPARE(status.text(), QString("Downloading cam.jpg [42.5]"));
        const int shortText = inkedColumns();
        QVERIFY(shortText > 50);
        // a text longer than the panel is cut, and asks for no more room
        const QSize hint = status.sizeHint();
        status.setText(QString(500, 'W'));
        QCOMPARE(status.sizeHint(), hint);
        QVERIFY(inkedColumns() > shortText);
    }

    void schemesAnywhereAreKept() {
        QCOMPARE(WebsiteOpener::websiteTarget("www.x.example"), QString("http://www.x.example"));
        QCOMPARE(WebsiteOpener::websiteTarget("HTTPS://x.example"), QString("HTTPS://x.example"));
        QCOMPARE(WebsiteOpener::websiteTarget("see http://x.example"),
                 QString("see http://x.example"));
    }
};

WEBCAMS_TEST(UiWindowsTest)
#include "test_windows.moc"
