#pragma once

#include "camlist/camrecord.h"
#include "common/camdetails.h"
#include "engine/camplace.h"
#include "engine/freshness.h"
#include "engine/picturesink.h"
#include "engine/sourceregistry.h"

#include <QImage>
#include <QObject>
#include <array>
#include <functional>
#include <memory>
#include <vector>

class CamFollower;
class CamListModel;
class CamSettings;
class DecodeQueue;
class PlaceKeeping;
struct PlaceDecode;
struct SourceAction;

// The cams that run, without a widget: 26 places, at most 24 running at once, each with its
// source (made by the source registry from the cam's address), the decoding of what the sources
// bring (off the window's thread, in each place's order) and the sinks that take each completed
// picture. Views observe it: its signals name the place and what changed, and the place itself
// holds the state. The selection (the place the viewer follows) is one of its followers.
class CamEngine : public QObject {
    Q_OBJECT
  public:
    static constexpr int placeCount = 26;
    static constexpr int maxRunningCams = 24;

    CamEngine(CamListModel& camList, CamSettings& settings, SourceServices services = {},
              QObject* parent = nullptr);
    ~CamEngine() override;

    const CamPlace& place(int index) const { return m_places.at(size_t(index)); }
    PictureSource* source(int index) const { return place(index).source; }
    bool isRunning(int index) const { return place(index).running; }
    int activeCams() const { return m_activeCams; }
    // No fetch runs for the place and nothing waits to be shown or saved.
    bool isSettled(int index) const;
    DecodeQueue& decodeQueue() const { return *m_decodes; }
    CamFollower& selection() const { return *m_selection; }
    CamListModel& camList() const { return m_camList; }
    CamSettings& settings() const { return m_settings; }
    const SourceRegistry& registry() const { return m_registry; }

    // Sinks take every completed picture, in the order they were added (a view showing the
    // places goes first); the engine keeps no ownership. A sink goes before it is destroyed.
    enum class SinkOrder { First, Last };
    void addSink(PictureSink* sink, SinkOrder order = SinkOrder::Last);
    void removeSink(PictureSink* sink);

    // The picture shown when an answer is no picture ("not found").
    void setNotFoundPicture(const QImage& picture) { m_notFound = picture; }
    const QImage& notFoundPicture() const { return m_notFound; }
    // The size the place's picture is shown at: it is decoded no larger than that.
    void setPictureSize(int index, QSize size);
    // While nobody sees them and nothing is saved, cams that nobody waits for word of fetch
    // nothing; they fetch again at once when seen.
    void setResting(bool resting);
    bool isResting() const { return m_resting; }
    // Where "now" comes from for the pictures' ages; tests set their own.
    void setClock(std::function<int64_t()> now) { m_now = std::move(now); }
    int64_t now() const { return m_now(); }

    // Starts the cam of that name in the list unless it runs already or 24 run.
    void StartSelectedCam(const std::string& name);
    void StartCamByName(const std::string& name);
    // Every listed cam that does not run yet, in list order, while places are free.
    void StartAllCams();
    // Starts the cam in place `panel` when that one is free (a restored session); false when
    // the cam is not in the cam list or cannot start, with the reason in `why`.
    bool StartCamInPanel(const std::string& name, int panel, QString* why = nullptr);
    void refreshNow(int index);
    void stopCam(int index);
    void stopAllCams();
    // An edited cam: the places running `oldName` take the new record; nothing restarts.
    void UpdateOpenPanels(const std::string& oldName, const CamRecord& edited);
    // Does what the user agreed to for the place's cam, while it still runs there; false
    // when it could not be done (a cam that went meanwhile leaves nothing to do).
    bool perform(int index, const SourceAction& action);

