#include "fullscreenview.h"

#include "imagecontrol.h"
#include "twips.h"

#include <QKeyEvent>

FullScreenView::FullScreenView(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint) {
    setObjectName("Form6");
    setAttribute(Qt::WA_DeleteOnClose);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setAutoFillBackground(true);

    Image1 = new ImageControl(this);
    Image1->setObjectName("Image1");
    Image1->setGeometry(rect());
    picrefresh = new ImageControl(this);
    picrefresh->setObjectName("picrefresh");
    picrefresh->setPicture(QImage(":/pictures/fullscreen-refresh.png"));
    picrefresh->setStretch(true);
    setGeometryTwips(picrefresh, 0, 0, 720, 720);
    picrefresh->hide();
    connect(Image1, &ImageControl::clicked, this, &FullScreenView::Image1_Click);
}

void FullScreenView::Image1_Click() {
    close();
}

void FullScreenView::resizeEvent(QResizeEvent*) {
    Image1->setGeometry(rect());
}

void FullScreenView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape)
        close();
    else
        QWidget::keyPressEvent(event);
}

void FullScreenView::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    emit unloaded();
}
