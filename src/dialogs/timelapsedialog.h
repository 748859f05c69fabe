#pragma once

#include "common/background.h"
#include "timelapse/timelapseexport.h"

#include <QByteArray>
#include <QDialog>
#include <functional>
#include <memory>
#include <vector>

class FileChooser;
class Prompter;
class QCheckBox;
class QComboBox;
class QDateTimeEdit;
class QFormLayout;
class QLabel;
class QProgressDialog;
class QPushButton;
class QSpinBox;
class QTimer;

// "Export Time-lapse": a cam, a time range (all its saved pictures unless narrowed) and a frame
// rate; Export asks where the film goes and makes it with a progress dialog that can cancel.
// The cam's pictures are found and the film is made off the window's thread.
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
    QCheckBox* onlyMotionBox() const { return m_onlyMotion; }
    // Fills in what the chosen cam keeps of its own for a film: the names it had before, its
    // motion choices and mask.
    void setCamChoices(std::function<void(TimelapseOptions&)> fill) { m_camChoices = std::move(fill); }
    QLabel* countLabel() const { return m_count; }
    const TimelapseSummary& lastSummary() const { return m_summary; }

    // `cam` chosen, its pictures between `from` and `to` (both included).
    void narrowTo(const QByteArray& cam, const QDateTime& from, const QDateTime& to);
    // Asks for the film's file and makes it.
    void exportFilm();
    // Makes the film at `path` on a thread of its own, with a progress dialog whose Cancel drops
    // the film; the result is said in a message and kept in lastSummary().
    void exportTo(const QString& path);
    bool isExporting() const { return m_run != nullptr; }
    // Films still being made or dropped on their threads, a cancelled one included.
    int filmsAtWork() const { return m_filmsAtWork; }
    // The chosen cam's saved pictures are being found.
    bool isCounting() const { return m_counting != 0; }
    QProgressDialog* progressDialog() const { return m_progress; }

  signals:
    void exported(const QString& path);

  private:
    void addLeavingOut(QFormLayout* form);
    TimelapseOptions options() const;
    // The count of pictures the choices take, and the range of the cam's pictures.
    void updateCount();
    void findCamsPictures();
    void setChoicesEnabled(bool enabled);
    void showProgress();
    void complete(const TimelapseSummary& summary, int framesPerSecond);

    struct Run; // what the dialog and the thread making the film share

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
    QCheckBox* m_skipDark = nullptr;
    QCheckBox* m_skipRepeats = nullptr;
    QCheckBox* m_onlyMotion = nullptr;
    std::function<void(TimelapseOptions&)> m_camChoices;
    QLabel* m_count = nullptr;
    QPushButton* m_export = nullptr;
    std::shared_ptr<Run> m_run;
    // the pictures' search and the film, one after the other; a film being cancelled ends
    // after the picture it is at, which the dialog waits for when it goes
    BackgroundQueue m_work{1, true};
    int m_filmsAtWork = 0;
    quint64 m_searches = 0;
    quint64 m_counting = 0; // the search for the chosen cam's pictures under way
    QProgressDialog* m_progress = nullptr;
    QTimer* m_progressTimer = nullptr;
    QString m_output;
    TimelapseSummary m_summary;
};
