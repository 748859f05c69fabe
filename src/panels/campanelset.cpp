#include "panels/campanelset.h"

#include "camlist/camlistfile.h"
#include "common/datetimetext.h"
#include "common/localtext.h"
#include "common/numbertext.h"
#include "common/prompter.h"
#include "ui/screentwips.h"
#include "panels/autosave.h"
#include "net/camfetcher.h"
#include "panels/campanel.h"
#include "panels/certificatepins.h"
#include "panels/completionorder.h"
#include "panels/decodequeue.h"
#include "panels/picturedecode.h"
#include "imaging/picturecheck.h"
#include "ui/widgetkit.h"
#include "ui/windowlock.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QScrollBar>

int16_t PanelAreaTop(int32_t scrollValue) {
    return int16_t(-int16_t(scrollValue) - 30); // 16-bit, as it always was
}

CamPanelSet::CamPanelSet(QWidget* frame, std::filesystem::path camList, QString camFolder,
                         WindowLock& lock, Prompter& prompter, CertificatePins& pins)
    : QObject(frame), m_camList(std::move(camList)), m_camFolder(std::move(camFolder)),
      m_lock(lock), m_prompter(prompter), m_pins(pins),
      m_now([] { return QDateTime::currentSecsSinceEpoch(); }), m_records(panelCount),
      m_order(std::make_unique<CompletionOrder>(panelCount)) {
    setObjectName("camPanelSet");
    m_scrollBar = new QScrollBar(Qt::Vertical, frame);
    m_scrollBar->setObjectName("VScroll1");
    m_scrollBar->setRange(0, 18000);
    m_scrollBar->setSingleStep(600);
    m_scrollBar->setPageStep(2000);
    m_scrollBar->setTracking(false); // the panels move when the thumb is let go
    setGeometryTwips(m_scrollBar, 3600, 240, 255, 10515);

    m_clip = new QWidget(frame);
    m_clip->setObjectName("picWindowOuter");
    setGeometryTwips(m_clip, 120, 240, 3495, 10515);
    m_inner = new QWidget(m_clip);
    m_inner->setObjectName("picWindowInner");
    setGeometryTwips(m_inner, -60, -30, 3555, 24060);
    connect(m_scrollBar, &QScrollBar::valueChanged, this, &CamPanelSet::VScroll1_Change);
    m_decodes = new DecodeQueue(this);
    connect(m_decodes, &DecodeQueue::decoded, this, &CamPanelSet::pictureDecoded);

    for (int index = 0; index < panelCount; ++index) {
        auto* panel = new CamPanel(index, m_inner);
        auto* fetcher = new CamFetcher(this);
        fetcher->setPictureTest(IsWholeKnownPicture);
        fetcher->setObjectName(QString("camFetcher(%1)").arg(index));
        m_panels.append(panel);
        m_fetchers.append(fetcher);
        connect(panel, &CamPanel::clicked, this, [this, index] { imgCam_Click(index); });
        connect(panel, &CamPanel::refreshClicked, this, [this, index] { cmdRefresh_Click(index); });
        connect(panel, &CamPanel::stopClicked, this, [this, index] { cmdStop_Click(index); });
        connect(fetcher, &CamFetcher::fetchStarted, this, [this, index] { fetchStarted(index); });
        connect(fetcher, &CamFetcher::ticked, this, [this, index] { ticked(index); });
        connect(fetcher, &CamFetcher::progressed, this,
                [this, index](float percent, const QString& file) {
                    progressed(index, percent, file);
                });
        connect(fetcher, &CamFetcher::pictureArrived, this,
                [this, index](const FetchedPicture& fetched) { pictureArrived(index, fetched); });
        connect(fetcher, &CamFetcher::notAPicture, this, [this, index] {
            PanelCompletion completion;
            completion.kind = PanelCompletion::Kind::NotPicture;
            completion.details = m_fetchers[index]->details();
            queueCompletion(index, std::move(completion));
        });
        connect(fetcher, &CamFetcher::problem, this, &CamPanelSet::statusText);
        connect(fetcher, &CamFetcher::unchanged, this, [this, index](const CamDetails& details) {
            PanelCompletion completion;
            completion.kind = PanelCompletion::Kind::Unchanged;
            completion.details = details;
            queueCompletion(index, std::move(completion));
        });
        connect(fetcher, &CamFetcher::failed, this,
                [this, index](const QString& reason, FetchFailure kind) {
                    PanelCompletion completion;
                    completion.kind = PanelCompletion::Kind::Failure;
                    completion.reason = reason;
                    completion.failure = kind;
                    queueCompletion(index, std::move(completion));
                });
        connect(fetcher, &CamFetcher::serverReached, this,
                [this, index] { m_records[index].freshness.connected(); });
        connect(panel, &CamPanel::trustCertificateClicked, this,
                [this, index] { trustCertificate(index); });
        fetcher->setPinLookup([this, index](const QString& hostPort) {
            return m_pins.lookup(m_fetchers[index]->name(), hostPort);
        });
        connect(fetcher, &CamFetcher::halted, this, [this, index](const QString& text) {
            m_panels[index]->showFetching(false);
            emit statusText(text);
        });
    }
}

