#pragma once

#include "common/camnames.h"

#include "history/retention.h"

#include <QDialog>
#include <QPointer>

class PictureKeeper;
class QTableWidget;

// "Keep Pictures": for all cams together and for each cam, how many days and how many
// gigabytes of saved pictures are kept (0: no bound), beside the count and size of what is
// there now (counted off the window's thread). OK keeps the rules and applies them at once.
class KeepPicturesDialog : public QDialog {
    Q_OBJECT
  public:
    KeepPicturesDialog(PictureKeeper& keeper, const std::vector<CamNames>& cams, QWidget* parent);

    QTableWidget* table() const { return m_table; }
    // The pictures of every row have been counted.
    bool isCounted() const { return m_counted; }
    void accept() override;

  private:
    void addRow(int row, const QString& caption, const KeepRule& rule);

    PictureKeeper& m_keeper;
    const std::vector<CamNames> m_cams;
    QTableWidget* m_table = nullptr;
    bool m_counted = false;
};
