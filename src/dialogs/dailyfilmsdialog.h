#pragma once

#include <QDialog>

class DailyFilmMaker;
class QLineEdit;
class QTableWidget;

// "Daily Films": for each cam, whether a film of each day is made, at what time of the next
// day, of which hours, leaving out dark or repeated pictures; and the folder the films go to.
// OK keeps the choices and makes what is due at once.
class DailyFilmsDialog : public QDialog {
    Q_OBJECT
  public:
    DailyFilmsDialog(DailyFilmMaker& maker, const std::vector<QByteArray>& cams, QWidget* parent);

    QTableWidget* table() const { return m_table; }
    QLineEdit* folderBox() const { return m_folder; }
    void accept() override;

  private:
    DailyFilmMaker& m_maker;
    const std::vector<QByteArray> m_cams;
    QTableWidget* m_table = nullptr;
    QLineEdit* m_folder = nullptr;
};
