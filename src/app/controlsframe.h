#pragma once

#include <QGroupBox>

class QCheckBox;
class QToolButton;

// Frame1, "Controls": the commands that start and stop cams, the website button and the
// auto-save box. The cam list with its own buttons lives in the same frame (CamListPane).
class ControlsFrame : public QGroupBox {
    Q_OBJECT
  public:
    // programFolder: where the cams' folder of saved pictures is
    ControlsFrame(const QString& programFolder, QWidget* parent);

    QCheckBox* autoSaveBox() const { return m_autoSave; }
    void setWebsiteText(const QString& text);

  signals:
    void startCamClicked();
    void stopAllClicked();
    void websiteClicked();

  private:
    QCheckBox* m_autoSave = nullptr;  // chkSave
    QToolButton* m_website = nullptr; // Command2
};
