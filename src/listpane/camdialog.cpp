#include "listpane/camdialog.h"

#include "camlist/camlistmodel.h"
#include "camlist/camlisttext.h"
#include "common/localtext.h"
#include "common/prompter.h"
#include "config/camcredentials.h"
#include "engine/camchoices.h"
#include "history/camrules.h"
#include "listpane/camrulesbox.h"
#include "ui/credentialkeeping.h"
#include "ui/screentwips.h"
#include "ui/widgetkit.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

#include <QScreen>
#include <QSpinBox>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
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

// What would break the cam list's record lines: a control character, or the name marker.
bool breaksRecordLines(const QString& text) {
    return camlisttext::holdsControlCharacter(text.toUtf8().toStdString()) ||
           text.contains("[name]", Qt::CaseInsensitive);
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

CamDialog::CamDialog(CamListModel& camList, Prompter& prompter, const Layout& layout,
                     QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      m_camList(camList), m_prompter(prompter) {
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(designFont());
    const auto [ok, cancel] = makeDesignControls(layout);
    makeExtras(layout);
    connect(ok, &QToolButton::clicked, this, &CamDialog::saveRecord);
    connect(cancel, &QToolButton::clicked, this, &CamDialog::cancel);
    connect(m_test, &QToolButton::clicked, this, &CamDialog::testAddress);
    m_designHeight = tw(layout.clientHeight);
    fitExtras();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

std::pair<QToolButton*, QToolButton*> CamDialog::makeDesignControls(const Layout& layout) {
    auto label = [this](const char* name, const QString& caption, const QRect& twips) {
        auto* l = new QLabel(caption, this);
        l->setObjectName(name);
        setGeometryTwips(l, twips);
        return l;
    };
    auto box = [this](const char* name, const QString& tooltip, const QRect& twips) {
        auto* b = new QLineEdit(this);
        b->setObjectName(name);
        b->setToolTip(tooltip);
        setGeometryTwips(b, twips);
        return b;
    };
    // each box is known by its caption, to a screen reader too
    QLabel* nameLabel = label("Label1", tr("Name:"), layout.label1);
    m_nameBox = box("Text1", layout.nameTooltip, layout.text1);
    nameLabel->setBuddy(m_nameBox);
    QLabel* addressLabel = label("Label2", tr("URL:"), layout.label2);
    m_addressBox = box("Text2",
                       tr("enter the exact path to the image (found by right clicking an image in "
                          "your browser and selecting \"properties\""),
                       layout.text2);
    addressLabel->setBuddy(m_addressBox);
    ShowWholeTextOnHover(m_addressBox);
    QLabel* refreshLabel = label("Label3", tr("Refresh:"), layout.label3);
    m_refreshBox = box("Text3", tr("Enter the time in seconds"), layout.text3);
    refreshLabel->setBuddy(m_refreshBox);
    m_refreshLimit = new TypedLengthLimit(3, m_refreshBox);
    // names and addresses are bounded too, so the list stays quick to read at every start
    m_nameLimit = new TypedLengthLimit(int(camlisttext::maxNameLength), m_nameBox);
    m_addressLimit = new TypedLengthLimit(int(camlisttext::maxAddressLength), m_addressBox);
    m_refreshBox->setValidator(m_refreshLimit);
    m_nameBox->setValidator(m_nameLimit);
    m_addressBox->setValidator(m_addressLimit);
    label("Label4", tr("seconds"), layout.label4);
    QToolButton* ok = makePictureButton(this, "Command1", tr("OK"), {}, ":/pictures/ok.png");
    setGeometryTwips(ok, layout.command1);
    QToolButton* cancel =
        makePictureButton(this, "Command2", tr("Cancel"), {}, ":/pictures/cancel.png");
    setGeometryTwips(cancel, layout.command2);
    setTabOrder(m_nameBox, m_addressBox);
    setTabOrder(m_addressBox, m_refreshBox);

    return {ok, cancel};
}

void CamDialog::makeExtras(const Layout& layout) {
    // "Test" sits between OK and Cancel, shown when there is a checker
    m_test = new QToolButton(this);
    m_test->setObjectName("cmdTest");
    m_test->setText(tr("Test"));
    m_test->setToolTip(tr("Fetch the picture once from this address and say what came"));
    const QRect okPlace = layout.command1;
    setGeometryTwips(m_test, (okPlace.right() + layout.command2.left()) / 2 - 450,
                     okPlace.top() + okPlace.height() / 2 - 180, 900, 360);
    m_test->hide();

    m_extras = new QWidget(this);
    m_extras->setObjectName("extrasArea");
    auto* extras = new QVBoxLayout(m_extras);
    extras->setContentsMargins(tw(60), 0, tw(60), tw(60));
    m_reportPanel = new QFrame(m_extras);
    m_reportPanel->setObjectName("testReport");
    auto* report = new QHBoxLayout(m_reportPanel);
    report->setContentsMargins(0, 0, 0, 0);
    m_preview = new QLabel(m_reportPanel);
    m_preview->setObjectName("testPreview");
    m_preview->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    m_report = new QLabel(m_reportPanel);
    m_report->setObjectName("testReportText");
    m_report->setWordWrap(true);
    m_report->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_report->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    report->addWidget(m_preview);
    report->addWidget(m_report, 1);
    extras->addWidget(m_reportPanel);
    m_reportPanel->hide();
}

void CamDialog::fitExtras() {
    // controls widened for their text stay so, and the dialog with them
    m_textWidth = std::max(m_textWidth, WidenToText(this));
    const int width = std::max(tw(4740), m_textWidth);
    const QList<QWidget*> rows = m_extras->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    const bool anything =
        std::any_of(rows.begin(), rows.end(), [](const QWidget* row) { return !row->isHidden(); });
    // rows of plain boxes have no height for a width, only a size hint
    QLayout* layout = m_extras->layout();
    const int forWidth = layout->totalHeightForWidth(width);
    const int extra = !anything ? 0 : forWidth >= 0 ? forWidth : layout->totalSizeHint().height();
    m_extras->setGeometry(0, m_designHeight, width, extra);
    m_extras->setVisible(anything);
    setFixedSize(width, m_designHeight + extra);
}

void CamDialog::fillFromRecord(const CamRecord& record) {
    m_original = record;
    m_refreshLimit->allowStoredLength(localText(record.refresh).size());
    m_nameLimit->allowStoredLength(localText(record.name).size());
    m_addressLimit->allowStoredLength(localText(record.url).size());

    m_nameBox->setText(localText(record.name));
    SetTextShowingStart(m_addressBox, localText(record.url));
    m_refreshBox->setText(localText(record.refresh));
}

CamRecord CamDialog::enteredRecord() const {
    return {boxBytes(m_nameBox, m_original.name), boxBytes(m_addressBox, m_original.url),
            boxBytes(m_refreshBox, m_original.refresh)};
}

QString CamDialog::fieldWithControlCharacter() const {
    if (changed(m_nameBox, m_original.name) && breaksRecordLines(m_nameBox->text()))
        return tr("The name");
    if (changed(m_addressBox, m_original.url) && breaksRecordLines(m_addressBox->text()))
        return tr("The URL");
    if (changed(m_refreshBox, m_original.refresh) &&
        camlisttext::holdsControlCharacter(m_refreshBox->text().toUtf8().toStdString()))
        return tr("The refresh interval");
    return {};
}

void CamDialog::saveRecord() {
    // blanks count as content; nothing else is checked
    if (m_nameBox->text().isEmpty() || m_addressBox->text().isEmpty() ||
        m_refreshBox->text().isEmpty()) {
        m_prompter.ask(this, tr(":: error"), tr("you must enter all information"),
                       PromptButtons::Ok);
        return;
    }
    // a line break would split the record across lines of the cam list
    if (const QString field = fieldWithControlCharacter(); !field.isEmpty()) {
        m_prompter.ask(this, tr(":: error"),
                       //: %1 is "The name", "The URL" or "The refresh interval"
                       tr("%1 must not contain line breaks, tabs or other control characters, "
                          "nor \"[name]\".")
                           .arg(field),
                       PromptButtons::Ok);
        return;
    }
    // Where a typed password goes is settled before anything is saved: without a keyring the
    // user chooses, and Cancel comes back here with nothing saved.
    if (m_credentials && m_credentialsTyped && typedCredentials() && !m_keepAs) {
        askWhereToKeepCredentials();
        return;
    }
    const std::optional<PromptAnswer> keepAs = std::exchange(m_keepAs, std::nullopt);
    CamRecord record = enteredRecord();
    offerToMoveUserInfo(record);
    const FileResult written = write(record);
    if (!written.ok) {
        m_prompter.ask(this, tr(":: error"),
                       tr("The cam list could not be saved: %1").arg(localText(written.error)),
                       PromptButtons::Ok);
        return;
    }
    emit saved(replacedName(), record);
    // kept for the cam's id, once the record is there, and given for the address saved. A
    // cam's own stay with its id through a rename; those it showed are given again when the
    // address leads elsewhere now, or the rename made it a cam of its own (another kept the
    // name), as the user saved them here for it.
    const CredentialCam cam{m_camList.idOf(record.name), QByteArray::fromStdString(record.name),
                            QByteArray::fromStdString(record.url)};
    const bool givenAgain =
        m_shownFor && (m_shownFor->id != cam.id ||
                       CredentialOrigin(m_original.url) != CredentialOrigin(record.url));
    if (m_credentials && (m_credentialsTyped || givenAgain)) {
        const Credentials typed = typedCredentials().value_or(Credentials{});
        if (keepAs && *keepAs != PromptAnswer::Ok)
            KeepCredentialsAsChosen(*m_credentials, m_prompter, parentWidget(), cam, typed,
                                    *keepAs);
        else
            KeepCamCredentials(*m_credentials, m_prompter, parentWidget(), cam, typed);
    }
    if (m_credentials && m_plainPassword && !m_plainPassword->isHidden() &&
        m_plainPassword->isChecked())
        m_credentials->allowUnencrypted(QByteArray::fromStdString(record.name));
    if (m_alerts && m_alertsBox)
        m_alerts->write(QByteArray::fromStdString(record.name), chosenAlerts());
    if (m_settings && m_udpBox) {
        const QByteArray cam = QByteArray::fromStdString(record.name);
        m_settings->setValue(sourceChoicesKey, cam, SourceChoices{m_udpBox->isChecked()});
        m_settings->setValue(saveRuleKey, cam, m_rules->saveRule());
        m_settings->setValue(motionSettingsKey, cam, m_rules->motionSettings());
    }
    close();
}

void CamDialog::askWhereToKeepCredentials() {
    setEnabled(false); // one answer at a time
    m_credentials->askKeyring([this, alive = QPointer<CamDialog>(this)](bool answers) {
        if (!alive)
            return;
        setEnabled(true);
        if (answers) {
            m_keepAs = PromptAnswer::Ok; // the keyring's
            saveRecord();
            return;
        }
        AskWhereToKeepCredentials(m_prompter, this, [this, alive](PromptAnswer answer) {
            if (!alive)
                return;
            if (answer == PromptAnswer::Cancel) {
                m_passwordBox->setFocus(); // nothing saved: the dialog is as it was
                return;
            }
            m_keepAs = answer;
            saveRecord();
        });
    });
}

void CamDialog::keyPressEvent(QKeyEvent* event) {
    // Enter presses OK, wherever the focus is (the buttons are pictures, no default button)
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        saveRecord();
        return;
    }
    QDialog::keyPressEvent(event); // Escape cancels
}

AddCamDialog::AddCamDialog(CamListModel& camList, Prompter& prompter, const QString& productName,
                           QWidget* parent)
    : CamDialog(camList, prompter,
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
                 tr("create a unique name")},
                parent) {
    setObjectName("Form2");
    setWindowTitle(tr("%1 :: Add a Cam").arg(productName));
}

FileResult AddCamDialog::write(const CamRecord& record) {
    return m_camList.append(record);
}

EditCamDialog::EditCamDialog(CamListModel& camList, Prompter& prompter, const CamRecord& old,
                             QWidget* parent)
    : CamDialog(camList, prompter,
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
                 tr("Create a unique name for the cam")},
                parent),
      m_old(old) {
    setObjectName("Form3");
    auto* note =
        new QLabel(tr("(Cams that are already open take the changes at their next refresh)"), this);
    note->setObjectName("Label5");
    note->setFont(designFont("MS Sans Serif"));
    setGeometryTwips(note, 60, 60, 4635, 255);
    setWindowTitle(localText(m_old.name));
    fillFromRecord(m_old);
}

