// The main window's list commands: add, edit and remove cams.
#include "camdialog.h"
#include "camlistfile.h"
#include "campanel.h"
#include "localtext.h"
#include "mainwindow.h"
#include "prompter.h"
#include "widgetkit.h"

#include <QListWidget>

AddCamDialog* MainWindow::addDialog() const {
    return Form2;
}
EditCamDialog* MainWindow::editDialog() const {
    return Form3;
}

void MainWindow::cmdAdd_Click() {
    if (!Form2)
        Form2 = new AddCamDialog(*this, identity.ProductName, this);
    bringForward(Form2);
}

void MainWindow::cmdEdit_Click() {
    if (!AnyCamSelected()) {
        showSelectCamNotice();
        return;
    }
    if (Form3) {
        // an open dialog keeps the record it was opened with
        bringForward(Form3);
        return;
    }
    const std::string name = currentListName();
    CamRecord old;
    if (!FindCamRecord(camListPath(), name, old)) {
        prompter.ask(this, ":: error",
                     QString("The record of %1 could not be found in the cam list file.")
                         .arg(localText(name)),
                     PromptButtons::Ok);
        return;
    }
    Form3 = new EditCamDialog(*this, old, this);
    bringForward(Form3);
}

void MainWindow::cmdRemove_Click() {
    if (!AnyCamSelected()) {
        showSelectCamNotice();
        return;
    }
    const std::string name = currentListName();
    if (!FindCamRecord(camListPath(), name, cur)) {
        prompter.ask(this, ":: error",
                     QString("The record of %1 could not be found in the cam list file, so "
                             "nothing was deleted.")
                         .arg(localText(name)),
                     PromptButtons::Ok);
        return;
    }
    const PromptAnswer answer = prompter.ask(
        this, "Confirm Delete", "Are you sure you want to delete " + localText(cur.name) + "?",
        PromptButtons::OkCancel);
    if (answer != PromptAnswer::Ok)
        return;
    const FileResult written = DeleteCamRecord(camListPath(), cur.name);
    List1->clear();
    LoadCamList();
    if (!written.ok)
        prompter.ask(this, ":: error",
                     "The cam list could not be saved: " + localText(written.error),
                     PromptButtons::Ok);
}

void MainWindow::UpdateOpenPanels(const std::string& oldName, const CamRecord& edited) {
    const QByteArray caption = QByteArray::fromStdString(oldName);
    for (CamPanel* camPanel : Frame) {
        if (camPanel->frameCaption() != caption)
            continue;
        camPanel->txtName = QByteArray::fromStdString(edited.name);
        camPanel->setFrameCaption(camPanel->txtName);
        camPanel->txtAddress = QByteArray::fromStdString(edited.url);
        camPanel->txtRefresh = QByteArray::fromStdString(edited.refresh);
    }
}
