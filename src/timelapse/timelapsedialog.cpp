#include "timelapse/timelapsedialog.h"

#include "common/filechooser.h"
#include "common/localtext.h"
#include "common/prompter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFormLayout>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr const char* dateTimeFormat = "yyyy-MM-dd HH:mm:ss";

} // namespace

TimelapseDialog::TimelapseDialog(const QString& camFolder, const std::vector<QByteArray>& camNames,
                                 const QByteArray& selectedCam, Prompter& prompter,
                                 FileChooser& files, QWidget* parent)
    : QDialog(parent), m_camFolder(camFolder), m_camNames(camNames), m_prompter(prompter),
      m_files(files) {
    setObjectName("timelapseDialog");
    setWindowTitle("Export Time-lapse");

    m_camBox = new QComboBox(this);
    m_camBox->setObjectName("camBox");
    for (const QByteArray& name : camNames)
        m_camBox->addItem(localText(name), name);
    const int selected = m_camBox->findData(selectedCam);
    m_camBox->setCurrentIndex(selected >= 0 ? selected : 0);

    m_allPictures = new QCheckBox("All saved pictures", this);
    m_allPictures->setObjectName("allPicturesBox");
    m_allPictures->setChecked(true);
    m_from = new QDateTimeEdit(this);
    m_from->setObjectName("fromEdit");
    m_to = new QDateTimeEdit(this);
    m_to->setObjectName("toEdit");
    for (QDateTimeEdit* edit : {m_from, m_to}) {
        edit->setDisplayFormat(dateTimeFormat);
        edit->setCalendarPopup(true);
        // room for the whole moment and the popup's arrow
        edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance("2026-12-07 10:00:00") + 48);
        edit->setEnabled(false);
    }
    m_framesPerSecond = new QSpinBox(this);
    m_framesPerSecond->setObjectName("framesPerSecondBox");
    m_framesPerSecond->setRange(1, 120);
    m_framesPerSecond->setValue(10);
    m_framesPerSecond->setSuffix(" frames a second");
    m_count = new QLabel(this);
    m_count->setObjectName("countLabel");

    auto* form = new QFormLayout;
    form->addRow("Cam:", m_camBox);
    form->addRow(QString(), m_allPictures);
    form->addRow("From:", m_from);
    form->addRow("To:", m_to);
    form->addRow("Speed:", m_framesPerSecond);
    form->addRow(QString(), m_count);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    m_export = buttons->addButton("Export...", QDialogButtonBox::AcceptRole);
    m_export->setObjectName("exportButton");
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_export, &QPushButton::clicked, this, &TimelapseDialog::exportFilm);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    connect(m_camBox, &QComboBox::currentIndexChanged, this, [this] {
        findCamsPictures();
        m_allPictures->setChecked(true);
        updateCount();
    });
    connect(m_allPictures, &QCheckBox::toggled, this, [this](bool all) {
        m_from->setEnabled(!all);
        m_to->setEnabled(!all);
        updateCount();
    });
    connect(m_from, &QDateTimeEdit::dateTimeChanged, this, [this] { updateCount(); });
    connect(m_to, &QDateTimeEdit::dateTimeChanged, this, [this] { updateCount(); });
    findCamsPictures();
    updateCount();
}

TimelapseDialog::~TimelapseDialog() = default; // an unfinished film is dropped

TimelapseOptions TimelapseDialog::options() const {
    TimelapseOptions options;
    options.camFolder = m_camFolder;
    options.camName = m_camBox->currentData().toByteArray();
    options.framesPerSecond = m_framesPerSecond->value();
    options.otherCams = m_camNames;
    if (!m_allPictures->isChecked()) {
        options.from = m_from->dateTime();
        options.to = m_to->dateTime();
    }
    return options;
}

void TimelapseDialog::findCamsPictures() {
    // the folder is read once for each cam chosen; the range is counted from this
    m_camsPictures.clear();
    if (m_camBox->currentIndex() >= 0)
        m_camsPictures = FindSavedPictures(m_camFolder, m_camBox->currentData().toByteArray(),
                                           std::nullopt, std::nullopt, m_camNames);
}

