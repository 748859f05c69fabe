#pragma once

#include "atomicfile.h"
#include "camrecord.h"

#include <QWidget>

class CamListOwner;
class QLabel;
class QLineEdit;
class QToolButton;

// The add-cam and edit-cam dialogs share their boxes, their check and their buttons.
class CamDialog : public QWidget {
    Q_OBJECT
  public:
    QLabel* Label1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* Text2 = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* Text3 = nullptr;
    QLabel* Label4 = nullptr;
    QToolButton* Command1 = nullptr;
    QToolButton* Command2 = nullptr;

    void Command1_Click();
    void Command2_Click() { close(); }

  protected:
    struct Layout {
        QRect label1, text1, label2, text2, label3, text3, label4, command1, command2;
        int clientHeight;
        QString nameTooltip;
    };
    CamDialog(CamListOwner& owner, const Layout& layout, QWidget* parent);

    // The boxes' record, exactly as typed.
    CamRecord enteredRecord() const;
    // Writes the entered record into the cam list file.
    virtual FileResult write(const CamRecord& record) = 0;
    // After a successful write.
    virtual void saved(const CamRecord&) {}

    CamListOwner& owner;
};

// Form2: makes a new cam.
class AddCamDialog : public CamDialog {
    Q_OBJECT
  public:
    AddCamDialog(CamListOwner& owner, const QString& productName, QWidget* parent = nullptr);

  protected:
    FileResult write(const CamRecord& record) override;
};

// Form3: changes the cam it was opened with.
class EditCamDialog : public CamDialog {
    Q_OBJECT
  public:
    EditCamDialog(CamListOwner& owner, const CamRecord& old, QWidget* parent = nullptr);

    QLabel* Label5 = nullptr;
    const std::string oldName, oldUrl, oldRefresh;

  protected:
    FileResult write(const CamRecord& record) override;
    void saved(const CamRecord& record) override;
};
