#pragma once

#include <QWidget>

class QCheckBox;
class QTextBrowser;
class SettingsStore;

// Form8: the help document, on top of the other windows, with the choice to see it at start-up.
class HelpWindow : public QWidget {
    Q_OBJECT
  public:
    HelpWindow(const QString& programFolder, const QString& productName, SettingsStore& settings,
               QWidget* parent = nullptr);

    void Form_Load();
    void Check1_Click();

    QTextBrowser* rtf1 = nullptr;
    QCheckBox* Check1 = nullptr;

  private:
    QString folder;
    QString product;
    SettingsStore& settings;
};
