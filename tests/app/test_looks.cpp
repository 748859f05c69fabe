// How the windows look: every window and dialog is shown over demo cams, kept as a PNG in
// build/screenshots/<look>/ (the look comes from WEBCAMS_LOOK: "1x", "2x" with QT_SCALE_FACTOR=2,
// "dark" with a dark palette, "de" in German, "10pt" and "12pt" with a desktop font of that size
// on a 1280 x 800 screen), and no label's text may be wider than its label. Every dialog closes
// with Escape.
#include "app/mainwindow.h"
#include "ui/elidedlabel.h"
#include "viewer/detailsblock.h"
#include "viewer/fullscreenview.h"
#include "viewer/viewerpane.h"

#include "democamserver.h"
#include "testmain.h"
#include "windowfixture.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QLibraryInfo>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTranslator>

namespace {

QString look() {
    return qEnvironmentVariable("WEBCAMS_LOOK", "1x");
}

// A dark palette as dark desktop themes give: light text on dark windows and fields.
QPalette darkPalette() {
    QPalette dark(QColor(45, 45, 48), QColor(45, 45, 48));
    dark.setColor(QPalette::Base, QColor(30, 30, 30));
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        dark.setColor(role, QColor(230, 230, 230));
    dark.setColor(QPalette::Link, QColor(42, 130, 218));
    return dark;
}

// The window's size: the screen's, at most 1600 x 1000.
QSize windowSize() {
    return QApplication::primaryScreen()->availableSize().boundedTo(QSize(1600, 1000));
}

// Labels and buttons whose text does not fit them. Only a name, an address or a server's own
// words may be cut, and then the label says them whole on hover; wrapped text must have the
// height its lines need; rich text is laid out by Qt.
QStringList labelsCut(const QWidget* window) {
    QStringList cut;
    for (const QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
        const QString text = QString(button->text()).remove('&');
        if (button->isVisibleTo(window) && !text.isEmpty() && !button->inherits("QCheckBox") &&
            button->fontMetrics().horizontalAdvance(text) + 6 > button->width())
            cut << QString("%1 \"%2\"").arg(button->objectName(), text);
    }
    for (const QLabel* label : window->findChildren<QLabel*>()) {
        if (!label->isVisibleTo(window) || label->text().isEmpty() ||
            Qt::mightBeRichText(label->text()))
            continue;
        if (label->wordWrap()) {
            if (label->heightForWidth(label->width()) > label->height())
                cut << QString("%1 \"%2\" (wrapped)").arg(label->objectName(), label->text());
            continue;
        }
        if (const auto* elided = qobject_cast<const ElidedLabel*>(label);
            elided &&
            QStringList{"lblName", "lblSource", "lblLastChanged"}.contains(label->objectName())) {
            if (elided->isElided() && !elided->toolTip().startsWith(label->text()))
                cut << QString("%1 \"%2\" (not on hover)").arg(label->objectName(), label->text());
            continue;
        }
        const QFontMetrics metrics(label->font());
        for (const QString& line : label->text().split('\n'))
            if (metrics.horizontalAdvance(line) > label->contentsRect().width())
                cut << QString("%1 \"%2\"").arg(label->objectName(), line);
    }
    return cut;
}

QDialog* openDialog() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<QDialog*>(widget); dialog && dialog->isVisible())
            return dialog;
    return nullptr;
}

} // namespace

class LooksTest : public QObject {
    Q_OBJECT
    DemoCamServer m_cams;
    QDir m_shots;

    void keep(QWidget* window, const QString& name) {
        QVERIFY(window->grab().save(m_shots.filePath(name + ".png")));
        const QStringList cut = labelsCut(window);
        QVERIFY2(cut.isEmpty(), qPrintable(name + ": " + cut.join(", ")));
    }

