#include "panels/campanelset.h"

#include "config/camalerts.h"
#include "config/desktopnotifier.h"

#include "camlist/camlistmodel.h"
#include "common/localtext.h"
#include "common/numbertext.h"
#include "common/prompter.h"
#include "imaging/picturecheck.h"
#include "net/camfetcher.h"
#include "net/receptionbudget.h"
#include "panels/campanel.h"
#include "config/certificatepins.h"
#include "net/camsocket.h"
#include "panels/decodequeue.h"
#include "config/camcredentials.h"
#include "ui/screentwips.h"
#include "ui/widgetkit.h"
#include "ui/windowlock.h"

#include <QDateTime>
#include <QScrollBar>

int32_t PanelAreaTop(int32_t scrollValue) {
    // 32-bit: a single column of 24 rows scrolls further than 16 bits reach
    return -scrollValue - 30;
}

CamPanelSet::CamPanelSet(QWidget* frame, CamListModel& camList, QString camFolder, WindowLock& lock,
                         Prompter& prompter, CertificatePins& pins, CamCredentials& credentials,
                         BackgroundQueue& files)
    : QObject(frame), m_camList(camList), m_camFolder(std::move(camFolder)), m_lock(lock),
      m_prompter(prompter), m_pins(pins), m_credentials(credentials), m_files(files),
      m_now([] { return QDateTime::currentSecsSinceEpoch(); }),
      m_budget(std::make_shared<ReceptionBudget>(programReceptionBytes)) {
    setObjectName("camPanelSet");
    m_scrollBar = new QScrollBar(Qt::Vertical, frame);
    m_scrollBar->setObjectName("VScroll1");
    m_scrollBar->setAccessibleName(tr("Scroll the panels"));
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
    connect(m_scrollBar, &QScrollBar::valueChanged, this, &CamPanelSet::scrollPanels);
    // changed credentials reach the places that run the cam
    connect(&m_credentials, &CamCredentials::changed, this, [this](const QByteArray& cam) {
        for (const CamSlot& place : m_slots)
            if (place.running && place.record.name == cam.toStdString())
                giveCredentials(place.index);
    });

    m_decodes = new DecodeQueue(this);
    connect(m_decodes, &DecodeQueue::decoded, this, &CamPanelSet::pictureDecoded);

    for (int index = 0; index < panelCount; ++index) {
        CamSlot& place = m_slots[size_t(index)];
        place.index = index;
        auto* view = new CamPanel(index, m_inner);
        auto* cycle = new CamFetcher(this);
        place.view = view;
        place.fetcher = cycle;
        cycle->setObjectName(QString("camFetcher(%1)").arg(index));
        cycle->setPictureTest(IsWholeKnownPicture);
        cycle->setReceptionBudget(m_budget);
        connect(view, &CamPanel::clicked, this, [this, index] { selectPanel(index); });
        connect(view, &CamPanel::refreshClicked, this, [this, index] { refreshNow(index); });
        connect(view, &CamPanel::stopClicked, this, [this, index] { stopCam(index); });
        connect(view, &CamPanel::stepRequested, this,
                [this, index](int columns, int rows) { moveFocus(index, columns, rows); });
        connect(view, &CamPanel::trustCertificateClicked, this,
                [this, index] { trustCertificate(index); });
        connect(view, &CamPanel::unencryptedPasswordClicked, this,
                [this, index] { allowUnencryptedPassword(index); });
        connect(cycle, &CamFetcher::fetchStarted, this, [this, index] { fetchStarted(index); });
        connect(cycle, &CamFetcher::ticked, this, [this, index] { ticked(index); });
        connect(cycle, &CamFetcher::progressed, this,
                [this, index](float percent, const QString& file) {
                    progressed(index, percent, file);
                });
        connect(cycle, &CamFetcher::pictureArrived, this,
                [this, index](const FetchedPicture& fetched) { pictureArrived(index, fetched); });
        connect(cycle, &CamFetcher::notAPicture, this, [this, index] {
            PanelCompletion completion;
            completion.kind = PanelCompletion::Kind::NotPicture;
            completion.details = fetcher(index)->details();
            queueCompletion(index, std::move(completion));
        });
        connect(cycle, &CamFetcher::problem, this, &CamPanelSet::statusText);
        connect(cycle, &CamFetcher::unchanged, this, [this, index](const CamDetails& details) {
            PanelCompletion completion;
            completion.kind = PanelCompletion::Kind::Unchanged;
            completion.details = details;
            queueCompletion(index, std::move(completion));
        });
        connect(cycle, &CamFetcher::failed, this,
                [this, index](const QString& reason, FetchFailure kind) {
                    PanelCompletion completion;
                    completion.kind = PanelCompletion::Kind::Failure;
                    completion.reason = reason;
                    completion.failure = kind;
                    queueCompletion(index, std::move(completion));
                });
        connect(cycle, &CamFetcher::serverReached, this,
                [this, index] { slotAt(index).freshness.connected(); });
        cycle->setPinLookup([this, index](const QString& hostPort) {
            return m_pins.lookup(fetcher(index)->name(), hostPort);
        });
        connect(cycle, &CamFetcher::halted, this, [this, index](const QString& text) {
            showFetching(index, false);
            emit statusText(text);
        });
    }
}

