#pragma once

#include <QDialog>

class QLabel;
struct AppIdentity;

// frmAbout: the product's name, version, company and website.
class AboutWindow : public QDialog {
    Q_OBJECT
  public:
    AboutWindow(const AppIdentity& identity, int major, int minor, QWidget* parent = nullptr);

  signals:
    void websiteClicked();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QLabel* m_website = nullptr; // lblWebsite
};