CamPanelSet::~CamPanelSet() = default;

void CamPanelSet::givePanelsFetchingIndicator(const QImage& indicator) {
    m_lock.lock(true);
    for (CamPanel* panel : m_panels)
        panel->setIndicatorPicture(indicator);
    m_lock.lock(false);
}

void CamPanelSet::setAreaHeightTwips(int clipHeight, int scrollBarHeight) {
    setGeometryTwips(m_clip, 120, 240, 3495, clipHeight);
    setGeometryTwips(m_scrollBar, 3600, 240, 255, scrollBarHeight);
}

void CamPanelSet::VScroll1_Change() {
    m_inner->move(m_inner->x(), tw(PanelAreaTop(m_scrollBar->value())));
}

void CamPanelSet::StartSelectedCam(const std::string& name) {
    if (m_activeCams >= maxRunningCams)
        return;
    const QByteArray asCaption(name.data(), qsizetype(name.size()));
    // Idle panels count too: their captions are "[WebCam]" or "[webcam]".
    for (const CamPanel* panel : m_panels)
        if (panel->frameCaption() == asCaption)
            return;
    StartCamByName(name);
}

void CamPanelSet::StartCamByName(const std::string& name) {
    startCam(name, -1);
}

bool CamPanelSet::StartCamInPanel(const std::string& name, int wanted) {
    const QByteArray asCaption(name.data(), qsizetype(name.size()));
    for (const CamPanel* panel : m_panels)
        if (panel->isRunning() && panel->frameCaption() == asCaption)
            return true; // it runs already
    return m_activeCams < maxRunningCams && startCam(name, wanted);
}

bool CamPanelSet::startCam(const std::string& name, int wanted) {
    if (name.empty())
        return false;
    CamRecord record;
    if (!FindCamRecord(m_camList, name, record)) {
        emit statusText(QString("%1 was not found in the cam list file").arg(localText(name)));
        return false;
    }
    if (!parseLong(record.refresh)) {
        emit statusText(QString("%1 has an invalid refresh interval: \"%2\"")
                            .arg(localText(record.name), localText(record.refresh)));
        return false;
    }
    // Panels are reused lowest number first, unless a free one is asked for.
    int index =
        wanted >= 0 && wanted < maxRunningCams && m_panels[wanted]->isHidden() ? wanted : -1;
    for (int free = 0; index < 0 && free < panelCount; ++free)
        if (m_panels[free]->isHidden())
            index = free;
    if (index < 0)
        return false;
    ++m_activeCams;
    m_panels[index]->show();
    m_fetchers[index]->setRecord(QByteArray::fromStdString(record.name),
                                 QByteArray::fromStdString(record.url),
                                 QByteArray::fromStdString(record.refresh));
    m_fetchers[index]->cmdStart_Click();
    return true;
}

void CamPanelSet::cmdRefresh_Click(int index) {
    m_fetchers.at(index)->cmdStart_Click();
}

void CamPanelSet::cmdStop_Click(int index) {
    CamPanel* panel = m_panels.at(index);
    m_fetchers[index]->stop();
    m_lock.lock(true);
    panel->clearPicture();
    panel->showFetching(false);
    m_lock.lock(false);
    m_records[index] = PanelRecord{};
    m_order->drop(index); // late decodes of this panel find nothing to show
    panel->setStateMark(Freshness::Idle, QString());
    panel->offerCertificateTrust(false);
    const bool wasRunning = panel->isRunning();
    panel->setFrameCaption("[webcam]");
    panel->hide();
    if (wasRunning)
        --m_activeCams;
    if (index == m_selected) {
        m_selected = -1;
        m_viewerShown = false;
        emit selectedStopped();
    }
}

void CamPanelSet::cmdStopAll_Click() {
    for (int index = 0; index < panelCount; ++index)
        cmdStop_Click(index);
}

void CamPanelSet::imgCam_Click(int index) {
    if (index < 0 || index >= maxRunningCams)
        return; // only panels 0 to 23 ever run
    m_selected = index;
    m_viewerShown = true;
    emit panelSelected(m_panels[index]->picture(), m_fetchers[index]->details(),
                       nextRefreshText(index));
}

