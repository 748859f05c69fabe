#pragma once

#include "camrecord.h"

#include <filesystem>

class Prompter;

// What the add and edit dialogs need from the window that shows the cam list.
class CamListOwner {
  public:
    virtual ~CamListOwner() = default;
    virtual std::filesystem::path camListPath() const = 0;
    virtual void RefreshMainList() = 0;
    // Panels showing the cam `oldName` take the edited record (nothing is restarted).
    virtual void UpdateOpenPanels(const std::string& oldName, const CamRecord& edited) = 0;
    virtual Prompter& prompts() = 0;
};
