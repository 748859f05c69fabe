#pragma once

#include <QDialog>
#include <string>
#include <vector>

class QListWidget;

// "Export Cam List": every cam of the list with a tick, all ticked to begin with.
class ExportCamsDialog : public QDialog {
    Q_OBJECT
  public:
    ExportCamsDialog(const std::vector<std::string>& names, QWidget* parent = nullptr);

    QListWidget* camsList() const { return m_cams; }
    // The exact names of the ticked cams.
    std::vector<std::string> tickedNames() const;

  private:
    QListWidget* m_cams = nullptr;
};
