#include "viewer/detailsblock.h"

#include "common/datetimetext.h"
#include "ui/elidedlabel.h"
#include "ui/screentwips.h"
#include "ui/widgetkit.h"

#include <QLabel>
#include <QLocale>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTimeZone>
#include <QToolButton>
#include <cmath>

namespace {

ElidedLabel* makeLabel(QWidget* parent, const char* name, const QString& caption, QRect twips) {
    auto* label = new ElidedLabel(caption, parent);
    label->setObjectName(name);
    setGeometryTwips(label, twips);
    return label;
}

// A row of the details: its caption, and its value, whose text starts on the caption's line
// (a taller caption box draws its text as high as the value's box begins).
ElidedLabel* makeRow(QWidget* parent, const char* captionName, const QString& caption,
                     QRect captionAt, const char* valueName, QRect valueAt) {
    QLabel* captionLabel = makeLabel(parent, captionName, caption, captionAt);
    ElidedLabel* value = makeLabel(parent, valueName, {}, valueAt);
    for (QLabel* label : {captionLabel, static_cast<QLabel*>(value)})
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    captionLabel->setContentsMargins(0, tw(valueAt.top()) - tw(captionAt.top()), 0, 0);
    return value;
}

// A Last-Modified value as the user's locale writes a date and time, in local time; a value
// that is no HTTP date is shown as it came.
QString shownChangeTime(const QString& header) {
    // the date and the time read apart and joined as UTC: read as one local moment, an hour
    // the local clock skips would be no moment at all
    const QString text = header.trimmed();
    const QDate date = QLocale::c().toDate(text.left(16), QStringLiteral("ddd, dd MMM yyyy"));
    const QTime time = QLocale::c().toTime(text.mid(16), QStringLiteral(" HH:mm:ss 'GMT'"));
    if (!date.isValid() || !time.isValid())
        return header;
    return generalDateText(QDateTime(date, time, QTimeZone::utc()).toLocalTime());
}

} // namespace

DetailsBlock::DetailsBlock(QWidget* parent) : QGroupBox(parent) {
    setObjectName("frmDetails");
    setFont(designFont());
    hide();

    makeLabel(this, "Label6", tr("Zoom:"), {180, 180, 795, 255});
    m_slider = new QScrollBar(Qt::Horizontal, this);
    m_slider->setObjectName("Slider1");
    m_slider->setAccessibleName(tr("Zoom"));
    m_slider->setRange(1, 5);
    m_slider->setSingleStep(1);
    m_slider->setPageStep(1);
    m_slider->setValue(1);
    m_slider->setTracking(false);
    setGeometryTwips(m_slider, 180, 420, 2835, 315);
    connect(m_slider, &QScrollBar::valueChanged, this, [this] {
        const QSignalBlocker quiet(m_fit); // a factor chosen: the picture is zoomed, not fitted
        m_fit->setChecked(false);
        m_freeScale.reset();
        emit zoomChanged();
    });
    // beyond the slider: the whole picture at once, and what the picture is shown at
    m_fit = new QToolButton(this);
    m_fit->setObjectName("cmdFit");
    m_fit->setText(tr("Fit"));
    m_fit->setToolTip(tr("show the whole picture in the viewer (Ctrl+0)"));
    m_fit->setCheckable(true);
    m_fit->setChecked(true); // until a factor is chosen, a selected cam is seen whole
    setGeometryTwips(m_fit, 3135, 390, 735, 375);
    connect(m_fit, &QToolButton::toggled, this, [this] {
        m_freeScale.reset();
        emit zoomChanged();
    });
    m_zoomLevel = makeLabel(this, "lblZoomLevel", {}, {3990, 450, 2400, 255});

    makeButtons();

    m_name = makeRow(this, "lblNameCaption", tr("Name:"), {180, 1920, 1995, 255}, "lblName",
                     {1980, 1920, 2235, 255});
    m_lastRefreshed = makeRow(this, "lblLastRefreshedCaption", tr("Last Refreshed:"),
                              {180, 2160, 2055, 375}, "lblLastRefreshed", {1980, 2190, 1995, 195});
    m_lastChanged = makeRow(this, "lblLastChangedCaption", tr("Last Changed:"),
                            {180, 2400, 2115, 315}, "lblLastChanged", {1920, 2430, 1995, 195});
    m_time = makeRow(this, "lblTimeCaption", tr("Current Time:"), {180, 2640, 2175, 255}, "lblTime",
                     {1920, 2665, 1995, 195});
    findChild<QLabel*>("lblTimeCaption")->hide();
    m_time->hide();
    m_refresh = makeRow(this, "lblRefreshCaption", tr("Refresh Rate:"), {180, 2880, 2055, 255},
                        "lblRefresh", {1980, 2910, 1995, 195});
    m_nextRefresh = makeRow(this, "lblNextRefreshCaption", tr("Next Refresh:"),
                            {180, 3120, 2235, 285}, "lblNextRefresh", {1980, 3170, 1995, 195});

    // beyond the classic rows, a second column: where the picture came from, its age, and how
    // often the cam's picture really changes
    m_source = makeRow(this, "lblSourceCaption", tr("Fetched From:"), {4560, 1920, 1500, 255},
                       "lblSource", {6060, 1920, 6000, 255});
    m_age = makeRow(this, "lblAgeCaption", tr("Picture Age:"), {4560, 2160, 1500, 255}, "lblAge",
                    {6060, 2160, 6000, 255});
    m_updateRate = makeRow(this, "lblUpdateRateCaption", tr("Update Rate:"),
                           {4560, 2400, 1500, 255}, "lblUpdateRate", {6060, 2400, 6000, 255});
    m_motion = makeRow(this, "lblMotionCaption", tr("Motion:"), {4560, 2640, 1500, 255},
                       "lblMotion", {6060, 2640, 6000, 255});
}

