#include "appidentity.h"
#include "mainwindow.h"
#include "messageboxprompter.h"
#include "programfolder.h"
#include "splashwindow.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const AppIdentity identity = LoadAppIdentity();
    QApplication::setApplicationName(identity.ProductName);
    QApplication::setOrganizationName(identity.CompanyName);

    MessageBoxPrompter prompter;
    std::unique_ptr<MainWindow> mainWindow;
    SplashWindow splash([&]() -> QWidget* {
        mainWindow = std::make_unique<MainWindow>(identity, programFolder(), prompter);
        mainWindow->Form_Load();
        return mainWindow.get();
    });
    splash.Form_Load();
    splash.show();
    return app.exec();
}
