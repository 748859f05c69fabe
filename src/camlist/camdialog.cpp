#include "camlist/camdialog.h"

#include "camlist/camlistfile.h"
#include "common/localtext.h"
#include "common/prompter.h"
#include "common/twips.h"
#include "ui/widgetkit.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QToolButton>
#include <QValidator>

// The refresh box takes at most three typed characters. A longer interval from a hand-edited
// cam list is shown whole (a length limit would cut it) and may be edited, but typing never
// makes it longer than it was stored.
class TypedLengthLimit : public QValidator {
  public:
    TypedLengthLimit(int limit, QObject* parent) : QValidator(parent), m_limit(limit) {}

    void allowStoredLength(qsizetype length) { m_limit = std::max(m_limit, length); }
    State validate(QString& input, int&) const override {
        return input.size() <= m_limit ? Acceptable : Invalid;
    }

  private:
    qsizetype m_limit;
};

namespace {

bool holdsControlCharacter(const QString& text) {
    return std::any_of(text.begin(), text.end(),
                       [](QChar c) { return c.unicode() < 32 || c.unicode() == 127; });
}

// A box's bytes: the original ones while it shows them unchanged.
std::string boxBytes(const QLineEdit* box, const std::string& original) {
    if (!original.empty() && box->text() == localText(original))
        return original;
    return box->text().toLocal8Bit().toStdString();
}

bool changed(const QLineEdit* box, const std::string& original) {
    return original.empty() || box->text() != localText(original);
}

} // namespace

CamDialog::CamDialog(std::filesystem::path camList, Prompter& prompter, const Layout& layout,
                     QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      m_camList(std::move(camList)), m_prompter(prompter) {
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(designFont());
    auto label = [this](const char* name, const QString& caption, const QRect& twips) {
        auto* l = new QLabel(caption, this);
        l->setObjectName(name);
        setGeometryTwips(l, twips);
    };
    auto box = [this](const char* name, const QString& tooltip, const QRect& twips) {
        auto* b = new QLineEdit(this);
        b->setObjectName(name);
        b->setToolTip(tooltip);
        setGeometryTwips(b, twips);
        return b;
    };
    label("Label1", "Name:", layout.label1);
    m_nameBox = box("Text1", layout.nameTooltip, layout.text1);
    label("Label2", "URL:", layout.label2);
    m_addressBox = box("Text2",
                       "enter the exact path to the image (found by right clicking an image in "
                       "your browser and selecting \"properties\"",
                       layout.text2);
    label("Label3", "Refresh:", layout.label3);
    m_refreshBox = box("Text3", "Enter the time in seconds", layout.text3);
    m_refreshLimit = new TypedLengthLimit(3, m_refreshBox);
    m_refreshBox->setValidator(m_refreshLimit);
    label("Label4", "seconds", layout.label4);
    QToolButton* ok = makePictureButton(this, "Command1", "OK", {}, ":/pictures/ok.png");
    setGeometryTwips(ok, layout.command1);
    QToolButton* cancel =
        makePictureButton(this, "Command2", "Cancel", {}, ":/pictures/cancel.png");
    setGeometryTwips(cancel, layout.command2);
    setTabOrder(m_nameBox, m_addressBox);
    setTabOrder(m_addressBox, m_refreshBox);

    connect(ok, &QToolButton::clicked, this, &CamDialog::Command1_Click);
    connect(cancel, &QToolButton::clicked, this, &CamDialog::Command2_Click);
    setFixedSize(tw(4740), tw(layout.clientHeight));
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void CamDialog::fillFromRecord(const CamRecord& record) {
    m_original = record;
    m_refreshLimit->allowStoredLength(localText(record.refresh).size());
    m_nameBox->setText(localText(record.name));
    m_addressBox->setText(localText(record.url));
    m_refreshBox->setText(localText(record.refresh));
}

CamRecord CamDialog::enteredRecord() const {
    return {boxBytes(m_nameBox, m_original.name), boxBytes(m_addressBox, m_original.url),
            boxBytes(m_refreshBox, m_original.refresh)};
}

QString CamDialog::fieldWithControlCharacter() const {
    if (changed(m_nameBox, m_original.name) && holdsControlCharacter(m_nameBox->text()))
        return "The name";
    if (changed(m_addressBox, m_original.url) && holdsControlCharacter(m_addressBox->text()))
        return "The URL";
    if (changed(m_refreshBox, m_original.refresh) && holdsControlCharacter(m_refreshBox->text()))
        return "The refresh interval";
    return {};
}

void CamDialog::Command1_Click() {
    // blanks count as content; nothing else is checked
    if (m_nameBox->text().isEmpty() || m_addressBox->text().isEmpty() ||
        m_refreshBox->text().isEmpty()) {
        m_prompter.ask(this, ":: error", "you must enter all information", PromptButtons::Ok);
        return;
    }
    // a line break would split the record across lines of the cam list
    if (const QString field = fieldWithControlCharacter(); !field.isEmpty()) {
        m_prompter.ask(this, ":: error",
                       field + " must not contain line breaks, tabs or other control characters.",
                       PromptButtons::Ok);
        return;
    }
    const CamRecord record = enteredRecord();
    const FileResult written = write(record);
    emit listWritten(); // the list shows the file as it is, written or not
    if (!written.ok) {
        m_prompter.ask(this, ":: error",
                       "The cam list could not be saved: " + localText(written.error),
                       PromptButtons::Ok);
        return;
    }
    emit saved(replacedName(), record);
    close();
}

AddCamDialog::AddCamDialog(std::filesystem::path camList, Prompter& prompter,
                           const QString& productName, QWidget* parent)
    : CamDialog(std::move(camList), prompter,
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
    return AppendCamRecord(m_camList, record);
}

EditCamDialog::EditCamDialog(std::filesystem::path camList, Prompter& prompter,
                             const CamRecord& old, QWidget* parent)
    : CamDialog(std::move(camList), prompter,
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
      m_old(old) {
    setObjectName("Form3");
    auto* note = new QLabel("(Cams that are already open will need to be restarted)", this);
    note->setObjectName("Label5");
    note->setFont(designFont("MS Sans Serif"));
    setGeometryTwips(note, 60, 60, 4635, 255);
    setWindowTitle(localText(m_old.name));
    fillFromRecord(m_old);
}

FileResult EditCamDialog::write(const CamRecord& record) {
    // the old record goes and the new one is put last, in one rewrite of the file
    return ReplaceCamRecord(m_camList, m_old.name, record);
}