    // The place's texts: the next refresh ("" when the refresh is no number), the picture's
    // age and state in words, and the viewer's details with what the sinks add.
    QString nextRefreshText(int index) const;
    QString ageText(int index) const;
    CamDetails detailsOf(int index) const;
    CamDetails detailsOf(int index, CamDetails details) const;
    // The place's picture whole: followers that show it large count themselves in and out;
    // while one does, new pictures are decoded whole.
    void wantWhole(int index, bool on);
    bool isWantedWhole(int index) const { return m_wholeWanted.at(size_t(index)) > 0; }
    // A motion frame is made with each new picture of the place, on the decode workers.
    void setMotionFrames(int index, bool on) { m_motionFrames.at(size_t(index)) = on; }
    // While pictures are kept (auto-save), sources that could hand on smaller pictures hand on
    // whole ones.
    void setPicturesKeptWhole(bool whole);
    // The most a followed cam's picture is shown at (the largest screen's pixels): a larger
    // picture is decoded for a follower at the smallest scale that still covers it. Empty (as at
    // first): whole.
    void setLargestShownSize(QSize size) { m_largestShown = size; }
    // Decodes the shown picture whole, off the window's thread: wholePictureReady follows.
    void requestWholePicture(int index);
    // Shows a picture of the program's own in the place, whole (it has no file bytes).
    void showPlainPicture(int index, const QImage& picture);
    // A sink's trouble with the place came or went: its mark and details say so.
    void troubleChanged(int index);
    // The picture shown is replaced by the same one as it was saved (read back small).
    void showSavedCopy(int index, quint64 shownCount, const QImage& picture,
                       const QByteArray& bytes);

  signals:
    void statusText(const QString& text);
    // A text it said is no longer true (a transfer it told of ended): whoever still shows it
    // takes it down.
    void statusTextEnded(const QString& text);
    void camStarted(int index);
    // The cam of that name and id stopped running in a place.
    void camStopped(const std::string& name, CamId id);
    void placeStopped(int index);
    void captionChanged(int index, const QByteArray& caption);
    void fetchingChanged(int index, bool on);
    void progressed(int index, float percent);
    void markChanged(int index, Freshness state, const QString& tooltip);
    // The place's shown picture changed outside a completion (cleared, a saved copy).
    void shownPictureChanged(int index);
    // A fetched picture is shown in place `index`.
    void pictureShown(int index);
    void ticked(int index);
    void detailsChanged(int index);
    void actionsChanged(int index);
    void wholePictureReady(int index, const QImage& picture);

  private:
    CamPlace& placeAt(int index) { return m_places.at(size_t(index)); }
    void makeSource(int index, const QByteArray& kind);
    void connectSource(int index);
    bool startCam(const CamRecord& record, int wantedPanel);
    void fetchStarted(int index);
    void tick(int index);
    void progress(int index, float percent, const QString& fileName);
    void giveCredentials(int index);
    void anotherKind(int index, const QByteArray& contentType, const QByteArray& firstBytes);
    quint64 nextTicket(int index);
    void updateMark(int index);
    void tellWantedSize(int index);
    void showFetching(int index, bool on);
    // the completion of fetches, in each place's order (enginecompletion.cpp)
    void pictureArrived(int index, const FetchedPicture& fetched);
    void pictureDecoded(quint64 ticket, const PlaceDecode& decoded);
    void queueCompletion(int index, Completion completion);
    void showCompletions(int index);
    void takeIn(int index, Completion& completion);
    // Tells the program's picture budget what the place holds now.
    void keepInBudget(int index);
    void wholePictureDecoded(int index, const PlaceDecode& decoded);

    CamListModel& m_camList;
    CamSettings& m_settings;
    SourceRegistry m_registry;
    std::function<int64_t()> m_now;
    std::array<CamPlace, placeCount> m_places;
    std::array<QByteArray, placeCount> m_kinds; // the kind of each place's source
    std::array<int, placeCount> m_wholeWanted{};
    std::array<bool, placeCount> m_motionFrames{};
    std::array<QString, placeCount> m_downloadTexts; // each place's "Downloading" said last
    std::vector<std::unique_ptr<PlaceKeeping>> m_keeping;
    std::vector<PictureSink*> m_sinks;
    DecodeQueue* m_decodes = nullptr;
    CamFollower* m_selection = nullptr;
    QImage m_notFound;
    bool m_resting = false;
    bool m_keptWhole = false;
    QSize m_largestShown;
    // Whether `decoded` is as large as a follower shows it.
    bool coversLargestShown(const DecodedPicture& decoded) const;
    int m_activeCams = 0;
    quint64 m_tickets = 0;
};
