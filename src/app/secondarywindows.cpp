#include "app/secondarywindows.h"

#include "common/version.h"
#include "ui/aboutwindow.h"
#include "ui/helpwindow.h"
#include "ui/noticewindow.h"
#include "ui/websiteopener.h"
#include "ui/widgetkit.h"

#include <QDesktopServices>

SecondaryWindows::SecondaryWindows(QWidget* owner, const AppIdentity& identity, QString helpFile,
                                   SettingsStore& settings)
    : QObject(owner), m_owner(owner), m_identity(identity), m_helpFile(std::move(helpFile)),
      m_settings(settings) {
    m_website = new WebsiteOpener([](const QUrl& url) { QDesktopServices::openUrl(url); }, this);
}

NoticeWindow* SecondaryWindows::notice() const {
    return m_notice;
}

HelpWindow* SecondaryWindows::helpWindow() const {
    return m_help;
}

AboutWindow* SecondaryWindows::aboutWindow() const {
    return m_about;
}

void SecondaryWindows::showSelectCamNotice() {
    if (!m_notice)
        m_notice = new NoticeWindow(m_owner);
    bringForward(m_notice);
}

void SecondaryWindows::showHelpWindow() {
    if (!m_help)
        m_help = new HelpWindow(m_helpFile, m_identity.ProductName, m_settings, m_owner);
    bringForward(m_help);
}

void SecondaryWindows::showAboutWindow() {
    if (!m_about) {
        m_about = new AboutWindow(m_identity, version::major, version::minor, m_owner);
        connect(m_about, &AboutWindow::websiteClicked, this, &SecondaryWindows::openWebsite);
    }
    bringForward(m_about);
}

void SecondaryWindows::openWebsite() {
    m_website->openWebsite();
}

void SecondaryWindows::closeNotice() {
    if (m_notice)
        m_notice->close();
}

void SecondaryWindows::closeHelpAndAbout() {
    if (m_help)
        m_help->close();
    if (m_about)
        m_about->close();
}
