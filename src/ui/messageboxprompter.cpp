#include "ui/messageboxprompter.h"

#include <QMessageBox>
#include <QPushButton>

PromptAnswer MessageBoxPrompter::ask(QWidget* parent, const QString& title, const QString& text,
                                     PromptButtons buttons) {
    QMessageBox::StandardButtons shown = QMessageBox::Ok;
    QMessageBox::Icon icon = QMessageBox::Information;
    if (buttons == PromptButtons::OkCancel) {
        shown = QMessageBox::Ok | QMessageBox::Cancel;
        icon = QMessageBox::Question;
    } else if (buttons == PromptButtons::AbortRetryIgnore) {
        shown = QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
        icon = QMessageBox::Critical;
    }
    if (buttons == PromptButtons::TrustCancel) {
        QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Cancel, parent);
        QPushButton* trust = box.addButton("Trust this certificate", QMessageBox::AcceptRole);
        box.setDefaultButton(QMessageBox::Cancel);
        box.exec();
        return box.clickedButton() == trust ? PromptAnswer::Ok : PromptAnswer::Cancel;
    }
    QMessageBox box(icon, title, text, shown, parent);
    switch (box.exec()) {
    case QMessageBox::Cancel:
        return PromptAnswer::Cancel;
    case QMessageBox::Abort:
        return PromptAnswer::Abort;
    case QMessageBox::Retry:
        return PromptAnswer::Retry;
    case QMessageBox::Ignore:
        return PromptAnswer::Ignore;
    case QMessageBox::Ok:
        return PromptAnswer::Ok;
    default:
        // closed with the close box or Escape
        return buttons == PromptButtons::Ok ? PromptAnswer::Ok : PromptAnswer::Cancel;
    }
}
