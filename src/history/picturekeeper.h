#pragma once

#include "common/background.h"
#include "common/camnames.h"
#include "history/retention.h"

#include <QObject>
#include <functional>

class QTimer;
class CamSettings;

// The saved pictures kept within the user's rules: every cam's own and one over all of them
// (off until the user sets them). The cam folder is looked at soon after the start, every hour
// and when the rules change, off the window's thread; what was removed is said.
class PictureKeeper : public QObject {
    Q_OBJECT
  public:
    // `cams` tells the listed cams with the names they had; each cam's rule is kept in its own
    // settings (so it follows a rename), the overall one beside them.
    PictureKeeper(CamSettings& settings, QString camFolder,
                  std::function<std::vector<CamNames>()> cams, QObject* parent = nullptr);
    ~PictureKeeper() override;

    KeepRule overallRule() const;
    KeepRule camRule(const QByteArray& cam) const;
    void setOverallRule(const KeepRule& rule);
    void setCamRule(const QByteArray& cam, const KeepRule& rule);

    // Looks at the cam folder now (once at a time).
    void keepWithinRules();
    bool isWorking() const { return m_working; }
    const QString& camFolder() const { return m_camFolder; }

  signals:
    void statusText(const QString& text);
    // Saved pictures were removed.
    void picturesRemoved();

  private:
    CamSettings& m_settings;
    const QString m_camFolder;
    std::function<std::vector<CamNames>()> m_cams;
    BackgroundQueue m_queue{1};
    QTimer* m_hourly = nullptr;
    bool m_working = false;
    bool m_again = false; // the rules changed while it worked
    bool m_clockAheadSaid = false;
};
