#include "dialogs/timelapsedialog.h"

#include "common/background.h"
#include "common/filechooser.h"
#include "common/localtext.h"
#include "common/prompter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <atomic>

namespace {

constexpr const char* dateTimeFormat = "yyyy-MM-dd HH:mm:ss";

} // namespace

struct TimelapseDialog::Run {
    // making the film, cancelled, or past the point where it is kept: each of the two threads
    // moves it on only from "making", so a cancel and the film's commit never both happen
    enum State { Making, Cancelled, Committing };
    std::atomic<int> state{Making};
    bool cancel() {
        int making = Making;
        return state.compare_exchange_strong(making, Cancelled);
    }
    bool commit() {
        int making = Making;
        return state.compare_exchange_strong(making, Committing);
    }
    std::atomic<int> done{0};
    std::atomic<int> total{0};
};

TimelapseDialog::TimelapseDialog(const QString& camFolder, const std::vector<QByteArray>& camNames,
                                 const QByteArray& selectedCam, Prompter& prompter,
                                 FileChooser& files, QWidget* parent)
    : QDialog(parent), m_camFolder(camFolder), m_camNames(camNames), m_prompter(prompter),
      m_files(files) {
    setObjectName("timelapseDialog");
    setWindowTitle(tr("Export Time-lapse"));

    m_camBox = new QComboBox(this);
    m_camBox->setObjectName("camBox");
    for (const QByteArray& name : camNames)
        m_camBox->addItem(localText(name), name);
    const int selected = m_camBox->findData(selectedCam);
    m_camBox->setCurrentIndex(selected >= 0 ? selected : 0);

    m_allPictures = new QCheckBox(tr("All saved pictures"), this);
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
    m_framesPerSecond->setSuffix(tr(" frames a second"));
    m_count = new QLabel(this);
    m_count->setObjectName("countLabel");

    auto* form = new QFormLayout;
    form->addRow(tr("Cam:"), m_camBox);
    form->addRow(QString(), m_allPictures);
    form->addRow(tr("From:"), m_from);
    form->addRow(tr("To:"), m_to);
    form->addRow(tr("Speed:"), m_framesPerSecond);
    addLeavingOut(form);
    form->addRow(QString(), m_count);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    m_export = buttons->addButton(tr("Export..."), QDialogButtonBox::AcceptRole);
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
    m_progressTimer = new QTimer(this);
    m_progressTimer->setInterval(100);
    connect(m_progressTimer, &QTimer::timeout, this, &TimelapseDialog::showProgress);
    findCamsPictures();
    updateCount();
}

// What the film may leave out of the pictures.
void TimelapseDialog::addLeavingOut(QFormLayout* form) {
    m_skipDark = new QCheckBox(tr("Skip dark pictures"), this);
    m_skipDark->setObjectName("skipDarkBox");
    m_skipRepeats = new QCheckBox(tr("Skip repeated pictures"), this);
    m_skipRepeats->setObjectName("skipRepeatsBox");
    m_skipRepeats->setToolTip(tr("Leaves out pictures nearly the same as the one before"));
    form->addRow(QString(), m_skipDark);
    form->addRow(QString(), m_skipRepeats);
    m_onlyMotion = new QCheckBox(tr("Only pictures with motion"), this);
    m_onlyMotion->setObjectName("onlyMotionBox");
    m_onlyMotion->setToolTip(
        tr("Judged from the pictures themselves by the cam's motion choices and mask"));
    form->addRow(QString(), m_onlyMotion);
}

TimelapseDialog::~TimelapseDialog() {
    if (m_run)
        m_run->cancel(); // an unfinished film is dropped
}

TimelapseOptions TimelapseDialog::options() const {
    TimelapseOptions options;
    options.camFolder = m_camFolder;
    options.camName = m_camBox->currentData().toByteArray();
    options.framesPerSecond = m_framesPerSecond->value();
    options.otherCams = m_camNames;
    options.skipDark = m_skipDark->isChecked();
    options.skipRepeats = m_skipRepeats->isChecked();
    options.onlyMotion = m_onlyMotion->isChecked();
    if (m_camChoices)
        m_camChoices(options);
    if (!m_allPictures->isChecked()) {
        options.from = m_from->dateTime();
        options.to = m_to->dateTime();
    }
    return options;
}

void TimelapseDialog::findCamsPictures() {
    // the folder is read once for each cam chosen, off the window's thread; the range is
    // counted from this
    m_camsPictures.clear();
    if (m_camBox->currentIndex() < 0)
        return;
    const quint64 search = ++m_searches;
    m_counting = search;
    m_work.run(
        this,
        [folder = m_camFolder, cam = m_camBox->currentData().toByteArray(), others = m_camNames] {
            return FindSavedPictures(folder, cam, std::nullopt, std::nullopt, others);
        },
        [this, search](std::vector<CamPictureFile> pictures) {
            if (search != m_counting)
                return; // another cam was chosen meanwhile
            m_counting = 0;
            m_camsPictures = std::move(pictures);
            updateCount();
        });
}

