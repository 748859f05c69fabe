#include "listpane/camlistpane.h"

#include "camlist/camlistfile.h"
#include "camlist/camlistmodel.h"
#include "common/localtext.h"
#include "common/prompter.h"
#include "listpane/camdialog.h"
#include "ui/widgetkit.h"

#include <QLabel>
#include <QListWidget>
#include <QShortcut>
#include <QStyle>
#include <QToolButton>

CamListPane::CamListPane(QWidget* frame, CamListModel& camList, const QString& productName,
                         Prompter& prompter)
    : QObject(frame), m_camList(camList), m_productName(productName), m_prompter(prompter),
      m_frame(frame) {
    setObjectName("camListPane");
    QToolButton* add =
        makePictureButton(frame, "cmdAdd", tr("Add"), tr("Add a Cam"), ":/pictures/add.png");
    setGeometryTwips(add, 60, 240, 750, 855);
    QToolButton* remove = makePictureButton(frame, "cmdRemove", tr("Del"),
                                            tr("Remove Selected Cam"), ":/pictures/delete.png");
    setGeometryTwips(remove, 870, 240, 750, 855);
    QToolButton* edit = makePictureButton(frame, "cmdEdit", tr("Edit"), tr("Edit Selected Cam"),
                                          ":/pictures/edit.png");
    setGeometryTwips(edit, 1680, 240, 750, 855);

    auto* caption = new QLabel(tr("Webcam Listing"), frame);
    caption->setObjectName("Label1");
    caption->setFont(designFont("Verdana", 8.25, true));
    setGeometryTwips(caption, 60, 3300, 2355, 195);
    m_list = new QListWidget(frame);
    m_list->setObjectName("List1");
    m_list->setAccessibleName(caption->text()); // the list is known by its caption
    m_list->setFont(designFont());
    setGeometryTwips(m_list, 60, 3540, 2355, 6690);

    connect(add, &QToolButton::clicked, this, &CamListPane::addCam);
    connect(remove, &QToolButton::clicked, this, &CamListPane::removeSelectedCam);
    connect(edit, &QToolButton::clicked, this, &CamListPane::editSelectedCam);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &CamListPane::requestStart);
    connect(&m_camList, &CamListModel::changed, this, &CamListPane::RefreshMainList);
    // Enter on a name starts the cam, as a double click does
    for (const QKeySequence& key : {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)}) {
        auto* start = new QShortcut(key, m_list, nullptr, nullptr, Qt::WidgetShortcut);
        connect(start, &QShortcut::activated, this, [this] {
            if (AnyCamSelected())
                requestStart();
        });
    }
}

AddCamDialog* CamListPane::addDialog() const {
    return m_addDialog;
}

EditCamDialog* CamListPane::editDialog() const {
    return m_editDialog;
}

void CamListPane::setListHeightTwips(int height) {
    setGeometryTwips(m_list, 60, 3540, 2355, height);
}

void CamListPane::LoadCamList() {
    removeStaleTemporaries(m_camList.path(), std::chrono::hours(1));
    const FileResult loaded = m_camList.load(true); // the list follows the model
    if (!loaded.ok)
        emit statusText(tr("Could not read the cam list: %1").arg(localText(loaded.error)));
}

void CamListPane::RefreshMainList() {
    // the selected cam stays selected, in its place also when an edit renamed it
    const int row = m_list->currentRow(), rows = m_list->count();
    const QByteArray selected = row >= 0 ? m_list->item(row)->data(Qt::UserRole).toByteArray() : "";
    m_list->clear();
    int again = -1;
    for (const std::string& name : m_camList.names()) {
        auto* item = new QListWidgetItem(localText(name));
        // the exact bytes go with the item: a name that is not valid text is still found
        const QByteArray bytes(name.data(), qsizetype(name.size()));
        item->setData(Qt::UserRole, bytes);
        showDarkNote(item);
        if (row >= 0 && again < 0 && bytes == selected)
            again = m_list->count();
        m_list->addItem(item);
    }
    if (again < 0 && row >= 0 && m_list->count() == rows)
        again = row;
    if (again >= 0)
        m_list->setCurrentRow(again);
}

