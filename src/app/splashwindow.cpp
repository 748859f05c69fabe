#include "app/splashwindow.h"

#include "ui/screentwips.h"
#include "ui/widgetkit.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

SplashWindow::SplashWindow(MainWindowLoader loader, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint),
      m_loadMainWindow(std::move(loader)) {
    setObjectName("frmSplash");
    setFixedSize(tw(7170), tw(4770));
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());

    auto* picture = new QLabel(this);
    picture->setObjectName("Image1");
    picture->setScaledContents(true);
    picture->setPixmap(QPixmap(":/pictures/splash.jpg"));
    picture->setGeometry(rect());

    m_timer = new QTimer(this);
    m_timer->setObjectName("Timer2");
    // 75 ticks of about 16 ms: the 1.2 s that the splash always showed for, as the 2 ms asked
    // for were never granted by the system's timer
    m_timer->setInterval(16);
    m_timer->setTimerType(Qt::PreciseTimer);
    connect(m_timer, &QTimer::timeout, this, &SplashWindow::countSplashTick);
}

void SplashWindow::load() {
    m_timer->start();
}

void SplashWindow::countSplashTick() {
    m_count = qint16(m_count + 2);
    if (m_count != 150)
        return;
    // Stopped before the main window loads, so no tick can arrive while it is built.
    m_timer->stop();
    QWidget* mainWindow = m_loadMainWindow ? m_loadMainWindow() : nullptr;
    if (mainWindow)
        mainWindow->show();
    hide();
    emit mainWindowShown(mainWindow);
}

bool SplashWindow::isCounting() const {
    return m_timer->isActive();
}
