// What the add and edit dialogs hold below the design's boxes: the Test of the typed address,
// the cam's user name and password, and its alerts.
#include "listpane/camdialog.h"

#include "camlist/camlistmodel.h"
#include "camlist/camlisttext.h"
#include "common/localtext.h"
#include "common/prompter.h"
#include "config/camcredentials.h"
#include "engine/camchoices.h"
#include "listpane/camrulesbox.h"
#include "ui/credentialkeeping.h"
#include "ui/screentwips.h"
#include "ui/widgetkit.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

#include <QSpinBox>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

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
    if (camlisttext::holdsControlCharacter(m_addressBox->text().toUtf8().toStdString())) {
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
    // agreed here, before saving, rather than after the cam was refused
    m_plainPassword = new QCheckBox(tr("Send the password over plain HTTP, unencrypted"), row);
    m_plainPassword->setObjectName("plainPasswordBox");
    m_plainPassword->setToolTip(tr("The address is not https://: anyone on the way can read a "
                                   "password the cam asks for without Digest"));
    grid->addWidget(m_plainPassword, 2, 1, 1, 2);
    const auto showConsent = [this] {
        const bool plain =
            m_addressBox->text().trimmed().startsWith("http://", Qt::CaseInsensitive);
        const bool shown = plain && !m_passwordBox->text().isEmpty();
        if (m_plainPassword->isHidden() == shown) { // the dialog grows or shrinks with it
            m_plainPassword->setVisible(shown);
            fitExtras();
        }
    };
    connect(m_addressBox, &QLineEdit::textChanged, this, showConsent);
    connect(m_passwordBox, &QLineEdit::textChanged, this, showConsent);
    showConsent();
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
    if (!m_original.name.empty()) {
        showStoredCredentials({m_camList.idOf(m_original.name),
                               QByteArray::fromStdString(m_original.name),
                               QByteArray::fromStdString(m_original.url)});
        m_plainPassword->setChecked(
            store->mayGoUnencrypted(QByteArray::fromStdString(m_original.name)));
    }
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

void CamDialog::showStoredCredentials(const CredentialCam& cam) {
    QPointer<CamDialog> dialog(this);
    m_credentials->read(cam, [dialog, cam](CredentialStore::Outcome,
                                           std::optional<Credentials> found, const QString&) {
        if (!dialog || !found || dialog->m_credentialsTyped)
            return;
        dialog->m_userBox->setText(found->user);
        dialog->m_passwordBox->setText(found->password);
        dialog->m_shownFor = cam;
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
    SetTextShowingStart(m_addressBox, localText(record.url));
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

void CamDialog::setCamSettings(CamSettings* settings) {
    m_settings = settings;
    if (!settings || m_udpBox)
        return;
    m_udpBox =
        new QCheckBox(tr("Receive the video over UDP (RTSP cams on your own network)"), m_extras);
    m_udpBox->setObjectName("udpBox");
    m_udpBox->setToolTip(tr("RTSP cams send their video over TCP unless this is ticked; UDP "
                            "is lighter, but pictures break where packets get lost"));
    static_cast<QVBoxLayout*>(m_extras->layout())->addWidget(m_udpBox);
    m_rules = new CamRulesBox(m_extras);
    static_cast<QVBoxLayout*>(m_extras->layout())->addWidget(m_rules);
    connect(m_rules, &CamRulesBox::resized, this, &CamDialog::fitExtras);
    if (!m_original.name.empty()) {
        const QByteArray cam = QByteArray::fromStdString(m_original.name);
        m_udpBox->setChecked(settings->value(sourceChoicesKey, cam).udp);
        m_rules->showRules(settings->value(saveRuleKey, cam),
                           settings->value(motionSettingsKey, cam));
    }
    // shown for the addresses it is for
    const auto follow = [this] {
        m_udpBox->setVisible(
            m_addressBox->text().trimmed().startsWith("rtsp", Qt::CaseInsensitive));
        fitExtras();
    };
    connect(m_addressBox, &QLineEdit::textChanged, this, follow);
    follow();
}
