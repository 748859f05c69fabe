#pragma once

#include <QObject>

class QMenuBar;

// The main window's menu bar: File, Cams, Help and About. Each item asks for what the button of
// the same name does; the main window answers.
class MainMenus : public QObject {
    Q_OBJECT
  public:
    MainMenus(QMenuBar* bar, QObject* parent);

    void chooseFileItem(int index);
    void chooseCamItem(int index);
    void chooseHelpItem(int) { emit helpRequested(); }
    void chooseAboutItem() { emit aboutRequested(); }

  signals:
    void exitRequested();
    void addCamRequested();
    void deleteCamRequested();
    void editCamRequested();
    void startCamRequested();
    void stopAllRequested();
    void importCamListRequested();
    void exportCamListRequested();
    void exportTimelapseRequested();
    void helpRequested();
    void aboutRequested();
};
