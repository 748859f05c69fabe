#include "viewer/detailsblock.h"

#include "ui/widgetkit.h"

#include <QLabel>
#include <QScrollBar>
#include <QToolButton>

namespace {

QLabel* makeLabel(QWidget* parent, const char* name, const QString& caption, QRect twips) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    setGeometryTwips(label, twips);
    return label;
}

} // namespace

DetailsBlock::DetailsBlock(QWidget* parent) : QGroupBox(parent) {
    setObjectName("frmDetails");
    setFont(designFont());
    hide();

    makeLabel(this, "Label6", "Zoom:", {180, 180, 795, 255});
    m_slider = new QScrollBar(Qt::Horizontal, this);
    m_slider->setObjectName("Slider1");
    m_slider->setRange(1, 5);
    m_slider->setSingleStep(1);
    m_slider->setPageStep(1);
    m_slider->setValue(1);
    m_slider->setTracking(false);
    setGeometryTwips(m_slider, 180, 420, 2835, 315);
    connect(m_slider, &QScrollBar::valueChanged, this, &DetailsBlock::zoomChanged);

    QToolButton* save = makePictureButton(this, "cmdSave", "Save Image",
                                          "save image in you /cam/ folder", ":/pictures/save.png");
    setGeometryTwips(save, 180, 840, 1395, 855);
    QToolButton* fullScreen =
        makePictureButton(this, "Command3", "Screensaver",
                          "full screen, auto refreshing view of current cam.  click to close.",
                          ":/pictures/screensaver.png");
    setGeometryTwips(fullScreen, 1620, 840, 1395, 855);
    connect(save, &QToolButton::clicked, this, &DetailsBlock::saveClicked);
    connect(fullScreen, &QToolButton::clicked, this, &DetailsBlock::fullScreenClicked);

    makeLabel(this, "lblNameCaption", "Name:", {180, 1920, 1995, 255});
    m_name = makeLabel(this, "lblName", {}, {1980, 1920, 2235, 255});
    makeLabel(this, "lblLastRefreshedCaption", "Last Refreshed:", {180, 2160, 2055, 375});
    m_lastRefreshed = makeLabel(this, "lblLastRefreshed", {}, {1980, 2190, 1995, 195});
    makeLabel(this, "lblLastChangedCaption", "Last Changed:", {180, 2400, 2115, 315});
    m_lastChanged = makeLabel(this, "lblLastChanged", {}, {1920, 2430, 1995, 195});
    makeLabel(this, "lblTimeCaption", "Current Time:", {180, 2640, 2175, 255})->hide();
    m_time = makeLabel(this, "lblTime", {}, {1920, 2665, 1995, 195});
    m_time->hide();
    makeLabel(this, "lblRefreshCaption", "Refresh Rate:", {180, 2880, 2055, 255});
    m_refresh = makeLabel(this, "lblRefresh", {}, {1980, 2910, 1995, 195});
    makeLabel(this, "lblNextRefreshCaption", "Next Refresh:", {180, 3120, 2235, 285});
    m_nextRefresh = makeLabel(this, "lblNextRefresh", {}, {1980, 3170, 1995, 195});

    // beyond the classic rows, a second column: where the picture came from, its age, and how
    // often the cam's picture really changes
    makeLabel(this, "lblSourceCaption", "Fetched From:", {4560, 1920, 1500, 255});
    m_source = makeLabel(this, "lblSource", {}, {6060, 1920, 6000, 255});
    m_source->setTextInteractionFlags(Qt::TextSelectableByMouse);
    makeLabel(this, "lblAgeCaption", "Picture Age:", {4560, 2160, 1500, 255});
    m_age = makeLabel(this, "lblAge", {}, {6060, 2160, 6000, 255});
    makeLabel(this, "lblUpdateRateCaption", "Update Rate:", {4560, 2400, 1500, 255});
    m_updateRate = makeLabel(this, "lblUpdateRate", {}, {6060, 2400, 6000, 255});
}

int DetailsBlock::zoomFactor() const {
    return m_slider->value();
}

void DetailsBlock::writeDetails(const CamDetails& details) {
    m_name->setText(details.name);
    m_refresh->setText(details.refresh);
    m_lastChanged->setText(details.lastChanged);
    m_lastRefreshed->setText(details.lastRefreshed);
    m_source->setText(details.source);
    if (!details.age.isEmpty())
        m_age->setText(details.age);
    m_updateRate->setText(details.updateRate.isEmpty() ? QString("not known yet")
                                                       : details.updateRate);
}

void DetailsBlock::setAge(const QString& text) {
    m_age->setText(text);
}

void DetailsBlock::setNextRefresh(const QString& text) {
    m_nextRefresh->setText(text);
}

void DetailsBlock::setTime(const QString& text) {
    m_time->setText(text);
}

QString DetailsBlock::nextRefresh() const {
    return m_nextRefresh->text();
}
