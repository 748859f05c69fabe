#pragma once

class CamPanel;
class QImage;
class QString;

// What a cam panel needs from the window that holds it.
class PanelHost {
  public:
    virtual ~PanelHost() = default;

    virtual int selectedCam() const = 0;
    virtual bool fullScreenOn() const = 0;
    // A fetch of the selected cam begins while the full-screen view is open.
    virtual void showFullScreenIndicator() = 0;
    virtual void lockDrawing(bool lock) = 0;
    virtual void setStatusText(const QString& text) = 0;
    // The selected panel's one-second tick was counted.
    virtual void selectedPanelTicked(CamPanel& panel) = 0;
    virtual void panelStopped(CamPanel& panel, bool wasRunning) = 0;
    // A click on the panel's picture or fetching indicator.
    virtual void panelClicked(int index) = 0;

    // What a completed fetch needs.
    virtual bool autoSaveOn() const = 0;
    virtual QString camFolder() const = 0;
    virtual QImage notFoundPicture() const = 0;
    // A new picture of the selected panel: into the viewer, and into the full-screen view
    // while it is open.
    virtual void showSelectedPicture(const QImage& picture) = 0;
    // The selected panel's texts into the viewer's details.
    virtual void writeDetails(const CamPanel& panel) = 0;
};
