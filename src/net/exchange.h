#pragma once

#include "net/authentication.h"
#include "net/camaddress.h"

#include "net/camsocket.h"
#include "net/proxy.h"
#include "net/proxymemory.h"
#include "net/receptionbudget.h"
#include "net/recycledbodies.h"
#include "net/response.h"
#include "source/fetchedpicture.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class BackgroundQueue;
class QTimer;

// A picture of a stream can be at most this large.
inline constexpr size_t maxStreamPartBytes = 16 * 1024 * 1024;

// The validators of the last picture accepted, and the address that gave them: sent back only
// to that same address.
struct Validators {
    std::string address; // empty when there are none
    std::string etag, lastModified;

    // The request's conditional lines for `target` (each ended by CR LF), or nothing.
    std::string conditionalHeaders(const std::string& target) const;
};

// What one exchange asks. Another request field is added here and read where the request is
// written and where an answer's head is read (exchange.cpp).
struct ExchangeRequest {
    QByteArray address; // as the cam list holds it
    Validators validators;
    // The SHA-256 (hex) of a certificate the user trusts at "host:port" for this cam.
    std::function<QByteArray(const QString& hostPort)> pins;
    // The cam's user name and password: sent only to the origin of the cam's own address
    // (scheme, host and port), never after a redirect elsewhere; Basic over plain HTTP only
    // when the user agreed to it.
    std::optional<Credentials> credentials;
    std::shared_ptr<AuthMemory> auth; // the cam's, kept from one exchange to the next
    bool plainBasicAllowed = false;
    // Tells whether a successful answer's body is a whole picture of a known kind although its
    // type does not say so; asked off the window's thread when there are workers.
    std::function<bool(std::string_view body)> pictureTest;
};

// What an exchange came to: an answer (whatever its status) or a failure.
struct ExchangeResult {
    bool answered = false;
    // an answer
    int status = 0;             // 0 when it had no status line
    std::string headers;        // the header text as sent, before its blank line; empty without one
    ResponseHead head;          // the same, read field by field
    QByteArray body;            // as its framing delivered it (its codings undone), shared
    bool bodyIsPicture = false; // the request's picture test took the body (no image type)
    int64_t announcedLength = 0;      // Content-Length, read strictly; 0 when the body had none
    CamAddress answeredBy;            // the last hop, after redirects
    std::vector<std::string> visited; // every address asked, redirects included, first first
    // the last connection (of an answer or a failure): TLS, and accepted by a trusted pin
    bool secure = false, pinned = false;
    std::string proxy; // the last hop's proxy and where it was named ("http://p:3128 (http_proxy)")
    // a failure
    QString reason;
    FetchFailure failure = FetchFailure::Protocol;
    CertificateTrouble trouble;
    QString troubleHostPort; // where the certificate that failed was presented
};

// One exchange with a cam's server: connects (plain or TLS), sends the hand-written request,
// receives the answer within its bounds and framing, follows redirects, and reports one result.
// It keeps the storage of earlier answers to receive the next ones into.
class Exchange : public QObject {
    Q_OBJECT
  public:
    explicit Exchange(QObject* parent = nullptr);
    ~Exchange() override;

    // How long a connection may make no progress before the exchange gives up.
    void setStallTimeout(int milliseconds);
    // What this exchange's answers share with other cams' while they are received.
    // The budget the answers take from, as `holder`'s (which joins it while this exchange lives).
    void setBudget(std::shared_ptr<ReceptionBudget> budget, ReceptionBudget::Holder holder);
    // Where a whole answer's codings are undone and its picture test runs: off the window's
    // thread (a gzip body can inflate to 64 MB); without workers, at once.
    void setWorkers(std::shared_ptr<BackgroundQueue> workers) { m_workers = std::move(workers); }
    // What all cams learned of their proxies (those that refused, their realms).
    void setProxyMemory(std::shared_ptr<ProxyMemory> memory) { m_proxies = std::move(memory); }
    // Where the proxy settings come from: the process's environment unless tests say otherwise.
    void setEnvironment(Environment environment) { m_environment = std::move(environment); }
    // Begins at once, dropping one under way. False (and no result follows) when the address
    // cannot be fetched at all; `problem` then says why.
    bool start(const ExchangeRequest& request, std::string* problem = nullptr);
    // Drops the exchange under way: no result follows.
    void abort();
    // Drops the storage kept for later answers too.
    void release();
    bool isRunning() const { return m_running; }
    // The request under way carried the cam's credentials, and its answer's head has not come:
    // a server may take its time to refuse a login.
    bool awaitsLoginAnswer() const {
        return m_running && m_sentCredentials && !m_response.headerDone;
    }
    // The answer's head has not come yet.
    bool awaitsHead() const { return m_running && !m_response.headerDone; }
    // 0 when the socket is closed.
    int socketState() const { return m_socket->State(); }
    // The answer as received so far (after a result: its body alone; of a stream: its head).
    const ResponseState& response() const { return m_response; }

