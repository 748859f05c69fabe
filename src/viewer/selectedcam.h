#pragma once

#include "imaging/picturesave.h"

#include <QByteArray>

// What the viewer's save command needs to know of the selected panel.
class SelectedCamSource {
  public:
    virtual ~SelectedCamSource() = default;
    virtual bool hasSelection() const = 0;
    // The panel's own picture (not the zoomed one), or its bytes, and its cam's name.
    virtual PictureToSave selectedPicture() const = 0;
    virtual QByteArray selectedName() const = 0;
};
