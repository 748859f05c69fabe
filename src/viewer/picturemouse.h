#pragma once

#include <QObject>
#include <QPoint>
#include <optional>

class ViewerPane;
class QWidget;

// The viewer's picture under the mouse, as image viewers have it: the wheel zooms in and out
// about the point under the cursor in smooth steps (a fourth of a doubling each, stopping on
// the zoom factors it passes), Ctrl+wheel from factor to factor (Fit, then 1 to 5), dragging a
// zoomed picture moves it, and a double-click switches between Fit and zoom 1.
class PictureMouse : public QObject {
    Q_OBJECT
  public:
    // `area` holds the picture `image`; both are the viewer's.
    PictureMouse(ViewerPane& viewer, QWidget* area, QWidget* image);

    // One step in (+1) or out (-1), smooth or to the next factor, the point `at` of the area
    // staying where it is.
    void zoomAbout(int step, QPoint at, bool smooth);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    ViewerPane& m_viewer;
    QWidget* m_area;
    QWidget* m_image;
    std::optional<QPoint> m_dragFrom; // where a drag began, on the screen
    QPoint m_barsAtDrag;              // the scroll bars' values then
};
