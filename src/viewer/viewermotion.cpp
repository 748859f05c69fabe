// The viewer and the selected cam's motion: the choices its history is judged by, and its mask
// drawn over the picture.
#include "common/datetimetext.h"
#include "common/localtext.h"
#include "config/camsettings.h"
#include "engine/followedcam.h"
#include "history/camrules.h"
#include "viewer/detailsblock.h"
#include "viewer/historystrip.h"
#include "viewer/maskeditor.h"
#include "viewer/viewerpane.h"

#include <QTime>
#include <QToolButton>

void ViewerPane::setCamSettings(CamSettings* settings) {
    m_settings = settings;
    connect(settings, &CamSettings::changed, this, [this](const QByteArray& cam) {
        if (m_source.hasPlace() && cam == m_source.name())
            readMotionChoices();
    });
    connect(m_maskEditor, &MaskEditor::maskChanged, this, [this](const MotionMask& mask) {
        if (m_settings && !m_maskCam.isEmpty() &&
            !m_settings->setValue(motionMaskKey, m_maskCam, mask))
            emit statusText(tr("%1 the motion mask of %2 could not be kept: the settings cannot "
                               "be written")
                                .arg(longTimeText(QTime::currentTime()), localText(m_maskCam)));
    });
    readMotionChoices();
}

void ViewerPane::readMotionChoices() {
    if (!m_settings)
        return;
    m_maskCam = m_source.hasPlace() ? m_source.name() : QByteArray();
    const MotionMask mask = m_settings->value(motionMaskKey, m_maskCam);
    m_history->setMotionChoices(m_settings->value(motionSettingsKey, m_maskCam), mask);
    if (mask != m_maskEditor->mask())
        m_maskEditor->setMask(mask);
}

void ViewerPane::editMask(bool on) {
    on = on && m_settings && m_source.hasPlace();
    if (on)
        readMotionChoices();
    m_maskEditor->setVisible(on);
    m_maskEditor->raise();
    const QSignalBlocker quiet(m_details->maskButton());
    m_details->maskButton()->setChecked(on);
}
