#pragma once

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QString>

class CamListPane;
class CamFollower;
class CamSettings;
class FileChooser;
class ListExchange;
class MainMenus;
class Prompter;
class TimelapseDialog;
class QWidget;

// What goes out of the program and comes in besides pictures: time-lapse films of a cam's saved
// pictures, and cam lists to share.
class ExportCommands : public QObject {
    Q_OBJECT
  public:
    ExportCommands(QWidget* window, CamListPane& camList, const CamFollower& viewed,
                   const QString& camFolder, Prompter& prompter, FileChooser& files);

    // The menu items of the exports come here.
    void answer(const MainMenus& menus);
    // "Export Time-lapse...": the dialog, with the viewed cam (or the list's) chosen.
    void exportTimelapse();
    // The same, for the cam's pictures between `from` and `to`.
    void exportTimelapseRange(const QByteArray& cam, const QDateTime& from, const QDateTime& to);
    TimelapseDialog* timelapseDialog() const;
    // Where a film finds the cam's motion choices and mask.
    void setCamSettings(const CamSettings* settings) { m_settings = settings; }
    ListExchange& listExchange() const { return *m_exchange; }

  private:
    QWidget* m_window;
    CamListPane& m_camList;
    const CamFollower& m_viewed;
    const QString m_camFolder;
    Prompter& m_prompter;
    FileChooser& m_files;
    ListExchange* m_exchange = nullptr;
    QPointer<TimelapseDialog> m_timelapse;
    const CamSettings* m_settings = nullptr;
};