CamPanelSet::~CamPanelSet() = default;

void CamPanelSet::givePanelsFetchingIndicator(const QImage& indicator) {
    m_lock.lock(true);
    for (const CamSlot& place : m_slots)
        place.view->setIndicatorPicture(indicator);
    m_lock.lock(false);
}

void CamPanelSet::arrangeArea(int columns, int clipHeight, int scrollBarHeight) {
    const int added = (columns - 2) * 1680;
    const int addedRows = CamPanel::gridRows(columns) - 12;
    setGeometryTwips(m_clip, 120, 240, 3495 + added, clipHeight);
    setGeometryTwips(m_scrollBar, 3600 + added, 240, 255, scrollBarHeight);
    if (columns == m_columns)
        return;
    m_columns = columns;
    m_scrollBar->setMaximum(std::max(0, 18000 + addedRows * 1980));
    setGeometryTwips(m_inner, -60, -30, 3555 + added, 24060 + addedRows * 1980);
    for (const CamSlot& place : m_slots)
        setGeometryTwips(place.view, CamPanel::gridGeometryTwips(place.index, columns));
    scrollPanels();
}

void CamPanelSet::scrollPanels() {
    m_inner->move(m_inner->x(), tw(PanelAreaTop(m_scrollBar->value())));
}

void CamPanelSet::StartSelectedCam(const std::string& name) {
    if (m_activeCams >= maxRunningCams)
        return;
    const QByteArray asCaption(name.data(), qsizetype(name.size()));
    // Idle places count too: their captions are "[WebCam]" or "[webcam]".
    for (const CamSlot& place : m_slots)
        if (place.caption == asCaption)
            return;
    StartCamByName(name);
}

void CamPanelSet::StartCamByName(const std::string& name) {
    if (name.empty())
        return;
    const std::optional<CamRecord> record = m_camList.find(name);
    if (!record) {
        emit statusText(tr("%1 was not found in the cam list file").arg(localText(name)));
        return;
    }
    if (!parseLong(record->refresh)) {
        emit statusText(tr("%1 has an invalid refresh interval: \"%2\"")
                            .arg(localText(record->name), localText(record->refresh)));
        return;
    }
    startCam(*record, -1);
}

bool CamPanelSet::StartCamInPanel(const std::string& name, int wanted, QString* why) {
    for (const CamSlot& place : m_slots)
        if (place.running && place.record.name == name)
            return true; // it runs already
    const std::optional<CamRecord> record = m_camList.find(name);
    if (!record) {
        if (why)
            *why = tr("no longer in the cam list");
        return false;
    }
    if (!parseLong(record->refresh)) {
        if (why)
            *why =
                tr("its refresh interval \"%1\" is not a number").arg(localText(record->refresh));
        return false;
    }
    if (m_activeCams >= maxRunningCams) {
        if (why)
            *why = tr("24 cams run already");
        return false;
    }
    return startCam(*record, wanted);
}

