#include "app/mainwindow.h"
#include "app/programfolder.h"
#include "app/splashwindow.h"
#include "common/appidentity.h"
#include "ui/messageboxprompter.h"

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
