#pragma once

#include "engine/freshness.h"
#include "engine/walllayout.h"

#include <QByteArrayList>
#include <QWidget>
#include <array>
#include <vector>

class CamEngine;

// The running cams as tiles that grow with the area they are given, in the layout chosen and
// the order the user dragged them into. Each tile shows its cam's picture decoded at the tile's
// size, its name, and over a cam that fails, a grey veil with the reason. A click shows the cam
// in the viewer, a double-click full screen; hovering tells its name, age and state. It keeps
// no cam's state but the order: the engine has the rest.
class CamWall : public QWidget {
    Q_OBJECT
  public:
    CamWall(CamEngine& engine, QWidget* parent);

    void setWallLayout(WallLayout layout);
    WallLayout wallLayout() const { return m_layout; }
    // Names first in this order; cams not named follow by their place.
    void setOrder(const QByteArrayList& names);
    const QByteArrayList& order() const { return m_order; }
    // The places shown and their tiles, in order (for tests and the screen reader's list).
    const std::vector<int>& shownPlaces() const { return m_shown; }
    const std::vector<QRect>& tiles() const { return m_tiles; }
    // The tile a point is in: its place, or -1.
    int placeAt(QPoint point) const;

  signals:
    void orderChanged(const QByteArrayList& names);
    void fullScreenRequested(int place);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    // The arrow keys move between the tiles, Enter shows the cam in the viewer.
    void keyPressEvent(QKeyEvent* event) override;

  private:
    struct Mark {
        Freshness state = Freshness::Idle;
        QString words; // the mark's tooltip: the state and its reason
    };
    // Which places are shown where, and the size each is decoded at.
    void arrange();
    void paintTile(class QPainter& painter, int place, const QRect& tile) const;
    QRect pictureBox(const QRect& tile) const;
    void moveBefore(int dragged, int target);
    // The tile with the keyboard's focus, and what a screen reader says of it.
    void focusTile(int tile);

    CamEngine& m_engine;
    WallLayout m_layout = WallLayout::Automatic;
    QByteArrayList m_order;
    std::vector<int> m_shown;
    std::vector<QRect> m_tiles;
    std::array<Mark, 26> m_marks;
    int m_pressed = -1; // the place the mouse went down on
    QPoint m_pressedAt;
    bool m_dragging = false;
    int m_focused = 0; // the tile the arrow keys are on
};
