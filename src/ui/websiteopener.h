#pragma once

#include <QObject>
#include <QString>
#include <QUrl>
#include <functional>

class QTimer;

// frmWebsite: opens the product's website in the user's browser. It is loaded by a request,
// acts on it once, and unloads itself a second later; a request made meanwhile waits for the
// next load.
class WebsiteOpener : public QObject {
    Q_OBJECT
  public:
    using Browser = std::function<void(const QUrl&)>;
    explicit WebsiteOpener(Browser openInBrowser, QObject* parent = nullptr);

    // cancel and websiteClicked.
    void openWebsite();
    bool isLoaded() const { return m_loaded; }
    const QString& websiteRequest() const { return m_request; }

    // The address as handed to the browser: "http://" in front when no scheme stands anywhere.
    static QString websiteTarget(const QString& website);

  private:
    void load();
    void openAfterItsTick();

    Browser m_browser;
    QTimer* m_timer = nullptr; // Timer1
    QString m_request;         // WebsiteRequest: what the next load opens
    bool m_loaded = false;
};
