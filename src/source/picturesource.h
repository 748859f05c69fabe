#pragma once

#include "common/camdetails.h"
#include "common/credentials.h"
#include "common/prompter.h"
#include "source/fetchedpicture.h"

#include <QList>
#include <QObject>
#include <QSize>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

// Something a source offers its user for its cam, such as trusting a certificate it was shown:
// listed in the panel's menu while it is offered, asked as `question` and done by
// PictureSource::perform when the user agrees.
struct SourceAction {
    QString id;
    QString label; // the menu item ("Trust This Certificate...")
    QString title;
    QString question;
    PromptButtons buttons = PromptButtons::OkCancel;
    QByteArray cam;     // the cam it was offered for
    QByteArray data;    // what exactly is agreed to (a certificate's fingerprint, say)
    QString failedText; // said when it could not be done
    bool operator==(const SourceAction&) const = default;
};

// How a cam's source connects, as its owner chose it.
struct SourceChoices {
    bool udp = false; // a video's stream over UDP rather than TCP
    bool operator==(const SourceChoices&) const = default;
};

// What a source may keep for its cam besides its record: certificates the user trusts and
// whether its password may travel unencrypted. Kept by the cam's own settings.
class SourceKeeping {
  public:
    virtual ~SourceKeeping();
    // The SHA-256 (hex) of a certificate the user trusts at "host:port"; empty when none.
    virtual QByteArray trustedCertificate(const QString& hostPort) const = 0;
    virtual bool trustCertificate(const QString& hostPort, const QByteArray& fingerprint) = 0;
    virtual bool mayGoUnencrypted() const = 0;
    virtual bool allowUnencrypted() = 0;
};

// One cam's pictures, whatever kind of cam it is: a still picture asked for at each interval, a
// stream, a video. A source counts its own cycle (start, refresh now, stop), and tells by its
// signals what happens; the pictures it hands on are decoded by whoever shows them. Every kind
// of cam is a class of its own, made by the source registry from the cam's address.
class PictureSource : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;
    ~PictureSource() override;

    // The cam's record as copied in when it starts or is edited (txtName, txtAddress,
    // txtRefresh). A new address forgets what the old one taught.
    virtual void setRecord(const QByteArray& name, const QByteArray& address,
                           const QByteArray& refresh) = 0;
    virtual const QByteArray& name() const = 0;
    virtual const QByteArray& address() const = 0;
    virtual const QByteArray& refreshText() const = 0;
    // Where the cam's own choices are kept; none: nothing is trusted or allowed.
    virtual void setKeeping(SourceKeeping* keeping) = 0;
    // How the cam's owner chose it to connect; taken at the next connection.
    virtual void setChoices(const SourceChoices&) {}
    // The cam's user name and password (none: the address's own "user:password@", if any).
    // Changed ones are tried at once when the cam refused the last ones.
    virtual void setCredentials(std::optional<Credentials> credentials) = 0;

    // Begins a cycle: count from zero and ask for a picture at once.
    virtual void beginCycle() = 0;
    // The user asked for a picture now: what was held back for the user's word is tried again.
    virtual void refreshNow() { beginCycle(); }
    // Lets go of the connection and stops counting.
    virtual void stop() = 0;

    // The state of the cycle, as the panel and the viewer tell it.
    virtual bool isFetching() const = 0;
    virtual bool isStreaming() const = 0;
    // The cycle stopped because the refresh text is not a number.
    virtual bool isHalted() const = 0;
    // Refused credentials are not tried again until they change or the user refreshes.
    virtual bool isWaitingForCredentials() const = 0;
    virtual bool sendsPasswordUnencrypted() const = 0;
    virtual int failures() const = 0;
    virtual int32_t refreshSecs() const = 0;
    virtual int32_t elapsedSecs() const = 0;
    // Seconds from the start of this cycle to the next attempt.
    virtual int32_t waitSecs() const = 0;
    virtual CamDetails details() const = 0;

    // What the user may do for this cam now; `perform` does one the user agreed to.
    virtual QList<SourceAction> actions() const { return {}; }
    virtual bool perform(const SourceAction& action);
    // A picture that could not be shown is no news: what it taught is taken back.
    virtual void refusePicture(const FetchedPicture&) {}
    // The next picture is asked for whole (nothing shown stands for it).
    virtual void forgetValidators() {}
    // What the last attempt found, in words: for the dialogs' Test.
    virtual QStringList facts() const { return {}; }
    // What was wrong with the answer the last picture came in ("HTTP 404"); empty when nothing.
    virtual QString pictureTrouble() const { return {}; }
    // What the stream is, in words for the Test, after watching it `seconds` ("An MJPEG
    // stream: 12 pictures a second"); empty when the pictures come no stream.
    virtual QString streamText(double seconds) const {
        Q_UNUSED(seconds);
        return {};
    }
    // A failure in words for the Test: a headline, and what more the source knows of it (what a
    // certificate that failed was issued to, say).
    struct FailureReport {
        QString headline;
        QStringList facts;
        bool withTime = true; // the time taken belongs to it
    };
    virtual FailureReport describeFailure(const QString& reason, FetchFailure kind) const;
    // The size the cam's picture is shown at, and whether it is also wanted whole (the viewer,
    // saving): a source that can choose among sizes takes the one that serves.
    virtual void setWantedSize(QSize shown, bool whole) {
        Q_UNUSED(shown);
        Q_UNUSED(whole);
    }

  signals:
    // A fetch begins: the fetching indicator shows.
    void fetchStarted();
    // A second of the cycle was counted.
    void ticked();
    void progressed(float percent, const QString& fileName);
    void pictureArrived(const FetchedPicture& picture);
    // The picture has not changed: it stays as it is.
    void unchanged(const CamDetails& details);
    // The cam answered with something that is not a picture.
    void notAPicture();
    // An attempt failed; `reason` in words for the user.
    void failed(const QString& reason, FetchFailure kind);
    // The cam was reached.
    void serverReached();
    // The pictures come as a stream, without an end.
    void streamStarted();
    // Something the user should hear about, for the status bar.
    void problem(const QString& text);
    // The cycle stopped: nothing happens until it is begun again.
    void halted(const QString& text);
    // What `actions` offers changed.
    void actionsChanged();
    // The address turned out to be a cam of another kind (its answer's type and first bytes
    // say which): the registry makes its own source for it.
    void otherKind(const QByteArray& contentType, const QByteArray& firstBytes);
};
