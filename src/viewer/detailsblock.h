#pragma once

#include "common/camdetails.h"

#include <QGroupBox>
#include <cstdint>
#include <optional>

struct MainWindowLayout;
class ElidedLabel;
class QBoxLayout;
class QHBoxLayout;
class QLabel;
class QScrollBar;
class QToolButton;

// frmDetails: the block under the viewer's picture with the zoom slider, the "Save Image" and
// "Screensaver" buttons, and the selected cam's name, times and refresh figures.
class DetailsBlock : public QGroupBox {
    Q_OBJECT
  public:
    explicit DetailsBlock(QWidget* parent);

    QScrollBar* zoomSlider() const { return m_slider; }
    int zoomFactor() const;
    // What the picture is zoomed by: the slider's factor, or a scale the wheel's smooth steps
    // left between them.
    double zoomScale() const;
    // Zooms by `scale`; near one of the slider's factors, that factor.
    void setZoomScale(double scale);
    // Fit: the whole picture in the viewer, whatever the slider says; on at first. Choosing a
    // factor on the slider leaves it; the choice stays from one selection to the next.
    bool isFit() const;
    void setFit(bool on);
    QToolButton* fitButton() const { return m_fit; }
    // "Motion Mask": the mask of the cam's motion test is edited over the picture while on.
    QToolButton* maskButton() const { return m_mask; }
    // What the picture is shown at: "Fit (38 %)" or "Zoom 2".
    void showZoomLevel(int fitPercent); // below 0: no picture to measure
    // Save Image, Save As, Screensaver and Motion Mask act on a picture: without one they wait.
    void enablePictureActions(bool on);
    QString zoomLevel() const;

    // lblName, lblRefresh, lblLastChanged, lblLastRefreshed, in that order.
    void writeDetails(const CamDetails& details);
    void setNextRefresh(const QString& text);
    void setTime(const QString& text);
    void setAge(const QString& text);
    QString nextRefresh() const;
    // The height the block's rows need at `width` pixels: more than designed with a large font
    // or a state sentence that wraps.
    // Lays the rows out for that width on the way.
    int neededHeight(int width);
    // The block's height in twips in the main window's `layout`: what its texts need, at least
    // the designed height, at most that and half the picture's; the designed while hidden.
    int32_t heightFor(const MainWindowLayout& layout);

  signals:
    void zoomChanged();
    void saveClicked();
    void saveAsClicked();
    void fullScreenClicked();
    void maskEditToggled(bool on);
    // The texts changed, and with them perhaps the height they need.
    void textsChanged();

  private:
    QHBoxLayout* makeZoomRow();
    QHBoxLayout* makeButtons();
    QBoxLayout* makeRows();
    void arrangeRows(int width);
    void setWrappedText(QLabel* label, const QString& text);

    QScrollBar* m_slider = nullptr; // Slider1
    QToolButton* m_fit = nullptr;
    QToolButton* m_mask = nullptr;
    QLabel* m_zoomLevel = nullptr;
    QLabel* m_name = nullptr;
    QLabel* m_refresh = nullptr;
    ElidedLabel* m_lastChanged = nullptr;
    QLabel* m_lastRefreshed = nullptr;
    QLabel* m_nextRefresh = nullptr;
    QLabel* m_time = nullptr;
    QLabel* m_source = nullptr;
    QLabel* m_age = nullptr;
    QLabel* m_updateRate = nullptr;
    QLabel* m_motion = nullptr;   // its level and threshold, while watched
    QBoxLayout* m_rows = nullptr; // the two columns of rows, side by side or one below the other
    std::optional<double> m_freeScale; // a smooth step's zoom, between the slider's factors
};
