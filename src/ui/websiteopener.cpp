#include "ui/websiteopener.h"

#include "common/appidentity.h"

#include <QTimer>

WebsiteOpener::WebsiteOpener(Browser openInBrowser, QObject* parent)
    : QObject(parent), browser(std::move(openInBrowser)) {
    setObjectName("frmWebsite");
    Timer1 = new QTimer(this);
    Timer1->setSingleShot(true);
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &WebsiteOpener::Timer1_Timer);
}

void WebsiteOpener::openWebsite() {
    WebsiteRequest = "Website";
    if (!loaded)
        Form_Load();
}

QString WebsiteOpener::websiteTarget(const QString& website) {
    if (website.contains("https://", Qt::CaseInsensitive) ||
        website.contains("http://", Qt::CaseInsensitive))
        return website;
    return "http://" + website;
}

void WebsiteOpener::Form_Load() {
    loaded = true;
    Timer1->start();
    const AppIdentity identity = LoadAppIdentity();
    if (WebsiteRequest != "Website")
        return;
    if (browser)
        browser(QUrl(websiteTarget(identity.Website)));
    WebsiteRequest.clear();
}

void WebsiteOpener::Timer1_Timer() {
    loaded = false;
}
