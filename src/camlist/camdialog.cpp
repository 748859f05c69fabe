#include "camdialog.h"

#include "camlistfile.h"
#include "camlistowner.h"
#include "localtext.h"
#include "prompter.h"
#include "twips.h"
#include "widgetkit.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QToolButton>

namespace {

void place(QWidget* widget, const QRect& twips) {
    setGeometryTwips(widget, twips.x(), twips.y(), twips.width(), twips.height());
}

} // namespace

CamDialog::CamDialog(CamListOwner& listOwner, const Layout& layout, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      owner(listOwner) {
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(designFont());
    auto label = [this](const char* name, const QString& caption, const QRect& twips) {
        auto* l = new QLabel(caption, this);
        l->setObjectName(name);
        place(l, twips);
        return l;
    };
    auto box = [this](const char* name, const QString& tooltip, const QRect& twips) {
        auto* b = new QLineEdit(this);
        b->setObjectName(name);
        b->setToolTip(tooltip);
        place(b, twips);
        return b;
    };
    Label1 = label("Label1", "Name:", layout.label1);
    Text1 = box("Text1", layout.nameTooltip, layout.text1);
    Label2 = label("Label2", "URL:", layout.label2);
    Text2 = box("Text2",
                "enter the exact path to the image (found by right clicking an image in your "
                "browser and selecting \"properties\"",
                layout.text2);
    Label3 = label("Label3", "Refresh:", layout.label3);
    Text3 = box("Text3", "Enter the time in seconds", layout.text3);
    Text3->setMaxLength(3);
    Label4 = label("Label4", "seconds", layout.label4);
    Command1 = makePictureButton(this, "Command1", "OK", {}, ":/pictures/ok.png");
    place(Command1, layout.command1);
    Command2 = makePictureButton(this, "Command2", "Cancel", {}, ":/pictures/cancel.png");
    place(Command2, layout.command2);
    setTabOrder(Text1, Text2);
    setTabOrder(Text2, Text3);

    connect(Command1, &QToolButton::clicked, this, &CamDialog::Command1_Click);
    connect(Command2, &QToolButton::clicked, this, &CamDialog::Command2_Click);
    setFixedSize(tw(4740), tw(layout.clientHeight));
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

CamRecord CamDialog::enteredRecord() const {
    return {Text1->text().toLocal8Bit().toStdString(), Text2->text().toLocal8Bit().toStdString(),
            Text3->text().toLocal8Bit().toStdString()};
}

void CamDialog::Command1_Click() {
    // blanks count as content; nothing else is checked
    if (Text1->text().isEmpty() || Text2->text().isEmpty() || Text3->text().isEmpty()) {
        owner.prompts().ask(this, ":: error", "you must enter all information", PromptButtons::Ok);
        return;
    }
    const CamRecord record = enteredRecord();
    const FileResult written = write(record);
    owner.RefreshMainList(); // the list shows the file as it is, written or not
    if (!written.ok) {
        owner.prompts().ask(this, ":: error",
                            "The cam list could not be saved: " + localText(written.error),
                            PromptButtons::Ok);
        return;
    }
    saved(record);
    close();
}

AddCamDialog::AddCamDialog(CamListOwner& listOwner, const QString& productName, QWidget* parent)
    : CamDialog(listOwner,
                {{60, 60, 795, 255},
                 {840, 0, 3855, 315},
                 {60, 420, 915, 255},
                 {840, 360, 3855, 315},
                 {60, 780, 915, 255},
                 {840, 720, 735, 315},
                 {1620, 780, 735, 255},
                 {60, 1320, 975, 855},
                 {3720, 1320, 975, 855},
                 2235,
                 "create a unique name"},
                parent) {
    setObjectName("Form2");
    setWindowTitle(productName + " :: Add a Cam");
}

FileResult AddCamDialog::write(const CamRecord& record) {
    return AppendCamRecord(owner.camListPath(), record);
}

EditCamDialog::EditCamDialog(CamListOwner& listOwner, const CamRecord& old, QWidget* parent)
    : CamDialog(listOwner,
                {{60, 420, 1035, 255},
                 {840, 360, 3855, 315},
                 {60, 780, 1035, 255},
                 {840, 720, 3855, 315},
                 {60, 1140, 1635, 255},
                 {840, 1080, 735, 315},
                 {1620, 1140, 675, 255},
                 {60, 1500, 975, 855},
                 {3720, 1500, 975, 855},
                 2415,
                 "Create a unique name for the cam"},
                parent),
      oldName(old.name), oldUrl(old.url), oldRefresh(old.refresh) {
    setObjectName("Form3");
    Label5 = new QLabel("(Cams that are already open will need to be restarted)", this);
    Label5->setObjectName("Label5");
    Label5->setFont(designFont("MS Sans Serif"));
    place(Label5, {60, 60, 4635, 255});
    setWindowTitle(localText(oldName));
    Text1->setText(localText(oldName));
    Text2->setText(localText(oldUrl));
    Text3->setText(localText(oldRefresh));
}

FileResult EditCamDialog::write(const CamRecord& record) {
    // the old record goes and the new one is put last, in one rewrite of the file
    return ReplaceCamRecord(owner.camListPath(), oldName, record);
}

void EditCamDialog::saved(const CamRecord& record) {
    owner.UpdateOpenPanels(oldName, record);
}
