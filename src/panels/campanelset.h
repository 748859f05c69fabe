#pragma once

#include "camlist/camrecord.h"
#include "common/camdetails.h"
#include "imaging/picturesave.h"
#include "panels/camslot.h"

#include <QImage>
#include <QObject>
#include <array>
#include <functional>
#include <memory>

class BackgroundQueue;
class CamAlertSettings;
class CamCredentials;
class DesktopNotifier;

class ReceptionBudget;
class CamListModel;
class CertificatePins;
class DecodeQueue;
class Prompter;
class QScrollBar;
class QWidget;
class WindowLock;
struct PanelDecode;
enum class FetchFailure;

// Where the panel container sits for a scroll value of the panel area: 30 twips above the
// plain offset.
int32_t PanelAreaTop(int32_t scrollValue);

// The "Webcams" area: 26 places in a scrolling box, each a CamSlot shown by its panel. Cams are
// started from their records into the lowest free place, at most 24 at once; one place may be
// selected for the viewer. What a fetch brings is decoded off the window's thread and shown in
// its panel in the order the fetches ended, saved when it is new and auto-save is on, and
// handed on for the viewer when the place is the selected one.
class CamPanelSet : public QObject {
    Q_OBJECT
  public:
    static constexpr int panelCount = 26;
    static constexpr int maxRunningCams = 24;

    // The scroll bar, the clipping box and the panels are made inside `frame`. Pictures are
    // saved on `files`, one after the other.
    CamPanelSet(QWidget* frame, CamListModel& camList, QString camFolder, WindowLock& lock,
                Prompter& prompter, CertificatePins& pins, CamCredentials& credentials,
                BackgroundQueue& files);
    ~CamPanelSet() override;

    const CamSlot& slot(int index) const { return m_slots.at(size_t(index)); }
    CamPanel* panel(int index) const { return slot(index).view; }
    CamFetcher* fetcher(int index) const { return slot(index).fetcher; }
    bool isRunning(int index) const { return slot(index).running; }
    int selectedCam() const { return m_selected; }
    // A panel was clicked and the viewer shows the selected place (place 0 counts as selected
    // before any click, unseen).
    bool isViewerShown() const { return m_viewerShown; }
    // What a running cam of that name has learned about how often its picture changes.
    const ChangeRate* learnedRate(const QByteArray& camName) const;
    int activeCams() const { return m_activeCams; }
    QScrollBar* scrollBar() const { return m_scrollBar; }
    // Whether place `index` has shown and saved all its fetches brought.
    bool isSettled(int index) const { return slot(index).settled(); }
    // Where the panels' pictures are decoded.
    DecodeQueue& decodeQueue() const { return *m_decodes; }
    QWidget* innerArea() const { return m_inner; }

    // Start-up: every panel gets the fetching indicator's picture.
    void givePanelsFetchingIndicator(const QImage& indicator);
    void setNotFoundPicture(const QImage& picture) { m_notFound = picture; }
    const QImage& notFoundPicture() const { return m_notFound; }
    void setAutoSave(bool on) { m_autoSave = on; }
    // While nobody sees them (the window minimised or hidden) and nothing is saved, the cams
    // fetch nothing; they fetch again at once when seen, and a cam's refresh button wakes it.
    void setResting(bool resting);
    bool isResting() const { return m_resting; }
    // The visible part of the panel area follows the window's height; its width, the panels'
    // grid and the scroll range follow the number of columns.
    void arrangeArea(int columns, int clipHeight, int scrollBarHeight);
    void scrollPanels();

    // Starts the cam of that name in the list unless it runs already or 24 run.
    void StartSelectedCam(const std::string& name);
    void StartCamByName(const std::string& name);
    // Starts the cam in place `panel` when that one is free (a restored session); false when
    // the cam is not in the cam list or cannot start, with the reason in `why`.
    bool StartCamInPanel(const std::string& name, int panel, QString* why = nullptr);
    void refreshNow(int index);
    void stopCam(int index);
    void stopAllCams();
    // A click on a panel's picture: it becomes the selected place.
    void selectPanel(int index);
    // Selects the next running cam after the selected one (`step` 1) or before it (-1), round
    // the places; nothing when no cam runs.
    void selectNextRunning(int step);
    // An edited cam: the places running `oldName` take the new record; nothing restarts.
    void UpdateOpenPanels(const std::string& oldName, const CamRecord& edited);

    // Asks whether to trust the certificate that place `index`'s server presented last; when
    // the user does, it is pinned for that cam and the cam is asked again at once.
    void trustCertificate(int index);
    // Asks whether the password of place `index`'s cam may travel over plain HTTP; when the
    // user agrees, it is kept for that cam and the cam is asked again at once.
    void allowUnencryptedPassword(int index);
    // Cams whose owner asked are watched for going dark, and the desktop is told through
    // `notifier`; cams watched keep running while the window is not seen.
    void watchForDarkness(CamAlertSettings& alerts, DesktopNotifier& notifier);
    // Where "now" comes from for the pictures' ages; tests set their own.
    void setClock(std::function<int64_t()> now) { m_now = std::move(now); }

