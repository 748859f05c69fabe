#include "ui/messageboxprompter.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>
#include <memory>

namespace {

QMessageBox* makeBox(QWidget* parent, const QString& title, const QString& text,
                     PromptButtons buttons) {
    if (buttons == PromptButtons::TrustCancel) {
        auto* box = new QMessageBox(QMessageBox::Warning, title, text, QMessageBox::Cancel, parent);
        QPushButton* trust = box->addButton(
            QCoreApplication::translate("MessageBoxPrompter", "Trust this certificate"),
            QMessageBox::AcceptRole);
        trust->setObjectName("trustButton");
        box->setDefaultButton(QMessageBox::Cancel);
        return box;
    }
    if (buttons == PromptButtons::KeepCredentials) {
        auto* box = new QMessageBox(QMessageBox::Warning, title, text, QMessageBox::Cancel, parent);
        box->addButton(QCoreApplication::translate("MessageBoxPrompter", "For This Run Only"),
                       QMessageBox::AcceptRole)
            ->setObjectName("thisRunButton");
        box->addButton(QCoreApplication::translate("MessageBoxPrompter", "In Plain Text"),
                       QMessageBox::DestructiveRole)
            ->setObjectName("plainTextButton");
        box->setDefaultButton(QMessageBox::Cancel);
        return box;
    }
    QMessageBox::StandardButtons shown = QMessageBox::Ok;
    QMessageBox::Icon icon = QMessageBox::Information;
    if (buttons == PromptButtons::OkCancel) {
        shown = QMessageBox::Ok | QMessageBox::Cancel;
        icon = QMessageBox::Question;
    } else if (buttons == PromptButtons::AbortRetryIgnore) {
        shown = QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
        icon = QMessageBox::Critical;
    } else if (buttons == PromptButtons::YesNo) {
        shown = QMessageBox::Yes | QMessageBox::No;
        icon = QMessageBox::Question;
    }
    return new QMessageBox(icon, title, text, shown, parent);
}

PromptAnswer answerOf(const QMessageBox& box, PromptButtons buttons) {
    if (buttons == PromptButtons::TrustCancel)
        return box.clickedButton() == box.findChild<QPushButton*>("trustButton")
                   ? PromptAnswer::Ok
                   : PromptAnswer::Cancel;
    if (buttons == PromptButtons::KeepCredentials) {
        const QAbstractButton* clicked = box.clickedButton();
        if (clicked && clicked->objectName() == "thisRunButton")
            return PromptAnswer::ThisRunOnly;
        if (clicked && clicked->objectName() == "plainTextButton")
            return PromptAnswer::PlainText;
        return PromptAnswer::Cancel;
    }
    switch (box.standardButton(box.clickedButton())) {
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
    case QMessageBox::Yes:
        return PromptAnswer::Yes;
    case QMessageBox::No:
        return PromptAnswer::No;
    default:
        // closed with the close box or Escape
        if (buttons == PromptButtons::YesNo)
            return PromptAnswer::No;
        return buttons == PromptButtons::Ok ? PromptAnswer::Ok : PromptAnswer::Cancel;
    }
}

} // namespace

PromptAnswer MessageBoxPrompter::ask(QWidget* parent, const QString& title, const QString& text,
                                     PromptButtons buttons) {
    std::unique_ptr<QMessageBox> box(makeBox(parent, title, text, buttons));
    box->exec();
    return answerOf(*box, buttons);
}

void MessageBoxPrompter::askLater(QWidget* parent, const QString& title, const QString& text,
                                  PromptButtons buttons,
                                  std::function<void(PromptAnswer)> answered) {
    QMessageBox* box = makeBox(parent, title, text, buttons);
    box->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(
        box, &QMessageBox::finished, box,
        [box, buttons, answered = std::move(answered)] { answered(answerOf(*box, buttons)); });
    box->open();
}
