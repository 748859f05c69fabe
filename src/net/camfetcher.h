#pragma once

#include "common/camdetails.h"
#include "common/ticker.h"
#include "net/exchange.h"
#include "source/picturesource.h"

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class Ticker;

// The refresh cycle of one cam: the one-second count, one exchange with the server at each
// cycle (asked conditionally with the validators of the last picture), and the judgement of
// what it brought: a picture, new or not, the same picture unchanged, something else, or a
// failure. After failures the next attempt waits longer. It knows nothing of widgets; a panel
// shows what it reports.
class CamFetcher : public PictureSource {
    Q_OBJECT
  public:
    using Clock = std::function<QDateTime()>;

    // Its seconds are counted by a ticker `tickers` makes (a timer of the event loop when empty).
    explicit CamFetcher(QObject* parent = nullptr, const TickerMaker& tickers = {});
    ~CamFetcher() override;

    // Where "now" and the retry jitter come from; tests set their own.
    void setClock(Clock clock) { m_now = std::move(clock); }
    void setJitter(std::function<double()> jitter) { m_jitter = std::move(jitter); }
    // How long a connection may make no progress before the fetch gives up (never less than
    // the refresh interval).
    void setStallTimeout(int milliseconds) { m_stallMs = milliseconds; }
    // What all cams learned of their proxies.
    void setProxyMemory(std::shared_ptr<ProxyMemory> memory) {
        m_proxies = memory;
        m_exchange->setProxyMemory(std::move(memory));
    }
    // What the pictures of this cam share with other cams'; the engine tells the budget what
    // the cam keeps under this source's address.
    void setReceptionBudget(std::shared_ptr<ReceptionBudget> budget) {
        m_exchange->setBudget(std::move(budget), static_cast<const PictureSource*>(this));
    }
    // The SHA-256 (hex) of a certificate the user trusts for "host:port" of this cam.
    void setPinLookup(std::function<QByteArray(const QString& hostPort)> lookup) {
        m_pins = std::move(lookup);
    }
    // Tells whether a body is a whole picture of a kind the program knows by its bytes: a
    // successful answer holding one is a picture whatever its type says. Without it only the
    // type tells.
    void setPictureTest(std::function<bool(std::string_view body)> test) {
        m_isWholePicture = std::move(test);
    }
    // Tells an answer that shows the cam to be of another kind (a video's playlist): the
    // source then says otherKind instead of judging it.
    void setOtherKindTest(std::function<bool(const QByteArray& type, std::string_view body)> test) {
        m_otherKind = std::move(test);
    }
    // Where whole answers are finished (their codings undone, the picture test): off the
    // window's thread.
    void setWorkers(std::shared_ptr<BackgroundQueue> workers) {
        m_exchange->setWorkers(std::move(workers));
    }

    // The cam's record as copied in when it starts (txtName, txtAddress, txtRefresh). A new
    // address forgets the old one's validators.
    void setRecord(const QByteArray& name, const QByteArray& address,
                   const QByteArray& refresh) override;
    const QByteArray& name() const override { return m_name; }
    const QByteArray& address() const override { return m_address; }
    const QByteArray& refreshText() const override { return m_refreshText; }

    // What the pictures said: txtUpdated ("Last Changed") and txtRefreshed ("Last Refreshed").
    // They belong to the panel, not the cam: a cam started here later inherits them.
    const QByteArray& lastChanged() const { return m_lastChanged; }
    const QString& lastRefreshed() const { return m_lastRefreshed; }
    const std::string& lastModified() const { return m_lastModified; }
    bool pictureChanged() const { return m_pictureChanged; }
    CamDetails details() const override;
    // Where the last picture really came from, after redirects.
    const QString& source() const { return m_source; }

    // The cam's user name and password (none: the address's own "user:password@", if any).
    // Changed ones are tried at once when the cam refused the last ones.
    void setCredentials(std::optional<Credentials> credentials) override;
    // Whether the user agreed that the password may go to this cam over plain HTTP (Basic).
    void setPlainPasswordAllowed(bool allowed);
    // Trusted certificates and the leave to send the password unencrypted are kept there.
    void setKeeping(SourceKeeping* keeping) override;
    // "Trust This Certificate..." after a certificate failure, "Send Password Unencrypted..."
    // when the cam asks for its password over plain HTTP.
    QList<SourceAction> actions() const override;
    bool perform(const SourceAction& action) override;
    QStringList facts() const override;
    QString streamText(double seconds) const override;
    QString pictureTrouble() const override;
    FailureReport describeFailure(const QString& reason, FetchFailure kind) const override;
    // The cam refused the user name or password, or asked for it unencrypted: no further
    // attempt is made until the credentials change or the cam is refreshed by hand.
    bool isWaitingForCredentials() const override { return m_waitingForCredentials; }
    // The last request sent the cam's password over plain HTTP.
    bool sendsPasswordUnencrypted() const override;