    // What the save command saves: the selected place's picture and cam name.
    PictureToSave selectedPicture() const;
    QByteArray selectedName() const;

  signals:
    void statusText(const QString& text);
    // A panel was clicked: its picture as the panel has it (the whole one follows by
    // selectedPictureArrived when it has yet to be decoded), the picture's own size, and the
    // texts for the viewer. `nextRefresh` is empty when the refresh text is not a number.
    void panelSelected(const QImage& picture, QSize pictureSize, const CamDetails& details,
                       const QString& nextRefresh);
    // The selected place counted a second.
    void selectedTicked(const QString& nextRefresh);
    // The selected place's fetching indicator shows, or goes.
    void selectedFetching(bool on);
    void selectedPictureArrived(const QImage& picture);
    // A running cam went dark (`note` says how) or is fine again (`note` is empty).
    void darkStateChanged(const QByteArray& cam, const QString& note);
    // A new picture of `cam` was auto-saved at `path`.
    void pictureSaved(const QByteArray& cam, const QString& path);
    void selectedDetailsChanged(const CamDetails& details);
    void selectedStopped();
    // The selected place's picture age and state, in words, once a second.
    void selectedAge(const QString& text);
    // A fetched picture is shown in panel `index`.
    void pictureShown(int index);
    // The cam of that name stopped running in a place.
    void camStopped(const std::string& name);

  private:
    CamSlot& slotAt(int index) { return m_slots.at(size_t(index)); }
    bool startCam(const CamRecord& record, int wantedPanel);
    void fetchStarted(int index);
    void ticked(int index);
    void progressed(int index, float percent, const QString& fileName);
    // Whether place `index`'s cam went dark or came back, and the word to the desktop.
    void watchDark(int index);
    QString darkText(int index) const;
    // A place rests while nobody sees the cams, unless its owner waits for word of it.
    bool restsWhenUnseen(const CamSlot& place) const { return !place.dark.alerts().on; }
    // The cam's credentials, from where they are kept, for its fetcher.
    void giveCredentials(int index);
    quint64 nextTicket(int index);
    // the completion of fetches, in each place's order (panelcompletion.cpp)
    void pictureArrived(int index, const FetchedPicture& fetched);
    void pictureDecoded(quint64 ticket, const PanelDecode& decoded);
    void queueCompletion(int index, PanelCompletion completion);
    void showCompletions(int index);
    void showPicture(int index, const PanelCompletion& completion);
    void showSamePicture(int index, const PanelCompletion& completion);
    void showNotAPicture(int index, const CamDetails& details);
    void showUnchanged(int index, const CamDetails& details);
    void showFailure(int index, const QString& reason, FetchFailure kind);
    void showUnreadable(int index, const PanelCompletion& completion);
    // Saves the picture of these bytes as the place's cam's, off the window's thread.
    void autoSave(int index, const QByteArray& bytes);
    // the whole picture for the viewer, decoded off the window's thread when it is not at hand
    void deliverWholePicture(int index);
    // The place's fetching indicator, and the full-screen view's for the selected place.
    void showFetching(int index, bool on);
    void wholePictureDecoded(int index, const PanelDecode& decoded);
    QString nextRefreshText(int index) const;
    void updateMark(int index);
    QString ageText(int index) const;
    CamDetails withFreshness(int index, CamDetails details) const;
    // The keyboard: arrow keys move the focus between running panels, which hold one Tab stop.
    void moveFocus(int from, int columns, int rows);
    void updateTabStop();
    void revealPanel(int index);

    CamListModel& m_camList;
    const QString m_camFolder;
    WindowLock& m_lock;
    Prompter& m_prompter;
    CertificatePins& m_pins;
    CamCredentials& m_credentials;
    BackgroundQueue& m_files;
    std::function<int64_t()> m_now;
    CamAlertSettings* m_alerts = nullptr;
    DesktopNotifier* m_notifier = nullptr;
    std::array<CamSlot, panelCount> m_slots;
    std::shared_ptr<ReceptionBudget> m_budget; // the answers being received, all places
    DecodeQueue* m_decodes = nullptr;
    QScrollBar* m_scrollBar = nullptr; // VScroll1
    QWidget* m_clip = nullptr;         // picWindowOuter
    QWidget* m_inner = nullptr;        // picWindowInner
    int m_columns = 2;
    bool m_resting = false;
    int m_tabStop = -1; // the running panel Tab stops at; arrow keys move it
    QImage m_notFound;
    bool m_autoSave = false;
    int m_selected = 0;         // place 0 counts as selected until a panel is clicked
    bool m_viewerShown = false; // a panel was clicked: the viewer shows the selected picture
    bool m_selectedWithoutPicture = false; // the viewer measured no picture at the click
    int m_activeCams = 0;
    quint64 m_tickets = 0;
    qint64 m_saveBytesPending = 0; // the pictures waiting to be saved, all places together
};