void TimelapseDialog::updateCount() {
    if (m_camBox->currentIndex() < 0) {
        m_count->setText("There is no cam in the list.");
        m_export->setEnabled(false);
        return;
    }
    const TimelapseOptions chosen = options();
    const auto inRange = [&chosen](const CamPictureFile& picture) {
        return !(chosen.from && picture.taken < *chosen.from) &&
               !(chosen.to && picture.taken > *chosen.to);
    };
    const auto count = std::count_if(m_camsPictures.begin(), m_camsPictures.end(), inRange);
    if (m_allPictures->isChecked() && !m_camsPictures.empty()) {
        // the range shows all the cam's pictures, ready to be narrowed
        const QSignalBlocker fromQuiet(m_from), toQuiet(m_to);
        m_from->setDateTime(m_camsPictures.front().taken);
        m_to->setDateTime(m_camsPictures.back().taken);
    }
    m_count->setText(count == 1 ? QString("1 saved picture")
                                : QString("%1 saved pictures").arg(count));
    m_export->setEnabled(count > 0 && !m_job);
}

// The choices stay as they are while a film is made from them.
void TimelapseDialog::setChoicesEnabled(bool enabled) {
    m_camBox->setEnabled(enabled);
    m_allPictures->setEnabled(enabled);
    m_from->setEnabled(enabled && !m_allPictures->isChecked());
    m_to->setEnabled(enabled && !m_allPictures->isChecked());
    m_framesPerSecond->setEnabled(enabled);
}

void TimelapseDialog::exportFilm() {
    const QString name = localText(m_camBox->currentData().toByteArray()).remove('/');
    const QString path = m_files.fileToSave(this, "Export Time-lapse",
                                            m_camFolder + "/" + name + ".avi", "AVI films (*.avi)");
    if (!path.isEmpty())
        exportTo(path);
}

void TimelapseDialog::exportTo(const QString& path) {
    if (m_job)
        return;
    TimelapseOptions chosen = options();
    chosen.output = path;
    m_output = path;
    m_job = std::make_unique<TimelapseExport>(chosen);
    if (!m_job->start()) {
        complete();
        return;
    }
    m_export->setEnabled(false);
    setChoicesEnabled(false);
    // not modal: a modal progress dialog would run the event loop inside each update
    m_progress =
        new QProgressDialog("Making the time-lapse film...", "Cancel", 0, m_job->total(), this);
    m_progress->setObjectName("timelapseProgress");
    m_progress->setWindowModality(Qt::NonModal);
    m_progress->setAutoClose(false);
    m_progress->setAutoReset(false);
    m_progress->setMinimumDuration(300);
    connect(m_progress, &QProgressDialog::canceled, this, [this] {
        if (m_job) {
            m_job->cancel();
            complete();
        }
    });
    QTimer::singleShot(0, this, &TimelapseDialog::nextSteps);
}

void TimelapseDialog::nextSteps() {
    if (!m_job)
        return;
    if (m_progress && m_progress->wasCanceled()) {
        m_job->cancel();
        complete();
        return;
    }
    // a slice of steps at a time, so the window stays alive and Cancel is heard
    QElapsedTimer slice;
    slice.start();
    bool more = true;
    while (more && slice.elapsed() < 40)
        more = m_job->step();
    if (m_progress)
        m_progress->setValue(m_job->done());
    if (more) {
        QTimer::singleShot(0, this, &TimelapseDialog::nextSteps);
        return;
    }
    if (m_job->summary().error.isEmpty())
        m_job->finish();
    complete();
}

void TimelapseDialog::complete() {
    m_summary = m_job->summary();
    const int framesPerSecond = m_job->options().framesPerSecond;
    m_job.reset();
    setChoicesEnabled(true);
    findCamsPictures();
    if (m_progress) {
        m_progress->hide();
        m_progress->deleteLater();
        m_progress = nullptr;
    }
    updateCount();
    if (m_summary.cancelled)
        return;
    if (!m_summary.error.isEmpty()) {
        m_prompter.ask(this, "Export Time-lapse", m_summary.error, PromptButtons::Ok);
        return;
    }
    m_prompter.ask(this, "Export Time-lapse", TimelapseReport(m_summary, m_output, framesPerSecond),
                   PromptButtons::Ok);
    emit exported(m_output);
}