void CamPanelSet::UpdateOpenPanels(const std::string& oldName, const CamRecord& edited) {
    const QByteArray caption = QByteArray::fromStdString(oldName);
    for (int index = 0; index < panelCount; ++index) {
        if (m_panels[index]->frameCaption() != caption)
            continue;
        const QByteArray name = QByteArray::fromStdString(edited.name);
        if (m_fetchers[index]->address() != QByteArray::fromStdString(edited.url))
            m_records[index].rate.reset(); // another picture, another rate
        m_fetchers[index]->setRecord(name, QByteArray::fromStdString(edited.url),
                                     QByteArray::fromStdString(edited.refresh));
        m_panels[index]->setFrameCaption(name);
        // a running panel takes the new values at its next cycle; one that stopped for a bad
        // interval has no next cycle, so it begins one now
        if (m_fetchers[index]->isHalted() && parseLong(edited.refresh))
            m_fetchers[index]->cmdStart_Click();
    }
}

bool CamPanelSet::isSettled(int index) const {
    return !m_fetchers[index]->isFetching() && m_order->waiting(index) == 0;
}

QImage CamPanelSet::selectedPicture() const {
    return m_selected >= 0 ? m_panels[m_selected]->picture() : QImage();
}

QByteArray CamPanelSet::selectedName() const {
    return m_selected >= 0 ? m_fetchers[m_selected]->name() : QByteArray();
}

QString CamPanelSet::nextRefreshText(int index) const {
    const CamFetcher* fetcher = m_fetchers[index];
    if (fetcher->failures() > 0) // waiting longer after failures
        return QString::number(fetcher->waitSecs() - fetcher->elapsedSecs());
    const std::optional<double> refresh = parseNumber(fetcher->refreshText().toStdString());
    if (!refresh)
        return {};
    return QString::fromStdString(formatGeneral(*refresh - fetcher->elapsedSecs(), 15));
}

QString CamPanelSet::ageText(int index) const {
    const PanelRecord& record = m_records[index];
    const int64_t now = m_now();
    QString text = QString::fromStdString(FreshnessText(
        record.freshness.state(now, m_fetchers[index]->refreshSecs()), record.freshness.reason()));
    if (const auto age = record.freshness.ageSeconds(now))
        text = QString::fromStdString(AgeText(*age)) + ", " + text;
    return text;
}

CamDetails CamPanelSet::withFreshness(int index, CamDetails details) const {
    details.age = ageText(index);
    details.updateRate = QString::fromStdString(m_records[index].rate.text());
    return details;
}

const ChangeRate* CamPanelSet::learnedRate(const QByteArray& camName) const {
    for (int index = 0; index < maxRunningCams; ++index)
        if (m_panels[index]->isRunning() && m_fetchers[index]->name() == camName)
            return &m_records[index].rate;
    return nullptr;
}

void CamPanelSet::updateMark(int index) {
    const Freshness state =
        m_records[index].freshness.state(m_now(), m_fetchers[index]->refreshSecs());
    m_panels[index]->setStateMark(state, ageText(index));
}

void CamPanelSet::fetchStarted(int index) {
    m_records[index].freshness.fetchStarted();
    updateMark(index);
    m_panels[index]->showFetching(true);
    if (index == m_selected)
        emit selectedFetchStarted();
    m_panels[index]->setFrameCaption(m_fetchers[index]->name());
}

void CamPanelSet::ticked(int index) {
    updateMark(index); // a picture grows old
    if (index == m_selected) {
        emit selectedTicked(nextRefreshText(index));
        emit selectedAge(ageText(index));
    }
}

void CamPanelSet::progressed(int index, float percent, const QString& fileName) {
    CamPanel* panel = m_panels[index];
    panel->showProgress(percent);
    emit statusText(
        QString("Downloading %1 [%2]")
            .arg(fileName, QString::fromStdString(formatGeneral(panel->progress(), 7))));
}

void CamPanelSet::trustCertificate(int index) {
    CamFetcher* fetcher = m_fetchers[index];
    const CertificateTrouble& trouble = fetcher->certificateTrouble();
    if (trouble.fingerprint.isEmpty())
        return;
    const QString name = QString::fromLocal8Bit(fetcher->name());
    const QString text =
        QString("The certificate that %1 presented for %2 is not trusted (%3).\n\n"
                "Issued to: %4\nSHA-256 fingerprint:\n%5\n\n"
                "Trust exactly this certificate for %2 from now on? A different certificate "
                "will be refused again.")
            .arg(fetcher->troubleHostPort(), name, trouble.reason, trouble.subject,
                 CertificatePins::readable(trouble.fingerprint));
    if (m_prompter.ask(m_panels[index], "Trust this certificate", text,
                       PromptButtons::TrustCancel) != PromptAnswer::Ok)
        return;
    if (!m_pins.trust(fetcher->name(), fetcher->troubleHostPort(), trouble.fingerprint)) {
        m_prompter.ask(m_panels[index], ":: error",
                       "The trusted certificate could not be stored in your settings.",
                       PromptButtons::Ok);
        return;
    }
    m_panels[index]->offerCertificateTrust(false);
    emit statusText(name + ": the certificate of " + fetcher->troubleHostPort() + " is trusted");
    cmdRefresh_Click(index);
}
