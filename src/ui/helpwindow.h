#pragma once

#include <QDialog>

#include <QLocale>

class QCheckBox;
class QTextBrowser;
class SettingsStore;

// The help in the user's language: Help_de.rtf beside Help.rtf for German, say; the file
// itself when there is none.
QString HelpFileFor(const QString& helpFile, const QLocale& locale = QLocale());

// Form8: the help document, on top of the other windows, with the choice to see it at start-up.
class HelpWindow : public QDialog {
    Q_OBJECT
  public:
    HelpWindow(const QString& helpFile, const QString& productName, SettingsStore& settings,
               QWidget* parent = nullptr);

    void load();
    void storeShowAtStartup();

    // rtf1 and Check1 ("Show at Startup").
    QTextBrowser* document() const { return m_document; }
    QCheckBox* showAtStartupBox() const { return m_showAtStartup; }

  private:
    QTextBrowser* m_document = nullptr;
    QCheckBox* m_showAtStartup = nullptr;
    QString m_helpFile;
    QString m_product;
    SettingsStore& m_settings;
};