bool CamPanelSet::startCam(const CamRecord& record, int wanted) {
    // Places are reused lowest number first, unless a free one is asked for.
    int index = wanted >= 0 && wanted < maxRunningCams && !slot(wanted).running ? wanted : -1;
    for (int free = 0; index < 0 && free < panelCount; ++free)
        if (!slot(free).running)
            index = free;
    if (index < 0)
        return false;
    CamSlot& place = slotAt(index);
    ++m_activeCams;
    place.running = true;
    place.record = record;
    place.view->show();
    place.fetcher->setRecord(QByteArray::fromStdString(record.name),
                             QByteArray::fromStdString(record.url),
                             QByteArray::fromStdString(record.refresh));
    // a panel with no picture to show asks for the picture itself, not whether it changed
    if (!place.view->hasPicture())
        place.fetcher->forgetValidators();
    place.fetcher->setCredentials(std::nullopt);
    place.fetcher->setPlainPasswordAllowed(
        m_credentials.mayGoUnencrypted(QByteArray::fromStdString(record.name)));
    place.dark.start(m_alerts ? m_alerts->read(place.fetcher->name()) : CamAlerts{}, m_now());
    place.fetcher->beginCycle();
    giveCredentials(index); // the keyring answers a moment later; the fetch takes them then
    updateTabStop();
    return true;
}

void CamPanelSet::moveFocus(int from, int columns, int rows) {
    // left and right go on past free places; up and down only to the place in that column
    const int step = columns + rows * m_columns;
    for (int to = from + step; step != 0 && to >= 0 && to < maxRunningCams; to += step) {
        if (slot(to).running) {
            m_tabStop = to;
            updateTabStop();
            revealPanel(to);
            panel(to)->setFocus(Qt::TabFocusReason);
            return;
        }
        if (rows != 0)
            return;
    }
}

void CamPanelSet::updateTabStop() {
    const auto running = [this](int index) { return index >= 0 && slot(index).running; };
    if (!running(m_tabStop))
        m_tabStop = running(m_selected) ? m_selected : -1;
    for (int index = 0; m_tabStop < 0 && index < maxRunningCams; ++index)
        if (running(index))
            m_tabStop = index;
    for (const CamSlot& place : m_slots)
        place.view->takeTabStop(place.index == m_tabStop);
}

void CamPanelSet::revealPanel(int index) {
    // the scroll value that puts the panel's top, or its bottom, just inside the clipping box
    const QRect at = CamPanel::gridGeometryTwips(index, m_columns);
    const int visible = twipsOf(m_clip->height());
    const int value = m_scrollBar->value();
    if (at.top() - value - 30 < 0)
        m_scrollBar->setValue(at.top() - 60);
    else if (at.bottom() - value - 30 > visible)
        m_scrollBar->setValue(at.bottom() - visible);
}

void CamPanelSet::setResting(bool resting) {
    if (resting == m_resting)
        return;
    m_resting = resting;
    for (const CamSlot& place : m_slots) {
        if (!place.running || !restsWhenUnseen(place))
            continue;
        if (resting) {
            place.fetcher->stop(); // a fetch under way or a stream is let go
            showFetching(place.index, false);
        } else if (!place.fetcher->isHalted() && !place.fetcher->isWaitingForCredentials()) {
            // a refused password is not sent again, a halted cam stays halted
            place.fetcher->beginCycle();
        }
    }
}

void CamPanelSet::refreshNow(int index) {
    fetcher(index)->beginCycle();
}

void CamPanelSet::stopCam(int index) {
    CamSlot& place = slotAt(index);
    CamPanel* panel = place.view;
    place.fetcher->stop();
    m_lock.lock(true);
    panel->clearPicture();
    showFetching(index, false);
    m_lock.lock(false);
    // what was still to come for this place is dropped: queued decodes, late results, the
    // picture kept whole; saves already asked for are still written
    m_decodes->cancel(index);
    place.completions.clear();
    place.wholeTicket = 0;
    place.freshness = {};
    if (place.dark.state() != DarkWatch::State::Fine)
        emit darkStateChanged(place.fetcher->name(), {});
    place.dark.start({}, m_now());
    place.rate = {};
    place.rateBody.clear();
    place.shownBody.clear();
    place.shownSize = {};
    place.wholePicture = {};
    ++place.shownCount;
    panel->setStateMark(Freshness::Idle, QString());
    panel->offerCertificateTrust(false);
    const bool wasRunning = place.running;
    place.running = false;
    place.caption = "[webcam]";
    panel->setFrameCaption(place.caption);
    panel->hide();
    if (wasRunning) {
        --m_activeCams;
        emit camStopped(place.record.name);
    }
    updateTabStop();
    if (index == m_selected) {
        panel->showSelected(false);
        m_selected = -1;
        m_viewerShown = false;
        emit selectedStopped();
    }
}

