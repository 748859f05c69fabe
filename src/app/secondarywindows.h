#pragma once

#include "common/appidentity.h"

#include <QObject>
#include <QPointer>

class AboutWindow;
class HelpWindow;
class NoticeWindow;
class SettingsStore;
class WebsiteOpener;
class QWidget;

// The main window's single-instance helpers: the "Oops!" notice (Form4), the help window
// (Form8), the About window (frmAbout) and the website opener (frmWebsite). Asking for one
// that is open brings it to the front.
class SecondaryWindows : public QObject {
    Q_OBJECT
  public:
    SecondaryWindows(QWidget* owner, const AppIdentity& identity, QString helpFile,
                     SettingsStore& settings);

    void setHelpFile(const QString& path) { m_helpFile = path; }
    void showSelectCamNotice();
    void showHelpWindow();
    void showAboutWindow();
    // cancel and websiteClicked.
    void openWebsite();

    NoticeWindow* notice() const;
    HelpWindow* helpWindow() const;
    AboutWindow* aboutWindow() const;
    WebsiteOpener* websiteOpener() const { return m_website; }

    // Shutdown, in the design's order: the notice, then (after the full-screen view) the help
    // and About windows.
    void closeNotice();
    void closeHelpAndAbout();

  private:
    QWidget* m_owner;
    const AppIdentity m_identity;
    QString m_helpFile;
    SettingsStore& m_settings;
    QPointer<NoticeWindow> m_notice;
    QPointer<HelpWindow> m_help;
    QPointer<AboutWindow> m_about;
    WebsiteOpener* m_website = nullptr;
};
