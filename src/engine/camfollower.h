#pragma once

#include "common/camdetails.h"
#include "common/camnames.h"
#include "engine/followedcam.h"
#include "engine/picturesink.h"
#include "imaging/picturesave.h"

#include <QImage>
#include <QObject>

class CamEngine;

// Follows one place of the engine for a view that shows its cam large (the viewer, the
// full-screen view, another window): what it shows, its texts, its new pictures whole (decoded
// off the window's thread as long as it follows), and when the cam stops. The engine's
// selection is one; a second view makes its own.
class CamFollower : public QObject, public PictureSink, public FollowedCam {
    Q_OBJECT
  public:
    explicit CamFollower(CamEngine& engine, QObject* parent = nullptr);
    ~CamFollower() override;

    // The place followed, -1 for none. The selection counts place 0 as followed, unseen, until
    // one is chosen.
    int place() const { return m_place; }
    bool hasPlace() const override;
    // A place was chosen: its picture is shown large.
    bool isShowing() const { return m_showing; }
    // Follows that place (a click on its panel): the picture it has now at once, the whole one
    // when it is decoded.
    void follow(int index);
    // The next running cam after the one followed (`step` 1) or before it (-1), round the
    // places; nothing when no cam runs.
    void followNextRunning(int step);

    // What the save command saves: the followed place's picture (whole when at hand, else its
    // bytes) and its cam's names.
    PictureToSave picture() const override;
    QByteArray name() const override;
    CamNames names() const override;

    void completed(const CamPlace& place, const Completion& completion) override;

  signals:
    // A place is followed: its picture as the place has it (the whole one follows by
    // pictureArrived when it has yet to be decoded), the picture's own size, and the texts.
    // `nextRefresh` is empty when the refresh text is not a number.
    void followed(const QImage& picture, QSize pictureSize, const CamDetails& details,
                  const QString& nextRefresh);
    // A second of the followed place's cycle went by.
    void ticked(const QString& nextRefresh);
    void fetching(bool on);
    void pictureArrived(const QImage& picture);
    void detailsChanged(const CamDetails& details);
    // The picture's age and the cam's state, in words, once a second.
    void age(const QString& text);
    // The followed place's cam stopped.
    void stopped();

  private:
    void stopFollowing();

    CamEngine& m_engine;
    int m_place = 0;
    bool m_showing = false;
    bool m_withoutPicture = false; // the place had no picture when it was chosen
};
