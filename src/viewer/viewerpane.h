#pragma once

#include "common/camdetails.h"
#include "ui/screensaver.h"
#include "viewer/layout.h"

#include <QGroupBox>
#include <QPointer>
#include <cstdint>

class BackgroundQueue;
class CamSettings;
class DetailsBlock;
class MaskEditor;
class FileChooser;
class FullScreenView;
class HistoryStrip;
class ImageControl;
class QPushButton;
class PictureMouse;
class QScrollBar;
class QTimer;
class CamFollower;
class FollowedCam;
struct CamNames;

// frmMain, the "Viewer": the selected cam's picture, zoomed by a whole factor and scrolled in
// the viewport Picture1, with the details block below it. From here the picture is saved and
// shown full screen. It is told what to show; what it cannot do itself it reports.
class ViewerPane : public QGroupBox {
    Q_OBJECT
  public:
    // Shows the cam `source` stands for; pictures are saved on `files`, one after the other.
    ViewerPane(QWidget* parent, const FollowedCam& source, QString camFolder,
               BackgroundQueue& files);
    // What the follower says of its cam is shown here.
    void follow(CamFollower& follower);
    ~ViewerPane() override;

    void arrange(const MainWindowLayout& layout);
    DetailsBlock* details() const { return m_details; }

    // The selection of a panel: its picture at its own size `pictureSize` (a smaller copy is
    // stretched to it until the whole picture comes), zoomed; its texts in the details.
    void showSelection(const QImage& picture, QSize pictureSize, const CamDetails& details,
                       const QString& nextRefresh);
    // A new picture of the selected cam, stretched into the picture's current size (fitted
    // again when Fit is on and its size changed); into the full-screen view as well while it is
    // open.
    void showSelectedPicture(const QImage& picture);
    void writeDetails(const CamDetails& details);
    // "Next Refresh"; an empty text leaves it as it is.
    void setNextRefresh(const QString& text);
    void setTime(const QString& text);
    // The picture's age and the cam's state ("12 s old, new picture").
    void setAge(const QString& text);
    // The selected cam's fetching indicator, shown in the full-screen view too.
    void showFullScreenIndicator(bool on);
    // The selected panel was stopped.
    void hideViewer();

    void ApplyZoom();
    void applyChosenZoom() { ApplyZoom(); }
    // Fit, or zoom 1 when fitted.
    void toggleFit();
    // The View menu's zoom, Fit and full screen, which work while a cam is shown.
    void stepZoom(int step);
    void toggleFitWhileViewing();
    void openFullScreenWhileViewing();
    void scrollPictureHorizontally();
    void scrollPictureVertically();
    // Saves the picture shown (the running cam's, or the saved one the history shows); the
    // status bar says where when it is written.
    void saveShownPicture();
    // The same, where the user chooses (the one-click save's name proposed); `files` asks.
    void setFileChooser(FileChooser* files) { m_chooser = files; }
    void saveShownPictureAs();
    bool isSaving() const { return m_saving > 0; }
    void openFullScreenView();

    QImage picture() const;
    // The picture's place in the viewport, and its size at factor 1, in twips.
    QRect imgMainTwips() const { return m_imagePlace; }
    int32_t naturalWidth() const { return m_naturalWidth; }
    // What Fit shows the picture at in the viewer now.
    double fitScale() const;
    // What the picture is shown at now, Fit or zoomed: 1 is its own size.
    double shownScale() const {
        return m_naturalWidth > 0 ? double(m_imagePlace.width()) / m_naturalWidth : 1.0;
    }
    int32_t naturalHeight() const { return m_naturalHeight; }
    bool fullScreenOn() const { return m_fullScreen; }
    FullScreenView* fullScreenView() const;
    QScrollBar* horizontalBar() const { return m_horizontal; }
    QScrollBar* verticalBar() const { return m_vertical; }
    QWidget* viewport() const { return m_viewport; }
    // Shutdown: the full-screen view goes with the main window.
    void closeFullScreen();

