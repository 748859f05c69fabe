#include "ui/helpwindow.h"

#include "common/fileexists.h"
#include "ui/rtftext.h"
#include "ui/settings.h"
#include "common/twips.h"
#include "ui/widgetkit.h"
#include "common/numbertext.h"
#include "ui/windowhelpers.h"

#include <QCheckBox>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QTextBrowser>

namespace {
constexpr qint64 helpMaxBytes = 4 * 1024 * 1024;
}

HelpWindow::HelpWindow(const QString& programFolder, const QString& productName,
                       SettingsStore& store, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      folder(programFolder), product(productName), settings(store) {
    setObjectName("Form8");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle("Readme/Help");
    setFixedSize(tw(10290), tw(7920));
    rtf1 = new QTextBrowser(this);
    rtf1->setObjectName("rtf1");
    rtf1->setReadOnly(true);
    rtf1->setOpenLinks(false);
    setGeometryTwips(rtf1, 0, 0, 10275, 7515);
    Check1 = new QCheckBox("Show at Startup", this);
    Check1->setObjectName("Check1");
    setGeometryTwips(Check1, 60, 7620, 1995, 255);
    connect(Check1, &QCheckBox::clicked, this, &HelpWindow::Check1_Click);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    Form_Load();
}

void HelpWindow::Form_Load() {
    const QString path = folder + "/Help.rtf";
    QFile file(path);
    if (FileExists(QFile::encodeName(path).toStdString()) && file.open(QIODevice::ReadOnly))
        FillFromRtf(*rtf1->document(), file.read(helpMaxBytes));
    else
        rtf1->setPlainText("The help file is missing: " + path + " could not be found or read.");
    rtf1->moveCursor(QTextCursor::Start); // open at the top of the document
    SetTopmost(this, true);
    const QString showHelp = settings.ReadUserSetting(product, "Settings", "showHelp", "1");
    Check1->setChecked(parseLong(showHelp.toStdString()).value_or(0) == 1);
}

void HelpWindow::Check1_Click() {
    settings.WriteUserSetting(product, "Settings", "showHelp", Check1->isChecked() ? "1" : "0");
}