    // A "multipart/x-mixed-replace" answer is a stream: the connection stays, each part is
    // handed on as soon as it is framed (its views valid only during the call), and the
    // exchange ends with a StreamEnded failure when the stream does.
    using StreamPartHandler = std::function<void(std::string_view headers, std::string_view body)>;
    void setStreamPartHandler(StreamPartHandler handler) { m_partHandler = std::move(handler); }
    bool isStreaming() const { return m_stream != nullptr; }

  signals:
    void serverReached();
    void progressed(float percent, const QString& fileName);
    // The answer is a stream; its parts follow. `head` holds all but a body.
    void streamStarted(const ExchangeResult& head);
    void finished(const ExchangeResult& result);

  private:
    void connectTo(const CamAddress& target);
    void sendRequest();
    void dataArrived();
    void complete();
    void keepOnlyBody(std::string_view body);
    bool followRedirect();
    void fail(const QString& reason, FetchFailure kind);
    // A 401 to answer with the cam's credentials: true when it was answered (asked again) or
    // ended the exchange; false when it is an answer like any other.
    bool answerChallenge();
    // A 407, or a 401 that is the proxy's own (some proxies answer a wrong proxy password so):
    // true when it ended the exchange.
    bool answerProxyRefusal(int status);
    // The proxy refused the login it was sent: no cam asks it again until the user says so.
    void refuseProxy();
    // The proxy wants a login and was sent none.
    void askProxyLogin();
    std::string originOf(const CamAddress& target) const;
    // The request's Authorization line for this hop, or nothing.
    std::string authorizationLine();
    // Takes from the budget what the answer holds now; false when that passes it.
    bool holdReceived();
    void giveBackHeld();
    // The answer's head announces a stream: its parts are framed from here on.
    bool beginStream();
    // Frames the stream's next bytes (`unchunked`: its chunks are undone already).
    void feedStream(std::string_view bytes, bool unchunked = false);
    ExchangeResult answerHead(int status) const;
    // The body's codings undone and its picture test, then the result.
    void finishBody(ExchangeResult result);
    struct Stream;

    CamSocket* m_socket = nullptr;
    QTimer* m_stall = nullptr;
    ExchangeRequest m_request;
    CamAddress m_target; // this hop: camHost, camPath (as sent), where to connect
    std::vector<std::string> m_visited;
    ResponseState m_response;
    RecycledBodies m_bodies;
    std::shared_ptr<ReceptionBudget> m_budget;
    ReceptionBudget::Holder m_holder = nullptr;
    int64_t m_held = 0; // taken from the budget
    bool m_running = false;
    bool m_secure = false, m_pinned = false;
    std::string m_origin; // of the cam's own address: where credentials may go
    int m_challengesAnswered = 0;
    bool m_answeredFresh = false; // the credentials sent answer a challenge of this exchange
    std::unique_ptr<Stream> m_stream;
    bool m_streamDecided = false; // whether this answer is a stream is known
    Environment m_environment = ProcessEnvironment();
    ProxyRoute m_route; // of this hop
    std::shared_ptr<BackgroundQueue> m_workers;
    std::shared_ptr<ProxyMemory> m_proxies = std::make_shared<ProxyMemory>();
    bool m_sentCredentials = false; // the request under way carried an Authorization
    quint64 m_generation = 0; // counts the starts and aborts: work for an earlier one is dropped
    std::string proxyText() const;
    StreamPartHandler m_partHandler;
};