void CamPanelSet::stopAllCams() {
    for (int index = 0; index < panelCount; ++index)
        stopCam(index);
}

void CamPanelSet::selectNextRunning(int step) {
    const int from = m_selected >= 0 ? m_selected : (step > 0 ? maxRunningCams - 1 : 0);
    for (int offset = 1; offset <= maxRunningCams; ++offset) {
        const int index =
            ((from + step * offset) % maxRunningCams + maxRunningCams) % maxRunningCams;
        if (isRunning(index)) {
            if (index != m_selected)
                selectPanel(index);
            return;
        }
    }
}

void CamPanelSet::selectPanel(int index) {
    if (index < 0 || index >= maxRunningCams)
        return; // only places 0 to 23 ever run
    if (m_selected >= 0 && m_selected != index)
        slotAt(m_selected).wholePicture = {}; // kept whole only while the viewer shows it
    if (m_selected >= 0)
        slotAt(m_selected).view->showSelected(false);
    slotAt(index).view->showSelected(true);
    m_selected = index;
    m_viewerShown = true;
    if (isRunning(index)) {
        m_tabStop = index; // Tab comes back to the panel the viewer shows
        updateTabStop();
    }
    CamSlot& place = slotAt(index);
    const bool whole = !place.wholePicture.isNull();
    const QImage shown = whole ? place.wholePicture : place.view->shownPicture();
    const QSize size = place.shownSize.isValid() ? place.shownSize : shown.size();
    // the viewer measures the picture at the click; without one it does so at the first
    m_selectedWithoutPicture = shown.isNull();
    emit panelSelected(shown, size, withFreshness(index, place.fetcher->details()),
                       nextRefreshText(index));
    emit selectedAge(ageText(index));
    if (!whole)
        deliverWholePicture(index);
}

void CamPanelSet::UpdateOpenPanels(const std::string& oldName, const CamRecord& edited) {
    const QByteArray caption = QByteArray::fromStdString(oldName);
    for (CamSlot& place : m_slots) {
        if (place.caption != caption)
            continue;
        const QByteArray name = QByteArray::fromStdString(edited.name);
        if (place.record.url != edited.url)
            place.rate.reset(); // another picture, another rate
        place.record = edited;
        place.fetcher->setRecord(name, QByteArray::fromStdString(edited.url),
                                 QByteArray::fromStdString(edited.refresh));
        place.caption = name;
        place.view->setFrameCaption(name);
        // a running place takes the new values at its next cycle; one that stopped for a bad
        // interval has no next cycle, so it begins one now
        if (place.fetcher->isHalted() && parseLong(edited.refresh))
            place.fetcher->beginCycle();
    }
}

PictureToSave CamPanelSet::selectedPicture() const {
    if (m_selected < 0)
        return {};
    const CamSlot& place = slot(m_selected);
    if (!place.wholePicture.isNull())
        return {place.wholePicture, {}};
    const QByteArray& bytes = place.view->pictureBytes();
    return bytes.isEmpty() ? PictureToSave{place.view->shownPicture(), {}}
                           : PictureToSave{{}, bytes};
}

QByteArray CamPanelSet::selectedName() const {
    return m_selected >= 0 ? fetcher(m_selected)->name() : QByteArray();
}

QString CamPanelSet::nextRefreshText(int index) const {
    const CamFetcher* fetcher = this->fetcher(index);
    if (fetcher->isStreaming())
        return tr("a stream");
    if (fetcher->isWaitingForCredentials()) // asked again only at the user's word
        return tr("after a new password or a refresh");
    if (fetcher->failures() > 0) // waiting longer after failures
        return QString::number(fetcher->waitSecs() - fetcher->elapsedSecs());
    const std::optional<double> refresh = parseNumber(fetcher->refreshText().toStdString());
    if (!refresh)
        return {};
    return QString::fromStdString(formatGeneral(*refresh - fetcher->elapsedSecs(), 15));
}

