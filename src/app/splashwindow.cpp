#include "app/splashwindow.h"

#include "common/twips.h"
#include "ui/widgetkit.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

SplashWindow::SplashWindow(MainWindowLoader loader, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint),
      loadMainWindow(std::move(loader)) {
    setObjectName("frmSplash");
    setFixedSize(tw(7170), tw(4770));
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());

    Image1 = new QLabel(this);
    Image1->setObjectName("Image1");
    Image1->setScaledContents(true);
    Image1->setPixmap(QPixmap(":/pictures/splash.jpg"));
    Image1->setGeometry(rect());

    Timer2 = new QTimer(this);
    Timer2->setObjectName("Timer2");
    Timer2->setInterval(2);
    Timer2->setTimerType(Qt::PreciseTimer);
    connect(Timer2, &QTimer::timeout, this, &SplashWindow::Timer2_Timer);
}

void SplashWindow::Form_Load() {
    Timer2->start();
}

void SplashWindow::Timer2_Timer() {
    intTemp = qint16(intTemp + 2);
    if (intTemp != 150)
        return;
    // Stopped before the main window loads, so no tick can arrive while it is built.
    Timer2->stop();
    QWidget* mainWindow = loadMainWindow ? loadMainWindow() : nullptr;
    if (mainWindow)
        mainWindow->show();
    hide();
    emit mainWindowShown(mainWindow);
}