    // While the full-screen view is open, the next cam is asked for every `seconds` (0: never).
    void setCycleSeconds(int seconds);

    // The selected cam's saved pictures, under the picture while there are any.
    HistoryStrip* historyStrip() const { return m_history; }
    // A picture of `cam` was saved at `path`: the history follows it.
    void noteSavedPicture(const QByteArray& cam, const QString& path);
    // Saved pictures went: the selected cam's are read again.
    void readHistoryAgain();

    // The cams' own settings: the motion choices the history is judged by, and the mask the
    // "Motion Mask" button edits over the picture.
    void setCamSettings(CamSettings* settings);
    // The mask of the selected cam is shown over the picture and changed by dragging, while on.
    void editMask(bool on);
    MaskEditor* maskEditor() const { return m_maskEditor; }

  signals:
    void statusText(const QString& text);
    // The previous (-1) or next (+1) running cam, asked for in the full-screen view.
    void stepCamRequested(int step);
    // A film of the cam's pictures between two moments, asked for under the picture.
    void exportRangeRequested(const QByteArray& cam, const QDateTime& from, const QDateTime& to);

  private:
    void setImagePlace(const QRect& twips);
    // Lays the viewer out again when the details' texts need another height.
    void followDetailsHeight();
    void showNeededBars();
    // `picture` at its own size, zoomed as chosen.
    void showAtOwnSize(const QImage& picture);
    // Takes `pictureSize` as the picture's own size; the picture is laid out again when it
    // differs from the one measured before.
    void measure(QSize pictureSize);
    // The selected cam's history, read off the window's thread when another cam is selected.
    void readHistory(const CamNames& cam);
    // The selected cam's motion choices and mask, read again (another cam, or they changed).
    void readMotionChoices();
    // `unique`: a picture already there keeps its name and this one gets the next number
    void savePictureTo(const QString& path, bool unique = false);

    const FollowedCam& m_source;
    const QString m_camFolder;
    BackgroundQueue& m_files;
    FileChooser* m_chooser = nullptr;
    int m_saving = 0;
    quint64 m_pictures = 0; // counts the pictures shown: a save that ends later leaves a newer one
    QWidget* m_viewport = nullptr;    // Picture1
    QWidget* m_pictureArea = nullptr; // the part of Picture1 between the scroll bars

    ImageControl* m_image = nullptr;    // imgMain
    PictureMouse* m_mouse = nullptr;    // the wheel, dragging and double-clicks on it
    QScrollBar* m_horizontal = nullptr; // HScroll1
    QScrollBar* m_vertical = nullptr;   // VScroll2
    QPushButton* m_corner = nullptr;    // Command1
    DetailsBlock* m_details = nullptr;
    QPointer<FullScreenView> m_fullScreenView; // Form6
    ScreenSaverSwitch m_screenSaver;
    QRect m_imagePlace;
    int32_t m_naturalWidth = 0, m_naturalHeight = 0;
    bool m_fullScreen = false; // fullScreenOn
    QTimer* m_cycle = nullptr;
    int m_cycleSeconds = 0;
    MainWindowLayout m_layout;
    bool m_arranged = false;
    int32_t m_detailsHeight = 0; // twips, as last laid out
    HistoryStrip* m_history = nullptr;
    BackgroundQueue* m_historyReader = nullptr; // lists the cam folder
    quint64 m_historyReads = 0;
    bool m_historyReading = false;
    QStringList m_savedDuringRead; // while a listing is under way
    QImage m_livePicture;          // the running cam's newest, kept while a saved one is shown
    bool m_savedShown = false;     // a saved picture is shown, and saving saves it
    bool m_hasPicture = false;     // the selected cam has a picture to save, zoom and show large
    CamSettings* m_settings = nullptr;
    MaskEditor* m_maskEditor = nullptr;
    QByteArray m_maskCam; // whose mask the editor holds
};
