#include "viewer/detailsblock.h"

#include "common/datetimetext.h"
#include "ui/elidedlabel.h"
#include "ui/screentwips.h"
#include "ui/widgetkit.h"
#include "viewer/layout.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTimeZone>
#include <QToolButton>
#include <cmath>

namespace {

// A caption: always its whole text, which its column makes room for.
QLabel* makeLabel(QWidget* parent, const char* name, const QString& caption) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

// A row of the details in `rows`: its caption, and its value on the caption's line.
template <typename Value = ElidedLabel>
Value* addRow(QWidget* parent, QGridLayout* rows, const char* captionName, const QString& caption,
              const char* valueName) {
    const int row = rows->rowCount();
    rows->addWidget(makeLabel(parent, captionName, caption), row, 0, Qt::AlignTop);
    auto* value = new Value(parent);
    value->setObjectName(valueName);
    value->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    rows->addWidget(value, row, 1, Qt::AlignTop);
    rows->setRowMinimumHeight(row, tw(240));
    return value;
}

// A column of rows: captions at least `captionWidth` twips wide (with the space before the
// values), the values in what is left.
QGridLayout* makeRows(int captionWidth) {
    auto* rows = new QGridLayout;
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setVerticalSpacing(0);
    rows->setHorizontalSpacing(tw(90));
    rows->setColumnMinimumWidth(0, tw(captionWidth) - rows->horizontalSpacing());
    rows->setColumnStretch(1, 1);
    return rows;
}

// A value that wraps onto more lines rather than be cut: the state and figures sentences, at
// least `minimumWidth` wide (a short sentence's by default).
QLabel* wrapping(QLabel* label, int minimumWidth = 0) {
    label->setWordWrap(true);
    label->setMinimumWidth(minimumWidth > 0 ? minimumWidth
                                            : label->fontMetrics().averageCharWidth() * 25);
    return label;
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

    // At the desktop's usual font everything stands at its designed place; a larger font or a
    // longer translation moves the rest aside instead of cutting it.
    auto* block = new QGridLayout(this);
    const QMargins frame = contentsMargins(); // the frame's own, inside which the layout lies
    block->setContentsMargins(
        std::max(0, tw(180) - frame.left()), std::max(0, tw(180) - frame.top()),
        std::max(0, tw(180) - frame.right()), std::max(0, tw(150) - frame.bottom()));
    block->setVerticalSpacing(0);
    block->setColumnStretch(0, 1);
    block->addWidget(makeLabel(this, "Label6", tr("Zoom:")), 0, 0);
    block->setRowMinimumHeight(0, tw(240));
    block->addLayout(makeZoomRow(), 1, 0, Qt::AlignTop);
    block->setRowMinimumHeight(1, tw(420));
    block->addLayout(makeButtons(), 2, 0);
    block->setRowMinimumHeight(3, tw(1920) - tw(1695)); // a gap above the rows
    block->addLayout(makeRows(), 4, 0);
    block->setRowStretch(5, 1);
}

QHBoxLayout* DetailsBlock::makeZoomRow() {
    m_slider = new QScrollBar(Qt::Horizontal, this);
    m_slider->setObjectName("Slider1");
    m_slider->setAccessibleName(tr("Zoom"));
    m_slider->setRange(1, 5);
    m_slider->setSingleStep(1);
    m_slider->setPageStep(1);
    m_slider->setValue(1);
    m_slider->setTracking(false);
    m_slider->setFixedSize(tw(2835), tw(315));
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
    m_fit->setMinimumSize(tw(735), tw(375));
    connect(m_fit, &QToolButton::toggled, this, [this] {
        m_freeScale.reset();
        emit zoomChanged();
    });
    m_zoomLevel = makeLabel(this, "lblZoomLevel", {});
    m_zoomLevel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    auto* row = new QHBoxLayout;
    row->setSpacing(tw(120));
    row->addWidget(m_slider);
    row->addWidget(m_fit);
    row->addWidget(m_zoomLevel, 1);
    return row;
}

// Save Image and Screensaver, Save As and Motion Mask beside them.
QHBoxLayout* DetailsBlock::makeButtons() {
    QToolButton* save =
        makePictureButton(this, "cmdSave", tr("Save Image"), tr("save image in you /cam/ folder"),
                          ":/pictures/save.png");
    QToolButton* fullScreen =
        makePictureButton(this, "Command3", tr("Screensaver"),
                          tr("full screen, auto refreshing view of current cam.  click to close."),
                          ":/pictures/screensaver.png");
    connect(save, &QToolButton::clicked, this, &DetailsBlock::saveClicked);
    connect(fullScreen, &QToolButton::clicked, this, &DetailsBlock::fullScreenClicked);
    // beside the one-click save: the same, where the user chooses
    auto* saveAs = new QToolButton(this);
    saveAs->setObjectName("cmdSaveAs");
    saveAs->setText(tr("Save As..."));
    saveAs->setToolTip(tr("save the image where you choose (Ctrl+Shift+S)"));
    connect(saveAs, &QToolButton::clicked, this, &DetailsBlock::saveAsClicked);
    m_mask = new QToolButton(this);
    m_mask->setObjectName("cmdMotionMask");
    m_mask->setText(tr("Motion Mask"));
    m_mask->setToolTip(tr("Drag over the picture the parts motion should ignore: a road, a "
                          "tree, the time overlay"));
    m_mask->setCheckable(true);
    connect(m_mask, &QToolButton::toggled, this, &DetailsBlock::maskEditToggled);

    auto* row = new QHBoxLayout;
    row->setSpacing(tw(45));
    for (QToolButton* button : {save, fullScreen}) {
        button->setMinimumSize(tw(1395), tw(855));
        row->addWidget(button);
    }
    row->addSpacing(tw(45));
    for (QToolButton* button : {saveAs, m_mask}) {
        button->setMinimumSize(tw(1395), tw(375));
        row->addWidget(button, 0, Qt::AlignVCenter);
    }
    row->addStretch(1);
    return row;
}

// The design's rows on the left; beyond them where the picture came from, its age and state,
// and how often the cam's picture really changes, which wrap rather than be cut.
QBoxLayout* DetailsBlock::makeRows() {
    QGridLayout* left = ::makeRows(1800);
    QGridLayout* right = ::makeRows(1500);
    m_rows = new QBoxLayout(QBoxLayout::LeftToRight);
    m_rows->setSpacing(tw(300));
    m_rows->addLayout(left);
    m_rows->addLayout(right, 1);
    // the left values keep room for a date and time, so the right column stays where it is
    const QString moment = generalDateText(QDateTime(QDate(2026, 12, 28), QTime(22, 58, 58)));
    auto addLeft = [&](const char* captionName, const QString& caption, const char* valueName) {
        ElidedLabel* value = addRow(this, left, captionName, caption, valueName);
        value->setRoomFor(moment);
        return value;
    };
    m_name = addLeft("lblNameCaption", tr("Name:"), "lblName");
    m_lastRefreshed = addLeft("lblLastRefreshedCaption", tr("Last Refreshed:"), "lblLastRefreshed");
    m_lastChanged = addLeft("lblLastChangedCaption", tr("Last Changed:"), "lblLastChanged");
    m_time = addLeft("lblTimeCaption", tr("Current Time:"), "lblTime");
    findChild<QLabel*>("lblTimeCaption")->hide();
    m_time->hide();
    left->setRowMinimumHeight(left->rowCount() - 1, 0); // hidden, it takes no room
    m_refresh = addLeft("lblRefreshCaption", tr("Refresh Rate:"), "lblRefresh");
    // a count of seconds, or what the cam waits for
    m_nextRefresh = wrapping(
        addRow<QLabel>(this, left, "lblNextRefreshCaption", tr("Next Refresh:"), "lblNextRefresh"),
        m_name->sizeHint().width());
    left->setRowStretch(left->rowCount(), 1);

    // an address shows its start, and whole on hover
    m_source = addRow(this, right, "lblSourceCaption", tr("Fetched From:"), "lblSource");
    m_age = wrapping(addRow<QLabel>(this, right, "lblAgeCaption", tr("Picture Age:"), "lblAge"));
    m_updateRate = wrapping(
        addRow<QLabel>(this, right, "lblUpdateRateCaption", tr("Update Rate:"), "lblUpdateRate"));
    m_motion =
        wrapping(addRow<QLabel>(this, right, "lblMotionCaption", tr("Motion:"), "lblMotion"));
    right->setRowStretch(right->rowCount(), 1);
    return m_rows;
}

int32_t DetailsBlock::heightFor(const MainWindowLayout& layout) {
    // more than the designed height (a large font, a wrapped sentence) is taken from the
    // picture's place, at most half of it
    if (isHidden())
        return design::frmDetailsHeight;
    const int32_t needed = twipsOf(neededHeight(tw(layout.frmDetailsWidth)));
    return std::clamp(needed, design::frmDetailsHeight,
                      design::frmDetailsHeight + layout.picture1Height / 2);
}

void DetailsBlock::arrangeRows(int width) {
    // the second column beside the first where it has room for a short sentence a line,
    // below it otherwise
    auto* left = static_cast<QGridLayout*>(m_rows->itemAt(0)->layout());
    auto* right = static_cast<QGridLayout*>(m_rows->itemAt(1)->layout());
    const QMargins margins = contentsMargins() + layout()->contentsMargins();
    const int besideWidth = margins.left() + left->minimumSize().width() + tw(300) +
                            right->minimumSize().width() + margins.right();
    const bool beside = width >= besideWidth;
    if (beside == (m_rows->direction() == QBoxLayout::LeftToRight))
        return;
    m_rows->setDirection(beside ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom);
    m_rows->setSpacing(beside ? tw(300) : 0);
    right->setColumnMinimumWidth(0, tw(beside ? 1500 : 1800) - right->horizontalSpacing());
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
    emit textsChanged();
}

void DetailsBlock::setAge(const QString& text) {
    setWrappedText(m_age, text);
}

void DetailsBlock::setWrappedText(QLabel* label, const QString& text) {
    // told every second: the viewer hears of it only when the lines it needs change
    label->setText(text);
    if (label->heightForWidth(label->width()) != label->height())
        emit textsChanged();
}

int DetailsBlock::neededHeight(int width) {
    // a label's new text dirties only the outer layout: the rows' own are asked afresh
    for (QLayout* rows : layout()->findChildren<QLayout*>())
        rows->invalidate();
    arrangeRows(width);
    return layout()->hasHeightForWidth() ? layout()->totalHeightForWidth(width)
                                         : layout()->totalSizeHint().height();
}

void DetailsBlock::setNextRefresh(const QString& text) {
    setWrappedText(m_nextRefresh, text);
}

void DetailsBlock::setTime(const QString& text) {
    m_time->setText(text);
}

QString DetailsBlock::nextRefresh() const {
    return m_nextRefresh->text();
}