  private slots:
    void initTestCase() {
        QVERIFY(m_cams.listen(0));
        m_shots.setPath(QStringLiteral(SCREENSHOTS "/") + look());
        QVERIFY(m_shots.mkpath("."));
        if (look() == "dark")
            QApplication::setPalette(darkPalette());
        if (look().endsWith("pt")) {
            QFont desktop = QApplication::font();
            desktop.setPointSize(look().chopped(2).toInt());
            QApplication::setFont(desktop);
        }
        if (look() == "de") {
            auto* german = new QTranslator(this);
            QVERIFY(german->load(QStringLiteral(TRANSLATIONS "/dunmoral_de.qm")));
            QApplication::installTranslator(german);
            auto* qt = new QTranslator(this); // the dialogs' standard buttons
            if (qt->load(QLocale(QLocale::German), "qtbase", "_",
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
                QApplication::installTranslator(qt);
        }
    }

    void everyWindowAsTheUserSeesIt() {
        QByteArray list = "\r\n";
        const QString base = QString("http://127.0.0.1:%1/").arg(m_cams.port());
        for (const char* cam : {"station-1920x1080.jpg", "harbour.jpg", "hilltop-1280x720.jpg",
                                "market.jpg", "northgate-800x600.jpg", "quay.mjpg?fps=2"})
            list += ("[name]" + QString(cam).section('.', 0, 0).section('-', 0, 0) + "\r\n" + base +
                     cam + "\r\n5\r\n\r\n")
                        .toUtf8();
        WindowFixture f(list);
        f.window->setHelpFile(HELP_RTF);
        f.window->resize(windowSize());
        f.window->show();
        for (const QString name : {"station", "harbour", "hilltop", "market", "northgate", "quay"})
            f.start(name);
        QTRY_VERIFY_WITH_TIMEOUT(f.panel(5)->hasPicture() && f.panel(0)->hasPicture(), 20000);
        f.engine().selection().follow(0);
        ViewerPane& viewer = f.window->viewer();
        // decoded whole; on the small screen at the scale that still covers it (3/4)
        const int decodedWidth = windowSize().width() < 1600 ? 1440 : 1920;
        QTRY_COMPARE_WITH_TIMEOUT(viewer.picture().width(), decodedWidth, 10000);
        keep(f.window.get(), "main-window-fit");
        viewer.details()->zoomSlider()->setValue(3);
        keep(f.window.get(), "viewer-zoom3");
        // the wall's layouts at a small and a large screen's size, then the designed panels again
        for (const char* layout : {"auto", "1x1", "2x2", "4x4", "one-large", "designed"})
            for (const QSize size : {QSize(1280, 800), QSize(2560, 1440)}) {
                f.window->findChild<QAction*>(QString("layoutAction(%1)").arg(layout))->trigger();
                f.window->resize(size);
                keep(f.window.get(),
                     QString("wall-%1-%2x%3").arg(layout).arg(size.width()).arg(size.height()));
            }
        f.window->resize(windowSize());

        f.select("harbour");
        while (QDialog* shownAtStart = openDialog()) // the help, shown at the first start
            shownAtStart->close();
        // each dialog by its menu item; Escape closes it
        for (const char* item :
             {"mnuCamItem(0)", "mnuCamItem(2)", "exportTimelapseAction", "exportCamListAction",
              "keepPicturesAction", "dailyFilmsAction", "mnuHelpItem(0)", "mnuAboutItem"}) {
            f.window->findChild<QAction*>(item)->trigger();
            QTRY_VERIFY(openDialog());
            QDialog* dialog = openDialog();
            if (const auto* count = dialog->findChild<QLabel*>("countLabel")) // pictures found
                QTRY_VERIFY(count->text().contains(QRegularExpression("\\d")));
            keep(dialog, QString(item).remove(QRegularExpression("[()]")));
            QTest::keyClick(dialog, Qt::Key_Escape);
            QTRY_VERIFY2(!openDialog(), item);
        }
        viewer.openFullScreenView();
        QTRY_VERIFY(viewer.fullScreenView() && viewer.fullScreenView()->isVisible());
        QVERIFY(viewer.fullScreenView()->grab().save(m_shots.filePath("full-screen.png")));
        QTest::keyClick(viewer.fullScreenView(), Qt::Key_Escape);
    }
};

WEBCAMS_TEST(LooksTest)
#include "test_looks.moc"