void TimelapseDialog::updateCount() {
    if (m_camBox->currentIndex() < 0) {
        m_count->setText(tr("There is no cam in the list."));
        m_export->setEnabled(false);
        return;
    }
    if (m_counting) {
        m_count->setText(tr("Looking for the saved pictures..."));
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
    // English has a text of its own for one picture; %n gives other languages their plurals
    m_count->setText(count == 1 ? tr("1 saved picture")
                                : tr("%n saved pictures", nullptr, int(count)));
    m_export->setEnabled(count > 0 && !m_run);
}

void TimelapseDialog::narrowTo(const QByteArray& cam, const QDateTime& from, const QDateTime& to) {
    if (m_run)
        return; // a film is being made of the choices
    if (const int index = m_camBox->findData(cam); index >= 0)
        m_camBox->setCurrentIndex(index);
    m_allPictures->setChecked(false);
    m_from->setDateTime(from);
    m_to->setDateTime(to);
}

// The choices stay as they are while a film is made from them.
void TimelapseDialog::setChoicesEnabled(bool enabled) {
    m_camBox->setEnabled(enabled);
    m_allPictures->setEnabled(enabled);
    m_from->setEnabled(enabled && !m_allPictures->isChecked());
    m_to->setEnabled(enabled && !m_allPictures->isChecked());
    m_framesPerSecond->setEnabled(enabled);
    m_skipDark->setEnabled(enabled);
    m_skipRepeats->setEnabled(enabled);
    m_onlyMotion->setEnabled(enabled);
}

void TimelapseDialog::exportFilm() {
    const QString name = localText(m_camBox->currentData().toByteArray()).remove('/');
    // the name's extension chooses: Motion-JPEG AVI, or H.264 MP4 for phones and web pages
    const QString path =
        m_files.fileToSave(this, tr("Export Time-lapse"), m_camFolder + "/" + name + ".avi",
                           tr("AVI films (*.avi);;MP4 films, H.264 (*.mp4)"));
    if (!path.isEmpty())
        exportTo(path);
}

void TimelapseDialog::exportTo(const QString& path) {
    if (m_run)
        return;
    TimelapseOptions chosen = options();
    chosen.output = path;
    m_output = path;
    auto run = std::make_shared<Run>();
    m_run = run;
    m_export->setEnabled(false);
    setChoicesEnabled(false);
    // not modal: a modal progress dialog would run the event loop inside each update
    m_progress = new QProgressDialog(tr("Making the time-lapse film..."), tr("Cancel"), 0,
                                     int(m_camsPictures.size()), this);
    m_progress->setObjectName("timelapseProgress");
    m_progress->setWindowModality(Qt::NonModal);
    m_progress->setAutoClose(false);
    m_progress->setAutoReset(false);
    m_progress->setMinimumDuration(300);
    connect(m_progress, &QProgressDialog::canceled, this,
            [this, framesPerSecond = chosen.framesPerSecond] {
                if (!m_run)
                    return;
                if (!m_run->cancel()) { // the film is whole and being kept: said when it is
                    m_progress->setLabelText(tr("Writing the end of the film..."));
                    return;
                }
                TimelapseSummary cancelled; // the film's thread drops what it made
                cancelled.cancelled = true;
                complete(cancelled, framesPerSecond);
            });
    m_progressTimer->start();
    ++m_filmsAtWork;
    m_work.run(
        this,
        [chosen, run] {
            TimelapseExport film(chosen);
            film.setCommitCheck([&run] { return run->commit(); });
            return film.run([&run](int done, int total) {
                run->done = done;
                run->total = total;
                return run->state == Run::Making;
            });
        },
        [this, run, framesPerSecond = chosen.framesPerSecond](const TimelapseSummary& summary) {
            --m_filmsAtWork;
            if (run == m_run) // not cancelled meanwhile
                complete(summary, framesPerSecond);
        });
}

void TimelapseDialog::showProgress() {
    if (!m_run || !m_progress)
        return;
    m_progress->setMaximum(std::max(m_run->total.load(), 1));
    m_progress->setValue(m_run->done);
}

void TimelapseDialog::complete(const TimelapseSummary& summary, int framesPerSecond) {
    m_summary = summary;
    m_run.reset();
    m_progressTimer->stop();
    setChoicesEnabled(true);
    if (m_progress) {
        m_progress->hide();
        m_progress->deleteLater();
        m_progress = nullptr;
    }
    findCamsPictures();
    updateCount();
    if (m_summary.cancelled)
        return;
    if (!m_summary.error.isEmpty()) {
        m_prompter.ask(this, tr("Export Time-lapse"), m_summary.error, PromptButtons::Ok);
        return;
    }
    m_prompter.ask(this, tr("Export Time-lapse"),
                   TimelapseReport(m_summary, m_output, framesPerSecond), PromptButtons::Ok);
    emit exported(m_output);
}
