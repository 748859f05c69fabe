#pragma once

#include "history/camrules.h"

#include <QGroupBox>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QSpinBox;
class QWidget;

// The add and edit dialogs' "Saving and motion": which of the cam's new pictures auto-save
// keeps (every one, none, at most one every so many seconds, only those with motion), whether
// its picture is watched for motion and how readily (one sensitivity, with the numbers behind
// it under "Advanced"), how many pictures around an event are kept, and whether a notification
// tells when motion starts.
class CamRulesBox : public QGroupBox {
    Q_OBJECT
  public:
    explicit CamRulesBox(QWidget* parent);

    void showRules(const SaveRule& saving, const MotionSettings& motion);
    SaveRule saveRule() const;
    MotionSettings motionSettings() const;

    QComboBox* savingBox() const { return m_saving; }
    QCheckBox* motionBox() const { return m_motion; }
    QComboBox* sensitivityBox() const { return m_sensitivity; }

  signals:
    // The box grew or shrank ("Advanced" opened, a row shown).
    void resized();

  private:
    QWidget* makeAdvanced();
    void showThresholds(const MotionThresholds& thresholds);
    MotionThresholds thresholds() const;
    // The numbers were changed from those of the sensitivity chosen.
    bool thresholdsChanged() const;
    void follow();

    QComboBox* m_saving = nullptr;
    QSpinBox* m_seconds = nullptr;
    QCheckBox* m_motion = nullptr;
    QComboBox* m_sensitivity = nullptr;
    QSpinBox* m_before = nullptr;
    QSpinBox* m_after = nullptr;
    QSpinBox* m_notice = nullptr;
    QCheckBox* m_advancedBox = nullptr;
    QWidget* m_advanced = nullptr;
    QDoubleSpinBox* m_factor = nullptr;
    QSpinBox* m_difference = nullptr;
    QDoubleSpinBox* m_area = nullptr;
    QSpinBox* m_cells = nullptr;
    QSpinBox* m_row = nullptr;
    QSpinBox* m_quiet = nullptr;
};
