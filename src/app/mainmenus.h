#pragma once

#include <QObject>

class QMenuBar;

// The main window's menu bar: File, Cams, View, Help and About. Each item asks for what the
// button of the same name does; the main window answers.
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
    void startAllRequested();
    void retryAllRequested();
    void importCamListRequested();
    void exportCamListRequested();
    void exportTimelapseRequested();
    void keepPicturesRequested();
    void dailyFilmsRequested();
    void helpRequested();
    void aboutRequested();
    // View: the viewer's zoom, Fit, full screen, the next or previous running cam, and how
    // often the full-screen view goes on to the next cam (0: never).
    void zoomInRequested();
    void zoomOutRequested();
    void fitRequested();
    void fullScreenRequested();
    void stepCamRequested(int step);
    void cycleChosen(int seconds);
};