QString CamPanelSet::ageText(int index) const {
    const CamSlot& place = slot(index);
    const int64_t now = m_now();
    QString text = QString::fromStdString(FreshnessText(
        place.freshness.state(now, place.fetcher->refreshSecs()), place.freshness.reason()));
    if (const auto age = place.freshness.ageSeconds(now))
        text = tr("%1, %2").arg(QString::fromStdString(AgeText(*age)), text);
    if (place.fetcher->sendsPasswordUnencrypted())
        text = tr("%1; its password travels unencrypted").arg(text);
    if (const QString dark = darkText(index); !dark.isEmpty())
        text = tr("%1; %2").arg(text, dark);
    return text;
}

CamDetails CamPanelSet::withFreshness(int index, CamDetails details) const {
    details.age = ageText(index);
    details.updateRate = QString::fromStdString(slot(index).rate.text());
    return details;
}

const ChangeRate* CamPanelSet::learnedRate(const QByteArray& camName) const {
    for (const CamSlot& place : m_slots)
        if (place.running && place.fetcher->name() == camName)
            return &place.rate;
    return nullptr;
}

void CamPanelSet::updateMark(int index) {
    const CamSlot& place = slot(index);
    const Freshness state = place.freshness.state(m_now(), place.fetcher->refreshSecs());
    place.view->setStateMark(state, ageText(index));
}

void CamPanelSet::fetchStarted(int index) {
    CamSlot& place = slotAt(index);
    place.freshness.fetchStarted();
    updateMark(index);
    showFetching(index, true);
    place.caption = place.fetcher->name();
    place.view->setFrameCaption(place.caption);
}

void CamPanelSet::showFetching(int index, bool on) {
    slot(index).view->showFetching(on);
    if (index == m_selected)
        emit selectedFetching(on);
}

void CamPanelSet::watchForDarkness(CamAlertSettings& alerts, DesktopNotifier& notifier) {
    m_alerts = &alerts;
    m_notifier = &notifier;
    connect(&alerts, &CamAlertSettings::changed, this, [this](const QByteArray& cam) {
        for (CamSlot& place : m_slots) {
            if (!place.running || place.fetcher->name() != cam)
                continue;
            const bool rested = m_resting && restsWhenUnseen(place);
            const DarkWatch::State before = place.dark.state();
            place.dark.setAlerts(m_alerts->read(cam));
            if (place.dark.state() != before) // switched off while dark
                emit darkStateChanged(cam, {});
            if (rested && !restsWhenUnseen(place))
                place.fetcher->beginCycle(); // watched now: it runs while unseen
            else if (!rested && m_resting && restsWhenUnseen(place))
                place.fetcher->stop();
            watchDark(place.index);
        }
    });
}

void CamPanelSet::watchDark(int index) {
    CamSlot& place = slotAt(index);
    const DarkWatch::State before = place.dark.state();
    const DarkWatch::Word word = place.dark.check(m_now());
    const QByteArray cam = place.fetcher->name();
    if (place.dark.state() != before)
        emit darkStateChanged(cam, darkText(index));
    if (word == DarkWatch::Word::None || !m_notifier)
        return;
    const QString name = QString::fromLocal8Bit(cam);
    const CamAlerts& alerts = place.dark.alerts();
    if (word == DarkWatch::Word::NoPicture)
        m_notifier->notify(tr("%1 has gone dark").arg(name),
                           tr("No picture for %1 min.").arg(place.dark.darkFor(m_now()) / 60));
    else if (word == DarkWatch::Word::SamePicture)
        m_notifier->notify(tr("%1 shows the same picture").arg(name),
                           tr("The same picture for %1 h.").arg(alerts.hoursUnchanged));
    else
        m_notifier->notify(tr("%1 is back").arg(name), tr("New pictures come again."));
}

