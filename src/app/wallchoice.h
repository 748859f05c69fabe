#pragma once

#include "engine/walllayout.h"

#include <QObject>
#include <QString>

class CamWall;
class PanelArea;
class QActionGroup;
class QMenu;
class SettingsStore;

// The View menu's Layout: the designed panels, or the wall of tiles in one of its layouts.
// The choice and the wall's order are kept in the user's settings; a new user starts with the
// automatic layout. The wall stands over the panel area and the panels hide while it shows.
class WallChoice : public QObject {
    Q_OBJECT
  public:
    WallChoice(PanelArea& panels, QMenu* viewMenu, SettingsStore& settings,
               const QString& productName, QObject* parent);

    bool wallShown() const { return m_layout != WallLayout::Designed; }
    CamWall& wall() const { return *m_wall; }
    void choose(WallLayout layout);
    // Follows the panel area's place once the window has arranged its parts.
    void arrange();

  signals:
    // Another layout was chosen: the window gives the panel area its share again.
    void chosen();

  private:
    PanelArea& m_panels;
    SettingsStore& m_settings;
    const QString m_product;
    CamWall* m_wall = nullptr;
    QActionGroup* m_choices = nullptr;
    WallLayout m_layout = WallLayout::Automatic;
};