    // The cycle stopped because the refresh text is not a number; a refresh or an edit that
    // makes it one starts it again.
    bool isHalted() const override { return m_halted; }
    int32_t refreshSecs() const override { return m_refreshSecs; }
    int32_t elapsedSecs() const override { return m_elapsedSecs; }
    // Seconds from the start of this cycle to the next attempt: the interval, or longer after
    // failures.
    int32_t waitSecs() const override { return m_waitSecs; }
    int failures() const override { return m_failures; }
    bool isCounting() const;
    bool isFetching() const override { return m_fetching; }
    // The cam's answer is a stream of pictures, received for as long as it lasts; at most one
    // picture per refresh interval is handed on (0: every one, up to 30 a second), and the
    // others are never decoded.
    bool isStreaming() const override { return m_streaming; }
    // The pictures the stream brought since it began, shown or not.
    int streamPictures() const { return m_streamPictures; }
    // The least time between a stream's pictures handed on when the interval is shorter.
    void setFastestStreamGapMs(int milliseconds) { m_fastestStreamGapMs = milliseconds; }
    // 0 when the socket is closed.
    int socketState() const { return m_exchange->socketState(); }
    const ResponseState& response() const { return m_exchange->response(); }
    // The certificate that failed the last TLS connection, and where it was presented.
    const CertificateTrouble& certificateTrouble() const { return m_trouble; }
    const QString& troubleHostPort() const { return m_troubleHostPort; }

    // The addresses asked in the last cycle, redirects included, the first one first.
    const std::vector<std::string>& visited() const { return m_visited; }
    // The last connection: TLS, and accepted only because the user trusts its certificate.
    bool lastConnectionSecure() const { return m_lastSecure; }
    bool lastConnectionPinned() const { return m_lastPinned; }
    // The proxy of the last connection and the variable that named it; empty when direct.
    const std::string& lastProxy() const { return m_lastProxy; }
    // Where proxies are looked up (the process's environment, unless a test gives its own).
    void setEnvironment(Environment environment) {
        m_exchange->setEnvironment(std::move(environment));
    }
    // The Last-Modified time of the last picture, when it sent one that could be read.
    std::optional<int64_t> lastModifiedTime() const;

    // The next request asks unconditionally (there is no picture the validators stand for).
    void forgetValidators() override;
    // A picture that could not be shown is no news: its Last-Modified line, its texts and its
    // validators are taken back, unless a later picture was judged since.
    void refusePicture(const FetchedPicture& picture) override;

    // Begins a fetch cycle: count from zero and ask the server again, at once.
    void beginCycle() override;
    // A proxy that refused its password is asked again too.
    void refreshNow() override;
    // One second of the cycle; when the wait is over the next cycle begins.
    void countSecond();
    // Drops the connection and stops counting.
    void stop() override;

  private:
    void exchangeFinished(const ExchangeResult& result);
    void judge(const ExchangeResult& result);
    void fail(const QString& reason, FetchFailure kind,
              std::optional<int64_t> retryAfter = std::nullopt);
    void succeeded();
    void noteLastModified(std::string_view headers);
    // For an answer without Last-Modified: a picture is new when its ETag differs from the
    // last one's or, without one, its bytes do (by a digest: no copy is kept).
    void noteChangeWithoutDate(std::optional<std::string_view> etag, const QByteArray& body);
    void streamBegan(const ExchangeResult& head);
    void streamPart(std::string_view headers, std::string_view body);

    void noteValidators(const ExchangeResult& result);
    // The last attempt's failure decides what the user is offered.
    void noteOutcome(std::optional<FetchFailure> failure);
    QString quoted(const QString& text) const {
        return tr("%1: %2").arg(QString::fromLocal8Bit(m_name), text);
    }

    Clock m_now = [] { return QDateTime::currentDateTime(); };
    std::function<double()> m_jitter;
    std::function<QByteArray(const QString&)> m_pins;
    std::function<bool(std::string_view)> m_isWholePicture;
    std::function<bool(const QByteArray&, std::string_view)> m_otherKind;
    Ticker* m_timer = nullptr; // timRefresh
    Exchange* m_exchange = nullptr;
    QByteArray m_name, m_address, m_refreshText = "30";
    QByteArray m_lastChanged;
    QString m_lastRefreshed;
    std::string m_lastModified;
    std::string m_changeKey;      // the last picture's ETag or digest, when it had no Last-Modified
    std::string m_acceptedDigest; // of the last picture taken as new (or the first)
    bool m_pictureChanged = false;
    bool m_halted = false;
    bool m_fetching = false;
    bool m_streaming = false;
    int m_streamPictures = 0;
    int64_t m_lastStreamPictureMs = 0; // when the stream's last picture was handed on
    int m_fastestStreamGapMs = 1000 / 30;
    bool m_lastSecure = false, m_lastPinned = false;
    std::string m_lastProxy;
    int32_t m_refreshSecs = 0;
    int32_t m_elapsedSecs = 0;
    int32_t m_waitSecs = 0;
    int m_failures = 0;
    std::vector<std::string> m_visited;
    QString m_source;
    CertificateTrouble m_trouble;
    QString m_troubleHostPort;
    Validators m_validators; // of the last picture
    std::optional<Credentials> m_credentials;
    std::shared_ptr<AuthMemory> m_auth = std::make_shared<AuthMemory>();
    bool m_plainPasswordAllowed = false;
    SourceKeeping* m_keeping = nullptr;
    std::optional<FetchFailure> m_lastFailure; // of the last attempt that ended
    bool m_waitingForCredentials = false;
    int m_lastStatus = 0; // of the last answer
    int m_stallMs = 30000;
    bool m_lastWasStream = false; // the last answer was a stream: its head may come late
    std::shared_ptr<ProxyMemory> m_proxies;

    quint64 m_judged = 0;
    struct Before {
        std::string lastModified, changeKey, acceptedDigest;
        QByteArray lastChanged;
        QString lastRefreshed;
        Validators validators;
    } m_beforeLastPicture; // what the last picture judged changed, to take back
};
