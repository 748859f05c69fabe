#include "ui/windowhelpers.h"

#include <QIcon>
#include <QWidget>

void SetWindowIcons(QWidget* window, const QString& iconName, bool alsoOwner) {
    if (!window)
        return;
    QIcon icon;
    for (int size : {72, 64, 48, 32})
        icon.addFile(QString(":/pictures/%1-%2.png").arg(iconName).arg(size), QSize(size, size));
    if (alsoOwner) {
        QWidget* owner = window;
        while (owner->parentWidget())
            owner = owner->parentWidget()->window();
        owner->setWindowIcon(icon);
    }
    window->setWindowIcon(icon);
}

void SetTopmost(QWidget* targetForm, bool onTop) {
    if (!targetForm)
        return;
    const bool shown = targetForm->isVisible();
    const QRect place = targetForm->geometry();
    targetForm->setWindowFlag(Qt::WindowStaysOnTopHint, onTop); // this hides a shown window
    if (shown) {
        targetForm->setGeometry(place);
        targetForm->show();
    }
}