void CamListPane::markDark(const QByteArray& cam, const QString& note) {
    if (note.isEmpty())
        m_darkNotes.remove(cam);
    else
        m_darkNotes.insert(cam, note);
    for (int row = 0; row < m_list->count(); ++row)
        if (m_list->item(row)->data(Qt::UserRole).toByteArray() == cam)
            showDarkNote(m_list->item(row));
}

void CamListPane::markMotion(const QByteArray& cam, bool on) {
    if (on)
        m_moving.insert(cam);
    else
        m_moving.remove(cam);
    for (int row = 0; row < m_list->count(); ++row)
        if (m_list->item(row)->data(Qt::UserRole).toByteArray() == cam)
            showDarkNote(m_list->item(row));
}

void CamListPane::showDarkNote(QListWidgetItem* item) const {
    const QByteArray cam = item->data(Qt::UserRole).toByteArray();
    QString note = m_darkNotes.value(cam);
    const bool moving = m_moving.contains(cam);
    if (moving)
        note = note.isEmpty() ? tr("motion") : tr("%1; motion").arg(note);
    item->setIcon(!m_darkNotes.value(cam).isEmpty()
                      ? m_list->style()->standardIcon(QStyle::SP_MessageBoxWarning)
                  : moving ? m_list->style()->standardIcon(QStyle::SP_MediaPlay)
                           : QIcon());
    item->setToolTip(note);
    item->setData(Qt::AccessibleDescriptionRole, note);
}

std::string CamListPane::currentListName() const {
    const QListWidgetItem* item = m_list->currentItem();
    return item ? item->data(Qt::UserRole).toByteArray().toStdString() : std::string();
}

bool CamListPane::AnyCamSelected() const {
    return !m_list->selectedItems().isEmpty();
}

void CamListPane::addCam() {
    if (!m_addDialog) {
        m_addDialog = new AddCamDialog(m_camList, m_prompter, m_productName, m_frame);
        m_addDialog->setAddressChecker(m_checker);
        m_addDialog->setCredentialStore(m_credentials);
        m_addDialog->setAlertSettings(m_alerts);
        m_addDialog->setCamSettings(m_settings);
    }
    bringForward(m_addDialog);
}

void CamListPane::editSelectedCam() {
    if (!AnyCamSelected()) {
        emit selectionNeeded();
        return;
    }
    if (m_editDialog) {
        // an open dialog keeps the record it was opened with
        bringForward(m_editDialog);
        return;
    }
    const std::string name = currentListName();
    const std::optional<CamRecord> old = m_camList.find(name);
    if (!old) {
        reportFailure(
            tr("The record of %1 could not be found in the cam list file.").arg(localText(name)));
        return;
    }
    m_editDialog = new EditCamDialog(m_camList, m_prompter, *old, m_frame);
    m_editDialog->setAddressChecker(m_checker);
    m_editDialog->setCredentialStore(m_credentials);
    m_editDialog->setAlertSettings(m_alerts);
    m_editDialog->setCamSettings(m_settings);

    if (m_suggestions)
        if (const auto suggestion = m_suggestions(QByteArray::fromStdString(name)))
            m_editDialog->showRefreshSuggestion(*suggestion);
    connect(m_editDialog, &CamDialog::saved, this, &CamListPane::camEdited);
    bringForward(m_editDialog);
}

void CamListPane::removeSelectedCam() {
    if (!AnyCamSelected()) {
        emit selectionNeeded();
        return;
    }
    const std::string name = currentListName();
    const std::optional<CamRecord> found = m_camList.find(name);
    if (!found) {
        reportFailure(tr("The record of %1 could not be found in the cam list file, so "
                         "nothing was deleted.")
                          .arg(localText(name)));
        return;
    }
    const PromptAnswer answer =
        m_prompter.ask(m_frame, tr("Confirm Delete"),
                       tr("Are you sure you want to delete %1?").arg(localText(found->name)),
                       PromptButtons::OkCancel);
    if (answer != PromptAnswer::Ok)
        return;
    const FileResult written = m_camList.remove(found->name);
    if (!written.ok)
        reportFailure(tr("The cam list could not be saved: %1").arg(localText(written.error)));
}

void CamListPane::closeDialogs() {
    if (m_addDialog)
        m_addDialog->close();
    if (m_editDialog)
        m_editDialog->close();
}

void CamListPane::reportFailure(const QString& text) {
    m_prompter.ask(m_frame, tr(":: error"), text, PromptButtons::Ok);
}
