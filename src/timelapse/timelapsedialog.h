#pragma once

#include "timelapse/timelapseexport.h"

#include <QByteArray>
#include <QDialog>
#include <memory>
#include <vector>

class FileChooser;
class Prompter;
class QCheckBox;
class QComboBox;
class QDateTimeEdit;
class QLabel;
class QProgressDialog;
class QPushButton;
class QSpinBox;

// "Export Time-lapse": a cam, a time range (all its saved pictures unless narrowed) and a frame
// rate; Export asks where the film goes and makes it with a progress dialog that can cancel.
class TimelapseDialog : public QDialog {
    Q_OBJECT
  public:
    TimelapseDialog(const QString& camFolder, const std::vector<QByteArray>& camNames,
                    const QByteArray& selectedCam, Prompter& prompter, FileChooser& files,
                    QWidget* parent = nullptr);
    ~TimelapseDialog() override;

    QComboBox* camBox() const { return m_camBox; }
    QCheckBox* allPicturesBox() const { return m_allPictures; }
    QDateTimeEdit* fromEdit() const { return m_from; }
    QDateTimeEdit* toEdit() const { return m_to; }
    QSpinBox* framesPerSecondBox() const { return m_framesPerSecond; }
    QLabel* countLabel() const { return m_count; }
    const TimelapseSummary& lastSummary() const { return m_summary; }

    // Asks for the film's file and makes it.
    void exportFilm();
    // Makes the film at `path`, a slice of pictures between events, with a progress dialog
    // whose Cancel drops the film; the result is said in a message and kept in lastSummary().
    void exportTo(const QString& path);
    bool isExporting() const { return m_job != nullptr; }
    QProgressDialog* progressDialog() const { return m_progress; }

  signals:
    void exported(const QString& path);

  private:
    TimelapseOptions options() const;
    // The count of pictures the choices take, and the range of the cam's pictures.
    void updateCount();
    void findCamsPictures();
    void setChoicesEnabled(bool enabled);
    void nextSteps();
    void complete();

    const QString m_camFolder;
    const std::vector<QByteArray> m_camNames;
    std::vector<CamPictureFile> m_camsPictures; // all the chosen cam's pictures
    Prompter& m_prompter;
    FileChooser& m_files;
    QComboBox* m_camBox = nullptr;
    QCheckBox* m_allPictures = nullptr;
    QDateTimeEdit* m_from = nullptr;
    QDateTimeEdit* m_to = nullptr;
    QSpinBox* m_framesPerSecond = nullptr;
    QLabel* m_count = nullptr;
    QPushButton* m_export = nullptr;
    std::unique_ptr<TimelapseExport> m_job;
    QProgressDialog* m_progress = nullptr;
    QString m_output;
    TimelapseSummary m_summary;
};
