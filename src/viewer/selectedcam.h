#pragma once

#include <QByteArray>
#include <QImage>

// What the viewer's save command needs to know of the selected panel.
class SelectedCamSource {
  public:
    virtual ~SelectedCamSource() = default;
    virtual bool hasSelection() const = 0;
    // The panel's own picture (not the zoomed one) and its cam's name.
    virtual QImage selectedPicture() const = 0;
    virtual QByteArray selectedName() const = 0;
};
