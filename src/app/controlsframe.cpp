#include "app/controlsframe.h"

#include "ui/widgetkit.h"

#include <QCheckBox>
#include <QDir>
#include <QToolButton>

ControlsFrame::ControlsFrame(const QString& programFolder, QWidget* parent)
    : QGroupBox(tr("Controls"), parent) {
    setObjectName("Frame1");
    setFont(designFont("Verdana", 8.25, true));
    setGeometryTwips(this, 0, 0, 2535, 10815);

    QToolButton* start = makePictureButton(this, "cmdStartCam", tr("Start Cam"),
                                           tr("Start Selected Cam"), ":/pictures/startcam.png");
    setGeometryTwips(start, 60, 1140, 1155, 855);
    QToolButton* stopAll = makePictureButton(this, "cmdStopAll", tr("Stop All"),
                                             tr("Stop All Cams"), ":/pictures/stopall.png");
    setGeometryTwips(stopAll, 1260, 1140, 1155, 855);
    m_website = makePictureButton(this, "Command2", QString(), QString(), ":/pictures/website.png");
    setGeometryTwips(m_website, 60, 2040, 2350, 855);
    m_autoSave = new QCheckBox(tr("AutoSave New Pictures"), this);
    m_autoSave->setObjectName("chkSave");
    m_autoSave->setToolTip(
        //: %1 is a folder's name, %2 the folder it is in
        tr("saved to %1 subdirectory under %2")
            .arg("/cam/", QDir::toNativeSeparators(programFolder)));
    m_autoSave->setFont(designFont());
    m_autoSave->setChecked(true); // the design state; start-up sets it from the stored setting
    setGeometryTwips(m_autoSave, 60, 2940, 2355, 315);

    connect(start, &QToolButton::clicked, this, &ControlsFrame::startCamClicked);
    connect(stopAll, &QToolButton::clicked, this, &ControlsFrame::stopAllClicked);
    connect(m_website, &QToolButton::clicked, this, &ControlsFrame::websiteClicked);
}

void ControlsFrame::setWebsiteText(const QString& text) {
    m_website->setText(text);
}
