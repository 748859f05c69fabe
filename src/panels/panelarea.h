#pragma once

#include "engine/picturesink.h"

#include <QImage>
#include <QObject>
#include <array>

class CamEngine;
class CamPanel;
class Prompter;
class QScrollBar;
class QWidget;
struct SourceAction;

// Where the panel container sits for a scroll value of the panel area: 30 twips above the
// plain offset.
int32_t PanelAreaTop(int32_t scrollValue);

// The "Webcams" area as the user sees it: a panel for each of the engine's places in a
// scrolling box, showing what its place holds and reporting clicks, keys and the menu's choices
// back to the engine. It keeps no cam's state: a second view of the same cams could stand
// beside it.
class PanelArea : public QObject, public PictureSink {
    Q_OBJECT
  public:
    static constexpr int panelCount = 26;

    // The scroll bar, the clipping box and the panels are made inside `frame`; questions go
    // through `prompter`.
    PanelArea(QWidget* frame, CamEngine& engine, Prompter& prompter);
    ~PanelArea() override;

    CamPanel* panel(int index) const { return m_panels.at(size_t(index)); }
    QScrollBar* scrollBar() const { return m_scrollBar; }
    QWidget* innerArea() const { return m_inner; }
    CamEngine& engine() const { return m_engine; }

    // Start-up: every panel gets the fetching indicator's picture.
    void givePanelsFetchingIndicator(const QImage& indicator);
    // Each place's pictures are decoded at its panel's size again (after another view had them).
    void givePictureSizes();
    // The visible part of the panel area follows the window's height; its width, the panels'
    // grid and the scroll range follow the number of columns.
    void arrangeArea(int columns, int clipHeight, int scrollBarHeight);
    void scrollPanels();
    // Asks the user about what the place's cam offers (the question its source wrote) and has
    // the engine do it when the user agrees.
    void chooseAction(int index, const SourceAction& action);
    // The same, by the action's id, when the place's cam offers it now.
    void chooseAction(int index, const QString& actionId);

    void completed(const CamPlace& place, const Completion& completion) override;

  private:
    void showShownPicture(int index);
    void showFollowed(int index);
    // The keyboard: arrow keys move the focus between running panels, which hold one Tab stop.
    void moveFocus(int from, int columns, int rows);
    void updateTabStop();
    void revealPanel(int index);

    CamEngine& m_engine;
    Prompter& m_prompter;
    std::array<CamPanel*, panelCount> m_panels{};
    QScrollBar* m_scrollBar = nullptr; // VScroll1
    QWidget* m_clip = nullptr;         // picWindowOuter
    QWidget* m_inner = nullptr;        // picWindowInner
    int m_columns = 2;
    int m_tabStop = -1;     // the running panel Tab stops at; arrow keys move it
    int m_highlighted = -1; // the panel shown in the viewer
};
