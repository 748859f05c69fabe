#include "ui/websiteopener.h"

#include "common/appidentity.h"

#include <QTimer>

WebsiteOpener::WebsiteOpener(Browser openInBrowser, QObject* parent)
    : QObject(parent), m_browser(std::move(openInBrowser)) {
    setObjectName("frmWebsite");
    m_timer = new QTimer(this);
    m_timer->setSingleShot(true);
    m_timer->setInterval(1000);
    connect(m_timer, &QTimer::timeout, this, &WebsiteOpener::openAfterItsTick);
}

void WebsiteOpener::openWebsite() {
    m_request = "Website";
    if (!m_loaded)
        load();
}

QString WebsiteOpener::websiteTarget(const QString& website) {
    if (website.contains("https://", Qt::CaseInsensitive) ||
        website.contains("http://", Qt::CaseInsensitive))
        return website;
    return "http://" + website;
}

void WebsiteOpener::load() {
    m_loaded = true;
    m_timer->start();
    const AppIdentity identity = LoadAppIdentity();
    if (m_request != "Website")
        return;
    if (m_browser)
        m_browser(QUrl(websiteTarget(identity.Website)));
    m_request.clear();
}

void WebsiteOpener::openAfterItsTick() {
    m_loaded = false;
}
