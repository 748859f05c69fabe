#include "listpane/camrulesbox.h"

#include "motion/motiontext.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QSpinBox>

namespace {

QSpinBox* spinBox(QWidget* parent, const char* name, int least, int most,
                  const QString& suffix = {}) {
    auto* box = new QSpinBox(parent);
    box->setObjectName(name);
    box->setRange(least, most);
    box->setSuffix(suffix);
    return box;
}

} // namespace

CamRulesBox::CamRulesBox(QWidget* parent) : QGroupBox(tr("Saving and motion"), parent) {
    setObjectName("camRulesBox");
    auto* form = new QFormLayout(this);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    // the dialog is narrow: each label stands above what it names
    form->setRowWrapPolicy(QFormLayout::WrapAllRows);

    m_saving = new QComboBox(this);
    m_saving->setObjectName("savingBox");
    m_saving->addItems({tr("every new picture"), tr("no picture"), tr("at most one every"),
                        tr("only pictures with motion")});
    m_seconds = spinBox(this, "savingSecondsBox", 1, SaveRule::mostSeconds, tr(" s"));
    m_seconds->setAccessibleName(tr("Seconds between saved pictures"));
    auto* saving = new QHBoxLayout;
    saving->addWidget(m_saving, 1);
    saving->addWidget(m_seconds);
    form->addRow(tr("Auto-save keeps:"), saving);

    m_motion = new QCheckBox(tr("Watch for motion"), this);
    m_motion->setObjectName("motionBox");
    m_sensitivity = new QComboBox(this);
    m_sensitivity->setObjectName("sensitivityBox");
    m_sensitivity->setAccessibleName(tr("Sensitivity"));
    for (MotionSensitivity level : {MotionSensitivity::Low, MotionSensitivity::Medium,
                                    MotionSensitivity::High, MotionSensitivity::Custom})
        m_sensitivity->addItem(MotionSensitivityText(level));
    auto* motion = new QHBoxLayout;
    motion->addWidget(m_motion, 1);
    motion->addWidget(m_sensitivity);
    form->addRow(motion);

    m_before = spinBox(this, "picturesBeforeBox", 0, MotionSettings::mostPictures);
    m_before->setAccessibleName(tr("Pictures kept before motion"));
    m_after = spinBox(this, "picturesAfterBox", 0, MotionSettings::mostPictures);
    m_after->setAccessibleName(tr("Pictures kept after motion"));
    auto* around = new QHBoxLayout;
    around->addWidget(m_before);
    around->addWidget(m_after);
    form->addRow(tr("Pictures kept before, after:"), around);
    m_notice = spinBox(this, "motionNoticeBox", 0, MotionSettings::mostNoticeMinutes, tr(" min"));
    m_notice->setSpecialValueText(tr("never"));
    form->addRow(tr("Notify when motion starts, at most every:"), m_notice);

    m_advancedBox = new QCheckBox(tr("Advanced numbers"), this);
    m_advancedBox->setToolTip(tr("The numbers behind the sensitivity"));
    m_advancedBox->setObjectName("advancedMotionBox");
    form->addRow(m_advancedBox);
    m_advanced = makeAdvanced();
    form->addRow(m_advanced);
    m_advanced->hide();

    connect(m_saving, &QComboBox::currentIndexChanged, this, &CamRulesBox::follow);
    connect(m_motion, &QCheckBox::toggled, this, &CamRulesBox::follow);
    connect(m_sensitivity, &QComboBox::currentIndexChanged, this, [this](int level) {
        if (MotionSensitivity(level) != MotionSensitivity::Custom)
            showThresholds(MotionThresholds::of(MotionSensitivity(level)));
    });
    connect(m_advancedBox, &QCheckBox::toggled, this, [this](bool on) {
        m_advanced->setVisible(on);
        emit resized();
    });
    showRules({}, {});
}

