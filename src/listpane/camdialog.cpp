#include "listpane/camdialog.h"

#include "camlist/camlistmodel.h"
#include "camlist/camlisttext.h"
#include "common/localtext.h"
#include "common/prompter.h"
#include "config/camcredentials.h"
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

bool holdsControlCharacter(const QString& text) {
    return std::any_of(text.begin(), text.end(),
                       [](QChar c) { return c.unicode() < 32 || c.unicode() == 127; });
}

// What would break the cam list's record lines: a control character, or the name marker.
bool breaksRecordLines(const QString& text) {
    return holdsControlCharacter(text) || text.contains("[name]", Qt::CaseInsensitive);
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
    setWindowModality(Qt::WindowModal);
    setFont(designFont());
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

    connect(ok, &QToolButton::clicked, this, &CamDialog::saveRecord);
    connect(cancel, &QToolButton::clicked, this, &CamDialog::cancel);
    connect(m_test, &QToolButton::clicked, this, &CamDialog::testAddress);
    m_designHeight = tw(layout.clientHeight);
    fitExtras();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
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

void CamDialog::setAddressChecker(AddressCheckerFactory factory) {
    m_checkerFactory = std::move(factory);
    m_test->setVisible(bool(m_checkerFactory));
}

void CamDialog::testAddress() {
    if (!m_checkerFactory || m_checker)
        return;
    if (m_addressBox->text().isEmpty()) {
        showReport({false, tr("Type the address of the cam's picture first."), {}, {}});
        return;
    }
    if (holdsControlCharacter(m_addressBox->text())) {
        showReport({false,
                    tr("The URL must not contain line breaks, tabs or other control characters."),
                    {},
                    {}});
        return;
    }
    const CamRecord entered = enteredRecord();
    m_checker = m_checkerFactory(QByteArray::fromStdString(m_original.name));
    m_checker->useCredentials(typedCredentials());
    m_test->setEnabled(false);
    m_test->setText(tr("Testing..."));
    m_checker->check(QByteArray::fromStdString(entered.url),
                     QByteArray::fromStdString(entered.refresh),
                     [this](const AddressReport& report) {
                         // the checker is dropped after its report has been taken
                         QMetaObject::invokeMethod(
                             this, [this] { m_checker.reset(); }, Qt::QueuedConnection);
                         m_test->setEnabled(true);
                         m_test->setText(tr("Test"));
                         showReport(report);
                     });
}

void CamDialog::setCredentialStore(CamCredentials* store) {
    m_credentials = store;
    if (!store || m_userBox)

        return;
    auto* row = new QWidget(m_extras);
    row->setObjectName("credentialsRow");
    auto* grid = new QGridLayout(row);
    grid->setContentsMargins(0, 0, 0, 0);
    auto* userLabel = new QLabel(tr("User:"), row);
    m_userBox = new QLineEdit(row);
    m_userBox->setObjectName("userBox");
    m_userBox->setToolTip(tr("The user name the cam asks for, if it asks for one"));
    userLabel->setBuddy(m_userBox);
    auto* passwordLabel = new QLabel(tr("Password:"), row);
    m_passwordBox = new QLineEdit(row);
    m_passwordBox->setObjectName("passwordBox");
    m_passwordBox->setEchoMode(QLineEdit::Password);
    m_passwordBox->setToolTip(tr("Kept in the desktop's keyring, never in the cam list"));
    passwordLabel->setBuddy(m_passwordBox);
    m_showPassword = new QCheckBox(tr("Show"), row);
    m_showPassword->setObjectName("showPassword");
    grid->addWidget(userLabel, 0, 0);
    grid->addWidget(m_userBox, 0, 1, 1, 2);
    grid->addWidget(passwordLabel, 1, 0);
    grid->addWidget(m_passwordBox, 1, 1);
    grid->addWidget(m_showPassword, 1, 2);
    static_cast<QVBoxLayout*>(m_extras->layout())->insertWidget(0, row);
    row->show();
    setTabOrder(m_refreshBox, m_userBox);

    setTabOrder(m_userBox, m_passwordBox);
    setTabOrder(m_passwordBox, m_showPassword);
    connect(m_showPassword, &QCheckBox::toggled, this, [this](bool shown) {
        m_passwordBox->setEchoMode(shown ? QLineEdit::Normal : QLineEdit::Password);
    });
    for (QLineEdit* box : {m_userBox, m_passwordBox})
        connect(box, &QLineEdit::textEdited, this, [this] { m_credentialsTyped = true; });
    fitExtras();
    if (!m_original.name.empty())
        showStoredCredentials(QByteArray::fromStdString(m_original.name));
}

void CamDialog::setAlertSettings(CamAlertSettings* alerts) {
    m_alerts = alerts;
    if (!alerts || m_alertsBox)
        return;
    auto* row = new QWidget(m_extras);
    row->setObjectName("alertsRow");
    auto* grid = new QGridLayout(row);
    grid->setContentsMargins(0, 0, 0, 0);
    m_alertsBox = new QCheckBox(tr("Tell me when it goes dark"), row);
    m_alertsBox->setObjectName("alertsBox");
    m_alertsBox->setToolTip(tr("A desktop notification when the cam sends no picture, or the "
                               "same picture, for the time set here, and one when it is back"));
    m_minutesBox = new QSpinBox(row);
    m_minutesBox->setObjectName("darkMinutesBox");
    m_minutesBox->setRange(1, CamAlerts::mostMinutes);
    m_minutesBox->setSuffix(tr(" min without a picture"));
    m_minutesBox->setAccessibleName(tr("Minutes without a picture"));
    m_hoursBox = new QSpinBox(row);
    m_hoursBox->setObjectName("sameHoursBox");
    m_hoursBox->setRange(0, CamAlerts::mostHours);
    m_hoursBox->setSuffix(tr(" h with the same picture"));
    m_hoursBox->setSpecialValueText(tr("the same picture: never"));
    m_hoursBox->setAccessibleName(tr("Hours with the same picture"));
    grid->addWidget(m_alertsBox, 0, 0, 1, 2);
    grid->addWidget(m_minutesBox, 1, 1);
    grid->addWidget(m_hoursBox, 2, 1);
    grid->setColumnMinimumWidth(0, m_alertsBox->style()->pixelMetric(QStyle::PM_IndicatorWidth));
    grid->setColumnStretch(1, 1);
    static_cast<QVBoxLayout*>(m_extras->layout())->insertWidget(m_userBox ? 1 : 0, row);
    row->show();
    const CamAlerts stored = m_original.name.empty()
                                 ? CamAlerts{}
                                 : alerts->read(QByteArray::fromStdString(m_original.name));
    m_alertsBox->setChecked(stored.on);
    m_minutesBox->setValue(stored.minutesWithoutPicture);
    m_hoursBox->setValue(stored.hoursUnchanged);
    const auto enable = [this](bool on) {
        m_minutesBox->setEnabled(on);
        m_hoursBox->setEnabled(on);
    };
    enable(stored.on);
    connect(m_alertsBox, &QCheckBox::toggled, this, enable);
    fitExtras();
}

CamAlerts CamDialog::chosenAlerts() const {
    return {m_alertsBox->isChecked(), m_minutesBox->value(), m_hoursBox->value()};
}

void CamDialog::showStoredCredentials(const QByteArray& cam) {
    QPointer<CamDialog> dialog(this);
    m_credentials->read(
        cam, [dialog](CredentialStore::Outcome, std::optional<Credentials> found, const QString&) {
            if (!dialog || !found || dialog->m_credentialsTyped)
                return;
            dialog->m_userBox->setText(found->user);
            dialog->m_passwordBox->setText(found->password);
        });
}

std::optional<Credentials> CamDialog::typedCredentials() const {
    if (!m_userBox)
        return std::nullopt;
    const Credentials typed{m_userBox->text(), m_passwordBox->text()};
    return typed.isEmpty() ? std::nullopt : std::optional(typed);
}

void CamDialog::offerToMoveUserInfo(CamRecord& record) {
    const std::optional<AddressUserInfo> info = SplitUserInfo(record.url);
    if (!m_credentials || !info || (m_credentialsTyped && typedCredentials()))
        return;
    if (m_prompter.ask(this, windowTitle(),
                       tr("The URL holds a user name and password. Keep them in the desktop's "
                          "keyring instead, and save the URL without them?"),
                       PromptButtons::YesNo) != PromptAnswer::Yes)
        return;
    record.url = info->addressWithout;
    m_addressBox->setText(localText(record.url));
    m_userBox->setText(info->credentials.user);
    m_passwordBox->setText(info->credentials.password);
    m_credentialsTyped = true;
}

void CamDialog::showReport(const AddressReport& report) {
    QString text = "<b>" + report.headline.toHtmlEscaped() + "</b>";
    for (const QString& fact : report.facts)
        text += "<br>" + fact.toHtmlEscaped();
    m_report->setText(text);
    m_preview->setPixmap(report.preview.isNull() ? QPixmap() : QPixmap::fromImage(report.preview));
    m_preview->setVisible(!report.preview.isNull());
    m_reportPanel->show();
    fitExtras();
}

void CamDialog::fillFromRecord(const CamRecord& record) {
    m_original = record;
    m_refreshLimit->allowStoredLength(localText(record.refresh).size());
    m_nameLimit->allowStoredLength(localText(record.name).size());
    m_addressLimit->allowStoredLength(localText(record.url).size());

    m_nameBox->setText(localText(record.name));
    m_addressBox->setText(localText(record.url));
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
    if (changed(m_refreshBox, m_original.refresh) && holdsControlCharacter(m_refreshBox->text()))
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
    // kept under the name saved, once the record is there: a renamed cam's old ones follow the
    // rename, unless new ones were typed here
    if (m_credentials && m_credentialsTyped)
        KeepCamCredentials(*m_credentials, m_prompter, parentWidget(),
                           QByteArray::fromStdString(record.name),
                           typedCredentials().value_or(Credentials{}));
    if (m_alerts && m_alertsBox)
        m_alerts->write(QByteArray::fromStdString(record.name), chosenAlerts());
    close();
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
