#pragma once

#include "engine/picturesink.h"
#include "history/camrules.h"

#include <QDateTime>
#include <memory>

#include <QByteArray>
#include <QObject>
#include <array>

struct SavedPicture;

class BackgroundQueue;
class CamEngine;
class DesktopNotifier;
class MotionPictureHold;
class MotionWatch;

// Saves the new pictures of the running cams as JPEGs in the cam folder while it is on, one
// after the other off the window's thread: of each cam every one, none, at most one every so
// many seconds, or only those with motion (and a few before and after), as its rule says; the place
// then shows the picture as it was saved. A disk that cannot keep up loses the newest pictures,
// said in the status bar, rather than holding ever more of them in memory. A picture that cannot be
// written (a full disk, a read-only folder) is said for any cam: in the status bar, by the cam's
// mark until a picture of it is saved again, and once a spell by a desktop notification.
class AutoSave : public QObject, public PictureSink {
    Q_OBJECT
  public:
    AutoSave(CamEngine& engine, QString camFolder, BackgroundQueue& files,
             QObject* parent = nullptr);
    ~AutoSave() override;

    void setOn(bool on);
    // Where failures are told once a spell; none: the status bar and the mark only.
    void setNotifier(DesktopNotifier* notifier) { m_notifier = notifier; }
    // Where the pictures with motion are told (added before this sink); none: a cam whose rule
    // keeps only those keeps every picture.
    void setMotion(const MotionWatch* motion) { m_motion = motion; }
    bool isOn() const { return m_on; }
    const QString& camFolder() const { return m_camFolder; }

    void completed(const CamPlace& place, const Completion& completion) override;
    bool isBusyWith(const CamPlace& place) const override;
    QString trouble(const CamPlace& place) const override;
    void camStarted(const CamPlace& place) override;
    void camEdited(const CamPlace& place, bool otherAddress) override;
    void camStopped(const CamPlace& place) override;

  signals:
    void statusText(const QString& text);
    // A new picture of `cam` was saved at `path`.
    void pictureSaved(const QByteArray& cam, const QString& path);

  private:
    void keep(const CamPlace& place, const Completion& completion);
    void save(const CamPlace& place, const QByteArray& bytes, const QByteArray& format,
              const QDateTime& taken);
    void followRule(const CamPlace& place);
    void saved(int index, const QByteArray& cam, const QString& time, const SavedPicture& saved,
               quint64 shown);

    CamEngine& m_engine;
    const QString m_camFolder;
    BackgroundQueue& m_files;
    bool m_on = false;
    std::array<int, 26> m_pending{};   // saves not yet written, each place's
    qint64 m_bytesPending = 0;         // the pictures waiting to be saved, all places together
    std::array<QString, 26> m_trouble; // why the place's last picture could not be saved
    DesktopNotifier* m_notifier = nullptr;
    const MotionWatch* m_motion = nullptr;
    struct Rule {
        SaveRule rule;
        QDateTime lastSaved;                     // of an "at most one every" rule
        std::shared_ptr<MotionPictureHold> hold; // of an "only with motion" rule
    };
    std::array<Rule, 26> m_rules;
};