QWidget* CamRulesBox::makeAdvanced() {
    auto* advanced = new QWidget(this);
    advanced->setObjectName("advancedMotion");
    auto* form = new QFormLayout(advanced);
    form->setContentsMargins(0, 0, 0, 0);
    form->setRowWrapPolicy(QFormLayout::WrapAllRows);
    m_factor = new QDoubleSpinBox(advanced);
    m_factor->setObjectName("noiseFactorBox");
    m_factor->setRange(1, 20);
    m_factor->setSingleStep(0.5);
    m_difference = spinBox(advanced, "leastDifferenceBox", 1, 255);
    m_area = new QDoubleSpinBox(advanced);
    m_area->setObjectName("leastAreaBox");
    m_area->setRange(0.05, 50);
    m_area->setSuffix(tr(" %"));
    m_cells = spinBox(advanced, "leastCellsBox", 1, 500);
    m_row = spinBox(advanced, "picturesInRowBox", 1, 50);
    m_quiet = spinBox(advanced, "quietPicturesBox", 1, 50);
    form->addRow(tr("Change counted above its noise, times:"), m_factor);
    form->addRow(tr("Least change of a cell, of 255:"), m_difference);
    form->addRow(tr("Least share of the picture changed:"), m_area);
    form->addRow(tr("Least group of changed cells:"), m_cells);
    form->addRow(tr("Pictures in a row with motion (streams):"), m_row);
    form->addRow(tr("Quiet pictures that end an event:"), m_quiet);
    // a number changed by hand makes the sensitivity the user's own
    for (QAbstractSpinBox* box : advanced->findChildren<QAbstractSpinBox*>())
        connect(box, &QAbstractSpinBox::editingFinished, this, [this] {
            if (thresholdsChanged())
                m_sensitivity->setCurrentIndex(int(MotionSensitivity::Custom));
        });
    return advanced;
}

void CamRulesBox::showThresholds(const MotionThresholds& t) {
    m_factor->setValue(t.noiseFactor);
    m_difference->setValue(t.leastDifference);
    m_area->setValue(t.leastAreaPercent);
    m_cells->setValue(t.leastCells);
    m_row->setValue(t.streamPicturesInRow);
    m_quiet->setValue(t.quietPictures);
}

bool CamRulesBox::thresholdsChanged() const {
    const auto level = MotionSensitivity(m_sensitivity->currentIndex());
    return level != MotionSensitivity::Custom && thresholds() != MotionThresholds::of(level);
}

MotionThresholds CamRulesBox::thresholds() const {
    return {m_factor->value(), m_difference->value(), m_area->value(),
            m_cells->value(),  m_row->value(),        m_quiet->value()};
}

void CamRulesBox::showRules(const SaveRule& saving, const MotionSettings& motion) {
    m_saving->setCurrentIndex(int(saving.kind));
    m_seconds->setValue(saving.seconds);
    m_motion->setChecked(motion.on);
    m_sensitivity->setCurrentIndex(int(motion.sensitivity));
    showThresholds(motion.thresholds());
    m_before->setValue(motion.picturesBefore);
    m_after->setValue(motion.picturesAfter);
    m_notice->setValue(motion.noticeMinutes);
    follow();
}

void CamRulesBox::follow() {
    m_seconds->setVisible(SaveRule::Kind(m_saving->currentIndex()) == SaveRule::Kind::AtMost);
    // keeping only pictures with motion needs motion watched
    if (SaveRule::Kind(m_saving->currentIndex()) == SaveRule::Kind::OnlyMotion) {
        const QSignalBlocker quiet(m_motion);
        m_motion->setChecked(true);
    }
    const bool watched = m_motion->isChecked();
    for (QWidget* part : std::initializer_list<QWidget*>{m_sensitivity, m_before, m_after, m_notice,
                                                         m_advancedBox, m_advanced})
        part->setEnabled(watched);
    emit resized();
}

SaveRule CamRulesBox::saveRule() const {
    return {SaveRule::Kind(m_saving->currentIndex()), m_seconds->value()};
}

MotionSettings CamRulesBox::motionSettings() const {
    MotionSettings settings;
    settings.on = m_motion->isChecked();
    settings.sensitivity = MotionSensitivity(m_sensitivity->currentIndex());
    if (settings.sensitivity == MotionSensitivity::Custom)
        settings.custom = thresholds();
    settings.picturesBefore = m_before->value();
    settings.picturesAfter = m_after->value();
    settings.noticeMinutes = m_notice->value();
    return settings;
}