void EditCamDialog::showRefreshSuggestion(const RefreshSuggestion& suggestion) {
    if (!m_suggestion) {
        auto* row = new QWidget(extrasArea());
        auto* line = new QHBoxLayout(row);
        line->setContentsMargins(0, 0, 0, 0);
        m_suggestion = new QLabel(row);
        m_suggestion->setObjectName("refreshSuggestion");
        m_suggestion->setWordWrap(true);
        m_useSuggestion = new QPushButton(row);
        m_useSuggestion->setObjectName("useSuggestedRefresh");
        line->addWidget(m_suggestion, 1);
        line->addWidget(m_useSuggestion);
        static_cast<QVBoxLayout*>(extrasArea()->layout())->insertWidget(0, row);
    }
    // the box takes three digits
    const int seconds = std::clamp(suggestion.seconds, 1, 999);
    m_suggestion->setText(tr("This cam %1.").arg(suggestion.text));
    m_useSuggestion->setText(tr("Use %1 s").arg(seconds));
    disconnect(m_useSuggestion, nullptr, this, nullptr);
    connect(m_useSuggestion, &QPushButton::clicked, this,
            [this, seconds] { refreshBox()->setText(QString::number(seconds)); });
    fitExtras();
}

FileResult EditCamDialog::write(const CamRecord& record) {
    // the old record goes and the new one is put last, in one rewrite of the file
    return m_camList.replace(m_old.name, record);
}
