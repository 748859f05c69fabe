#include "app/statusline.h"

#include "ui/screentwips.h"
#include "ui/statustext.h"

#include <QMainWindow>
#include <QStatusBar>
#include <QTimer>
#include <utility>

StatusLine::StatusLine(QMainWindow* window) : QObject(window) {
    auto* bar = new QStatusBar(window);
    bar->setObjectName("StatusBar1");
    m_panel = new StatusText(bar);
    m_panel->setObjectName("StatusBar1Panel1");
    m_panel->setMinimumWidth(tw(1440));
    bar->addWidget(m_panel, 1); // panel 1 is as wide as the window
    bar->setFixedHeight(tw(375));
    window->setStatusBar(bar);
    m_hold = new QTimer(this);
    m_hold->setSingleShot(true);
    m_hold->setInterval(5000);
    connect(m_hold, &QTimer::timeout, this, [this] {
        if (!m_afterHold.isEmpty())
            m_panel->setText(std::exchange(m_afterHold, {}));
    });
}

QString StatusLine::text() const {
    return m_panel->text();
}

void StatusLine::setText(const QString& text) {
    if (m_hold->isActive())
        m_afterHold = text;
    else
        m_panel->setText(text);
}

void StatusLine::withdraw(const QString& text) {
    if (m_afterHold == text)
        m_afterHold.clear();
    if (m_panel->text() == text)
        m_panel->setText({});
}

void StatusLine::holdText(const QString& text) {
    m_panel->setText(text);
    m_afterHold.clear();
    m_hold->start();
}
