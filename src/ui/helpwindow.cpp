#include "ui/helpwindow.h"

#include "common/fileexists.h"
#include "common/numbertext.h"
#include "ui/rtftext.h"
#include "ui/screentwips.h"
#include "config/settings.h"
#include "ui/widgetkit.h"
#include "ui/windowhelpers.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollBar>
#include <QTextBrowser>

namespace {
constexpr qint64 helpMaxBytes = 4 * 1024 * 1024;
}

QString HelpFileFor(const QString& helpFile, const QLocale& locale) {
    const QFileInfo english(helpFile);
    const QString language = locale.name().section('_', 0, 0);
    const QString translated = english.dir().filePath(
        QString("%1_%2.%3").arg(english.completeBaseName(), language, english.suffix()));
    return language != "en" && language != "C" && QFileInfo::exists(translated) ? translated
                                                                                : helpFile;
}

HelpWindow::HelpWindow(const QString& helpFile, const QString& productName, SettingsStore& store,
                       QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      m_helpFile(HelpFileFor(helpFile)), m_product(productName), m_settings(store) {
    setObjectName("Form8");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("Readme/Help"));
    setFixedSize(tw(10290), tw(7920));
    m_document = new QTextBrowser(this);
    m_document->setAccessibleName(tr("Help text"));
    m_document->verticalScrollBar()->setAccessibleName(tr("Scroll the help"));
    m_document->horizontalScrollBar()->setAccessibleName(tr("Scroll the help sideways"));
    m_document->setObjectName("rtf1");
    m_document->setReadOnly(true);
    m_document->setOpenLinks(false);
    setGeometryTwips(m_document, 0, 0, 10275, 7515);
    m_showAtStartup = new QCheckBox(tr("Show at Startup"), this);
    m_showAtStartup->setObjectName("Check1");
    setGeometryTwips(m_showAtStartup, 60, 7620, 1995, 255);
    connect(m_showAtStartup, &QCheckBox::clicked, this, &HelpWindow::storeShowAtStartup);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    load();
}

void HelpWindow::load() {
    const QString& path = m_helpFile;
    QFile file(path);
    if (FileExists(QFile::encodeName(path).toStdString()) && file.open(QIODevice::ReadOnly))
        FillFromRtf(*m_document->document(), file.read(helpMaxBytes),
                    m_document->palette().color(QPalette::Base));
    else
        m_document->setPlainText(
            tr("The help file is missing: %1 could not be found or read.").arg(path));
    m_document->moveCursor(QTextCursor::Start); // open at the top of the document
    SetTopmost(this, true);
    const QString showHelp = m_settings.ReadUserSetting(m_product, "Settings", "showHelp", "1");
    m_showAtStartup->setChecked(parseLong(showHelp.toStdString()).value_or(0) == 1);
}

void HelpWindow::storeShowAtStartup() {
    m_settings.WriteUserSetting(m_product, "Settings", "showHelp",
                                m_showAtStartup->isChecked() ? "1" : "0");
}