// Save Image and Screensaver, Save As and Motion Mask beside them.
void DetailsBlock::makeButtons() {
    QToolButton* save =
        makePictureButton(this, "cmdSave", tr("Save Image"), tr("save image in you /cam/ folder"),
                          ":/pictures/save.png");
    setGeometryTwips(save, 180, 840, 1395, 855);
    QToolButton* fullScreen =
        makePictureButton(this, "Command3", tr("Screensaver"),
                          tr("full screen, auto refreshing view of current cam.  click to close."),
                          ":/pictures/screensaver.png");
    setGeometryTwips(fullScreen, 1620, 840, 1395, 855);
    connect(save, &QToolButton::clicked, this, &DetailsBlock::saveClicked);
    // beside the one-click save: the same, where the user chooses
    auto* saveAs = new QToolButton(this);
    saveAs->setObjectName("cmdSaveAs");
    saveAs->setText(tr("Save As..."));
    saveAs->setToolTip(tr("save the image where you choose (Ctrl+Shift+S)"));
    setGeometryTwips(saveAs, 3060, 1080, 1395, 375);
    connect(saveAs, &QToolButton::clicked, this, &DetailsBlock::saveAsClicked);
    connect(fullScreen, &QToolButton::clicked, this, &DetailsBlock::fullScreenClicked);
    WidenToText(this); // a longer translation of "Save As...", say
    // beyond Save As, however wide its text made it
    m_mask = new QToolButton(this);
    m_mask->setObjectName("cmdMotionMask");
    m_mask->setText(tr("Motion Mask"));
    m_mask->setToolTip(tr("Drag over the picture the parts motion should ignore: a road, a "
                          "tree, the time overlay"));
    m_mask->setCheckable(true);
    m_mask->setGeometry(saveAs->geometry().right() + saveAs->height() / 3, saveAs->y(),
                        std::max(m_mask->sizeHint().width(), saveAs->width()), saveAs->height());
    connect(m_mask, &QToolButton::toggled, this, &DetailsBlock::maskEditToggled);
}

int DetailsBlock::zoomFactor() const {
    return m_slider->value();
}

double DetailsBlock::zoomScale() const {
    return m_freeScale.value_or(double(m_slider->value()));
}

void DetailsBlock::setZoomScale(double scale) {
    const int nearest = int(std::lround(scale));
    const bool onFactor = nearest >= m_slider->minimum() && nearest <= m_slider->maximum() &&
                          std::abs(scale - nearest) < 0.03 * nearest;
    const bool changed = isFit() || m_freeScale || m_slider->value() != nearest || !onFactor;
    {
        const QSignalBlocker quiet(this); // one change, told once
        if (onFactor)
            m_slider->setValue(nearest);
        m_fit->setChecked(false);
        m_freeScale = onFactor ? std::nullopt : std::optional<double>(scale);
    }
    if (changed)
        emit zoomChanged();
}

bool DetailsBlock::isFit() const {
    return m_fit->isChecked();
}

void DetailsBlock::setFit(bool on) {
    m_fit->setChecked(on);
}

void DetailsBlock::showZoomLevel(int fitPercent) {
    //: a zoom between the slider's factors, in percent of the picture's own size
    m_zoomLevel->setText(m_freeScale      ? tr("Zoom (%1 %)").arg(std::lround(*m_freeScale * 100))
                         : !isFit()       ? tr("Zoom %1").arg(zoomFactor())
                         : fitPercent < 0 ? tr("Fit")
                                          : tr("Fit (%1 %)").arg(fitPercent));
}

void DetailsBlock::enablePictureActions(bool on) {
    for (const char* name : {"cmdSave", "Command3", "cmdSaveAs", "cmdMotionMask"})
        if (auto* button = findChild<QToolButton*>(name))
            button->setEnabled(on);
}

QString DetailsBlock::zoomLevel() const {
    return m_zoomLevel->text();
}

void DetailsBlock::writeDetails(const CamDetails& details) {
    m_name->setText(details.name);
    m_refresh->setText(details.refresh);
    // the server's own words stay at hand in the tooltip
    m_lastChanged->setText(shownChangeTime(details.lastChanged));
    m_lastChanged->setNote(
        m_lastChanged->text() == details.lastChanged ? QString() : details.lastChanged.trimmed());
    m_lastRefreshed->setText(details.lastRefreshed);
    m_source->setText(details.source);
    if (!details.age.isEmpty())
        m_age->setText(details.age);
    m_updateRate->setText(details.updateRate.isEmpty() ? tr("not known yet") : details.updateRate);
    m_motion->setText(details.motion.isEmpty() ? tr("not watched") : details.motion);
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