QString CamPanelSet::darkText(int index) const {
    const DarkWatch& dark = slot(index).dark;
    const int64_t darkFor = dark.darkFor(m_now());
    switch (dark.state()) {
    case DarkWatch::State::NoPicture:
        return tr("no picture for %1 min").arg(darkFor / 60);
    case DarkWatch::State::SamePicture:
        return tr("the same picture for %1 h").arg(darkFor / 3600);
    case DarkWatch::State::Fine:
        break;
    }
    return {};
}

void CamPanelSet::ticked(int index) {
    watchDark(index);
    updateMark(index); // a picture grows old
    if (index == m_selected) {
        emit selectedTicked(nextRefreshText(index));
        emit selectedAge(ageText(index));
    }
}

void CamPanelSet::progressed(int index, float percent, const QString& fileName) {
    CamPanel* panel = this->panel(index);
    panel->showProgress(percent);
    emit statusText(
        tr("Downloading %1 [%2]")
            .arg(fileName, QString::fromStdString(formatGeneral(panel->progress(), 7))));
}

void CamPanelSet::trustCertificate(int index) {
    const CamFetcher* fetcher = this->fetcher(index);
    // what the question shows is what is trusted, whatever the server presents meanwhile
    const CertificateTrouble trouble = fetcher->certificateTrouble();
    const QByteArray cam = fetcher->name();
    const QString hostPort = fetcher->troubleHostPort();
    if (trouble.fingerprint.isEmpty() || hostPort.isEmpty())
        return;
    const QString name = QString::fromLocal8Bit(cam);
    const QString text =
        tr("The certificate that %1 presented for %2 is not trusted (%3).\n\n"
           "Issued to: %4\nSHA-256 fingerprint:\n%5\n\n"
           "Trust exactly this certificate for %2 from now on? A different certificate "
           "will be refused again.")
            .arg(hostPort, name, trouble.reason, trouble.subject,
                 ReadableFingerprint(trouble.fingerprint));
    m_prompter.askLater(
        panel(index), tr("Trust this certificate"), text, PromptButtons::TrustCancel,
        [this, index, cam, name, hostPort, fingerprint = trouble.fingerprint](PromptAnswer answer) {
            if (answer != PromptAnswer::Ok)
                return;
            if (!m_pins.trust(cam, hostPort, fingerprint)) {
                m_prompter.askLater(panel(index), tr(":: error"),
                                    tr("The trusted certificate could not be stored in your "
                                       "settings."),
                                    PromptButtons::Ok, [](PromptAnswer) {});
                return;
            }
            emit statusText(tr("%1: the certificate of %2 is trusted").arg(name, hostPort));
            // the place asks again at once, when it still runs that cam
            if (isRunning(index) && this->fetcher(index)->name() == cam) {
                panel(index)->offerCertificateTrust(false);
                refreshNow(index);
            }
        });
}

void CamPanelSet::giveCredentials(int index) {
    CamSlot& place = slotAt(index);
    const quint64 start = ++place.starts;
    m_credentials.read(QByteArray::fromStdString(place.record.name),
                       [this, index, start](CredentialStore::Outcome,
                                            std::optional<Credentials> found, const QString&) {
                           const CamSlot& place = slot(index);
                           if (place.starts != start || !place.running)
                               return; // stopped or started again meanwhile
                           place.fetcher->setCredentials(std::move(found));
                       });
}

void CamPanelSet::allowUnencryptedPassword(int index) {
    const QByteArray cam = fetcher(index)->name();
    const QString name = QString::fromLocal8Bit(cam);
    m_prompter.askLater(
        panel(index), tr("Send the password unencrypted"),
        tr("%1 asks for its user name and password over plain HTTP. They would travel "
           "unencrypted: anyone on the network between could read them.\n\nSend them to %1 "
           "anyway from now on?")
            .arg(name),
        PromptButtons::OkCancel, [this, index, cam, name](PromptAnswer answer) {
            if (answer != PromptAnswer::Ok)
                return;
            if (!m_credentials.allowUnencrypted(cam))
                return;
            emit statusText(tr("%1: the password travels unencrypted").arg(name));
            if (isRunning(index) && fetcher(index)->name() == cam) {
                panel(index)->offerUnencryptedPassword(false);
                fetcher(index)->setPlainPasswordAllowed(true);
            }
        });
}
