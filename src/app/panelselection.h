#pragma once

#include "panels/campanelset.h"
#include "viewer/selectedcam.h"

// The viewer's view of the selected panel, answered by the panel set.
class PanelSelection : public SelectedCamSource {
  public:
    explicit PanelSelection(const CamPanelSet& panels) : m_panels(panels) {}
    bool hasSelection() const override {
        return m_panels.selectedCam() >= 0 && m_panels.selectedCam() < CamPanelSet::maxRunningCams;
    }
    PictureToSave selectedPicture() const override { return m_panels.selectedPicture(); }
    QByteArray selectedName() const override { return m_panels.selectedName(); }

  private:
    const CamPanelSet& m_panels;
};
