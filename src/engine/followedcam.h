#pragma once

#include "common/camnames.h"
#include "imaging/picturesave.h"

#include <QByteArray>

// What a view showing one cam large needs to know of it to save its picture and read its
// history: the picture itself (whole when at hand, else its bytes) and the cam's names.
class FollowedCam {
  public:
    virtual ~FollowedCam() = default;
    virtual bool hasPlace() const = 0;
    virtual PictureToSave picture() const = 0;
    virtual QByteArray name() const = 0;
    virtual CamNames names() const = 0;
};
