#pragma once

#include "camlist/camrecord.h"
#include "common/camdetails.h"
#include "panels/changerate.h"
#include "panels/freshness.h"

#include <QImage>
#include <QList>
#include <QObject>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

class CamFetcher;
class CamPanel;
class CompletionOrder;
class DecodeQueue;
class CertificatePins;
class Prompter;
class QScrollBar;
class QWidget;
class WindowLock;
struct DecodedPicture;
struct FetchedPicture;
struct PanelCompletion;
enum class FetchFailure;

// Where the panel container sits for a scroll value of the panel area: 30 twips above the
// plain offset, in 16-bit arithmetic.
int16_t PanelAreaTop(int32_t scrollValue);

// The "Webcams" area: 26 panels in a scrolling box, each with the fetcher of its cam. Cams are
// started into the lowest free panel, at most 24 at once; one panel may be selected for the
// viewer. What a fetch brings is shown in its panel, saved when it is new and auto-save is
// on, and handed on for the viewer when the panel is the selected one.
class CamPanelSet : public QObject {
    Q_OBJECT
  public:
    static constexpr int panelCount = 26;
    static constexpr int maxRunningCams = 24;

    // The scroll bar, the clipping box and the panels are made inside `frame`.
    CamPanelSet(QWidget* frame, std::filesystem::path camList, QString camFolder, WindowLock& lock,
                Prompter& prompter, CertificatePins& pins);
    ~CamPanelSet() override;

    CamPanel* panel(int index) const { return m_panels.at(index); }
    CamFetcher* fetcher(int index) const { return m_fetchers.at(index); }
    int selectedCam() const { return m_selected; }
    // What a running cam of that name has learned about how often its picture changes.
    const ChangeRate* learnedRate(const QByteArray& camName) const;
    int activeCams() const { return m_activeCams; }
    QScrollBar* scrollBar() const { return m_scrollBar; }
    // Whether panel `index` has shown all its fetches brought (no fetch runs, no decode waits).
    bool isSettled(int index) const;
    // Where the panels' pictures are decoded.
    DecodeQueue& decodeQueue() const { return *m_decodes; }
    QWidget* innerArea() const { return m_inner; }

    // Start-up: every panel gets the fetching indicator's picture.
    void givePanelsFetchingIndicator(const QImage& indicator);
    void setNotFoundPicture(const QImage& picture) { m_notFound = picture; }
    const QImage& notFoundPicture() const { return m_notFound; }
    void setAutoSave(bool on) { m_autoSave = on; }
    // The visible part of the panel area follows the window; the area itself never changes.
    void setAreaHeightTwips(int clipHeight, int scrollBarHeight);
    void VScroll1_Change();

    // Starts the cam named in the list unless it runs already or 24 run.
    void StartSelectedCam(const std::string& name);
    void StartCamByName(const std::string& name);
    // Starts the cam in panel `panel` when that one is free (a restored session); false when
    // the cam is not in the cam list or cannot start.
    bool StartCamInPanel(const std::string& name, int panel);
    void cmdRefresh_Click(int index);
    void cmdStop_Click(int index);
    void cmdStopAll_Click();
    // A click on a panel's picture: it becomes the selected panel.
    void imgCam_Click(int index);
    // An edited cam: the panels showing `oldName` take the new record; nothing restarts.
    void UpdateOpenPanels(const std::string& oldName, const CamRecord& edited);

    // Asks whether to trust the certificate that panel `index`'s server presented last; when
    // the user does, it is pinned for that cam and the cam is asked again at once.
    void trustCertificate(int index);
    // Where "now" comes from for the pictures' ages; tests set their own.
    void setClock(std::function<int64_t()> now) { m_now = std::move(now); }

    // What the save command saves: the selected panel's picture and cam name.
    QImage selectedPicture() const;
    QByteArray selectedName() const;

  signals:
    void statusText(const QString& text);
    // A panel was clicked: its picture and texts for the viewer. `nextRefresh` is empty when
    // the refresh text is not a number.
    void panelSelected(const QImage& picture, const CamDetails& details,
                       const QString& nextRefresh);
    // The selected panel counted a second.
    void selectedTicked(const QString& nextRefresh);
    void selectedFetchStarted();
    void selectedPictureArrived(const QImage& picture);
    void selectedDetailsChanged(const CamDetails& details);
    void selectedStopped();
    // The selected panel's picture age and state, in words, once a second.
    void selectedAge(const QString& text);
    // A fetched picture is shown in panel `index`.
    void pictureShown(int index);

  private:
    bool startCam(const std::string& name, int wantedPanel);
    void fetchStarted(int index);
    void ticked(int index);
    void progressed(int index, float percent, const QString& fileName);
    // the completion of fetches, in each panel's order (panelcompletion.cpp)
    void pictureArrived(int index, const FetchedPicture& fetched);
    void pictureDecoded(quint64 ticket, const DecodedPicture& decoded);
    void queueCompletion(int index, PanelCompletion completion);
    void showCompletions(int index);
    void showPicture(int index, const PanelCompletion& completion);
    void showSamePicture(int index, const PanelCompletion& completion);
    void showNotAPicture(int index, const CamDetails& details);
    void showUnchanged(int index, const CamDetails& details);
    void showFailure(int index, const QString& reason, FetchFailure kind);
    void autoSave(int index, const QImage& picture);
    QString nextRefreshText(int index) const;
    void updateMark(int index);
    QString ageText(int index) const;
    CamDetails withFreshness(int index, CamDetails details) const;

    // what a panel knows of its pictures beyond what it shows
    struct PanelRecord {
        FreshnessTracker freshness;
        QByteArray shownBody; // the bytes of the picture shown, to know the same one again
        ChangeRate rate;      // how often its picture really changes
        QByteArray rateBody;  // the bytes of the last picture the rate saw
    };

    const std::filesystem::path m_camList;
    const QString m_camFolder;
    WindowLock& m_lock;
    Prompter& m_prompter;
    CertificatePins& m_pins;
    std::function<int64_t()> m_now;
    QList<PanelRecord> m_records;
    std::unique_ptr<CompletionOrder> m_order;
    DecodeQueue* m_decodes = nullptr;
    QScrollBar* m_scrollBar = nullptr; // VScroll1
    QWidget* m_clip = nullptr;         // picWindowOuter
    QWidget* m_inner = nullptr;        // picWindowInner
    QList<CamPanel*> m_panels;
    QList<CamFetcher*> m_fetchers;
    QImage m_notFound;
    bool m_autoSave = false;
    int m_selected = 0;         // panel 0 counts as selected until a panel is clicked
    bool m_viewerShown = false; // a panel was clicked: the viewer shows the selected picture
    int m_activeCams = 0;
};
