#include "app/restingwatch.h"

#include "engine/camengine.h"

#include <QAbstractButton>
#include <QEvent>
#include <QWidget>

RestingWatch::RestingWatch(QWidget& window, QAbstractButton& autoSave, CamEngine& engine)
    : QObject(&window), m_window(window), m_autoSave(autoSave), m_engine(&engine) {
    window.installEventFilter(this);
    connect(&autoSave, &QAbstractButton::toggled, this, &RestingWatch::check);
}

bool RestingWatch::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &m_window && (event->type() == QEvent::WindowStateChange ||
                                 event->type() == QEvent::Hide || event->type() == QEvent::Show))
        check();
    return false;
}

void RestingWatch::check() {
    if (!m_engine)
        return;
    // hidden counts once the window was shown or hidden on purpose, not before its first show
    const bool hidden =
        m_window.testAttribute(Qt::WA_WState_ExplicitShowHide) && m_window.isHidden();
    m_engine->setResting((m_window.isMinimized() || hidden) && !m_autoSave.isChecked());
}
