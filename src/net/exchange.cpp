#include "net/exchange.h"

#include "common/localtext.h"
#include "net/judgement.h"

#include "net/exchangestream.h"
#include "net/location.h"

#include <QNetworkProxy>
#include <QTimer>
#include <algorithm>
#include <cstring>
#include <utility>

namespace {

constexpr int defaultStallMs = 30000;
constexpr size_t maxRedirects = 5;

QString hostPortOf(const CamAddress& target) {
    return QString("%1:%2").arg(localText(target.connectTo)).arg(target.port);
}

} // namespace

std::string Validators::conditionalHeaders(const std::string& target) const {
    if (address.empty() || address != target)
        return {};
    std::string lines;
    if (!lastModified.empty())
        lines += "If-Modified-Since: " + lastModified + "\r\n";
    if (!etag.empty())
        lines += "If-None-Match: " + etag + "\r\n";
    return lines;
}

Exchange::Exchange(QObject* parent) : QObject(parent) {
    m_stall = new QTimer(this);
    m_stall->setSingleShot(true);
    m_stall->setInterval(defaultStallMs);
    m_socket = new CamSocket(this);
    connect(m_stall, &QTimer::timeout, this, [this] {
        const bool handshaking = m_target.secure && m_socket->State() != 0;
        fail(handshaking && !m_socket->isEncrypted() ? tr("the TLS handshake timed out")
                                                     : tr("the server stopped answering"),
             FetchFailure::Timeout);
    });
    connect(m_socket, &CamSocket::Connected, this, &Exchange::sendRequest);
    connect(m_socket, &CamSocket::DataArrival, this, &Exchange::dataArrived);
    connect(m_socket, &CamSocket::CloseEvent, this, &Exchange::complete);
    connect(m_socket, &CamSocket::Failed, this, [this](const QString& reason, SocketFailure kind) {
        switch (kind) {
        case SocketFailure::Certificate:
            fail(reason, FetchFailure::Certificate);
            break;
        case SocketFailure::Tls:
            fail(reason, FetchFailure::Protocol);
            break;
        case SocketFailure::ProxyRefused:
            if (m_route.credentials)
                refuseProxy();
            else
                askProxyLogin();
            break;
        default:
            fail(reason, FetchFailure::Connection);
            break;
        }
    });
}

Exchange::~Exchange() {
    if (m_budget)
        m_budget->leave(m_holder);
}

void Exchange::setBudget(std::shared_ptr<ReceptionBudget> budget, ReceptionBudget::Holder holder) {
    giveBackHeld();
    if (m_budget)
        m_budget->leave(m_holder);
    m_budget = std::move(budget);
    m_holder = holder;
    if (m_budget)
        m_budget->join(m_holder);
}

void Exchange::setStallTimeout(int milliseconds) {
    m_stall->setInterval(milliseconds);
}

bool Exchange::start(const ExchangeRequest& request, std::string* problem) {
    abort();
    const std::string address = request.address.toStdString();
    const std::optional<CamAddress> target = SplitCamAddress(address);
    if (!target) {
        if (problem)
            *problem = AddressProblem(address);
        return false;
    }
    if (const ProxyRoute route = ProxyFor(target->secure, target->connectTo, m_environment);
        !route.problem.empty()) {
        if (problem)
            *problem = route.problem;
        return false;
    }
    m_request = request;
    m_visited = {target->text()};
    m_origin = originOf(*target);
    m_challengesAnswered = 0;
    m_answeredFresh = false;
    connectTo(*target);
    return true;
}

void Exchange::abort() {
    ++m_generation;
    m_stall->stop();
    m_socket->Close();
    m_running = false;
    giveBackHeld();
    if (m_stream && m_stream->feeding)
        m_stream->dropped = true; // goes once its part has been handed on
    else
        m_stream.reset();
}

bool Exchange::holdReceived() {
    if (!m_budget)
        return true;
    const auto holding =
        m_stream ? int64_t(m_stream->parts.held())
                 : int64_t(m_response.responseBuffer.size()) + int64_t(m_response.decoded.size());
    if (holding > m_held && !m_budget->take(m_holder, holding - m_held))
        return false;
    m_held = std::max(m_held, holding);
    return true;
}

void Exchange::giveBackHeld() {
    if (m_budget)
        m_budget->giveBack(m_holder, m_held);
    m_held = 0;
}

void Exchange::release() {
    abort();
    m_bodies = RecycledBodies(); // a stopped cam keeps no spare storage
}

void Exchange::connectTo(const CamAddress& target) {
    m_target = target;
    // the last answer's storage is kept for later; the next is received into storage no one
    // holds any more
    m_bodies.keep(std::exchange(m_response.responseBuffer, QByteArray()));
    m_response.reset();
    m_response.receiveInto(m_bodies.spare());
    m_running = true;
    m_secure = m_pinned = false;
    m_streamDecided = false;
    m_route = ProxyFor(target.secure, target.connectTo, m_environment);
    if (!m_route.problem.empty()) {
        fail(localText(m_route.problem), FetchFailure::Protocol);
        return;
    }
    if (m_route.kind != ProxyRoute::Kind::Direct && m_proxies->isRefused(m_route.text())) {
        fail(tr("the proxy %1 refused its user name or password; it is asked again when you "
                "refresh a cam")
                 .arg(localText(m_route.text())),
             FetchFailure::ProxyRefused);
        return;
    }
    QNetworkProxy tunnel(QNetworkProxy::NoProxy);
    // an HTTP proxy's tunnel is opened by the socket itself: the proxy's login goes with the
    // first CONNECT, and the proxy's answer is read within a bound (the toolkit's own tunnel
    // keeps every header line a proxy sends)
    const bool ownTunnel = m_route.kind == ProxyRoute::Kind::Http && target.secure;
    m_socket->setTunnel(ownTunnel ? localText(m_route.host) : QString(), m_route.port,
                        ownTunnel && m_route.credentials
                            ? QByteArray::fromStdString(BasicAuthorization(*m_route.credentials))
                            : QByteArray());
    if (m_route.kind == ProxyRoute::Kind::Socks5) {
        const Credentials login = m_route.credentials.value_or(Credentials{});
        tunnel = QNetworkProxy(QNetworkProxy::Socks5Proxy, localText(m_route.host), m_route.port,
                               login.user, login.password);
    }
    m_socket->setProxy(tunnel);
    if (target.secure)
        m_socket->ConnectEncrypted(localText(target.connectTo), target.port,
                                   m_request.pins ? m_request.pins(hostPortOf(target))
                                                  : QByteArray());
    else if (m_route.kind == ProxyRoute::Kind::Http)
        m_socket->Connect(localText(m_route.host), m_route.port); // asked in absolute form
    else
        m_socket->Connect(localText(target.connectTo), target.port);
    m_stall->start();
}

void Exchange::sendRequest() {
    m_stall->start();
    m_secure = m_socket->isEncrypted();
    m_pinned = m_socket->acceptedByPin();
    emit serverReached();
    m_target.camPath = EscapeRequestPath(m_target.camPath);
    const std::string login = authorizationLine();
    m_sentCredentials = !login.empty();
    std::string extra = m_request.validators.conditionalHeaders(m_target.text()) + login;
    // a plain request through an HTTP proxy names the whole address, and the proxy's login
    const bool absolute = m_route.kind == ProxyRoute::Kind::Http && !m_target.secure;
    if (absolute && m_route.credentials)
        extra += "Proxy-Authorization: " + BasicAuthorization(*m_route.credentials) + "\r\n";
    const std::string request =
        BuildRequest(absolute ? "http://" + m_target.camHost + m_target.camPath : m_target.camPath,
                     m_target.camHost, extra);
    m_socket->SendData(QByteArray(request.data(), qsizetype(request.size())));
}

void Exchange::dataArrived() {
    m_stall->start();
    const QByteArray bytes = m_socket->GetData();
    if (m_stream) {
        feedStream(std::string_view(bytes.constData(), size_t(bytes.size())));
        return;
    }
    const DataOutcome outcome =
        ReceiveResponseData(m_response, std::string_view(bytes.constData(), size_t(bytes.size())));
    if (outcome.abort) {
        // over the bounds: this answer is dropped
        m_response.reset();
        fail(tr("the server's answer is too large"), FetchFailure::Protocol);
        return;
    }
    if (!outcome.error.empty()) {
        fail(localText(outcome.error), FetchFailure::Protocol);
        return;
    }
    if (!holdReceived()) {
        m_response.reset();
        fail(tr("the answers of all cams at once would hold more than %1 MB: this one waits "
                "for a later try")
                 .arg(m_budget->limit() / (1024 * 1024)),
             FetchFailure::Protocol);
        return;
    }
    if (m_response.headerDone && beginStream())
        return;
    if (outcome.percent)
        emit progressed(*outcome.percent, localText(RequestFileName(m_target.camPath)));
    if (outcome.complete && m_running)
        complete(); // a whole body needs no close from the server
}

void Exchange::complete() {
    if (m_stream) {
        fail(tr("the stream ended"), FetchFailure::StreamEnded);
        return;
    }
    m_stall->stop();
    m_socket->Close();
    m_running = false;
    giveBackHeld(); // the body goes on to its cam, which keeps only the picture's own bytes
    const CompletedResponse split = SplitResponse(m_response.received());
    const int status = m_response.headerDone ? m_response.head.status : 0;
    if (IsRedirectStatus(status) && m_response.head.value("Location")) {
        followRedirect();
        return;
    }
    if ((status == 401 || status == 407) && answerProxyRefusal(status))
        return;
    if (status == 401 && answerChallenge())
        return;
    ExchangeResult result = answerHead(status);
    result.headers = std::string(split.headers);
    if (status == 304) {
        m_response.responseBuffer.resize(0); // an unchanged picture has no body
        emit finished(result);
        return;
    }
    const ReceivedBody body =
        m_response.headerDone ? BodyOf(m_response) : ReceivedBody{split.body, true};
    if (!body.whole && m_response.framing.kind == BodyFraming::Chunked) {
        fail(tr("the picture was cut short before its last chunk"), FetchFailure::Protocol);
        return;
    }
    // from here on the buffer holds the body, which the result shares without a copy
    keepOnlyBody(body.bytes);
    result.body = m_response.responseBuffer;
    // the length the body was framed by: the exact field, and none under chunked framing
    result.announcedLength =
        m_response.framing.kind == BodyFraming::ContentLength ? m_response.framing.length : 0;
    finishBody(std::move(result));
}

std::string Exchange::proxyText() const {
    return m_route.kind == ProxyRoute::Kind::Direct
               ? std::string()
               : m_route.text() + " (" + m_route.variable + ")";
}

ExchangeResult Exchange::answerHead(int status) const {
    ExchangeResult result;
    result.proxy = proxyText();
    result.answered = true;
    result.status = status;
    result.head = m_response.head;
    result.answeredBy = m_target;
    result.visited = m_visited;
    result.secure = m_secure;
    result.pinned = m_pinned;
    return result;
}

bool Exchange::followRedirect() {
    // at most five hops in one exchange, within its time and each answer's size bound
    if (m_visited.size() > maxRedirects) {
        fail(tr("more than 5 redirects"), FetchFailure::Protocol);
        return false;
    }
    const LocationResult next = ResolveLocation(m_target, *m_response.head.value("Location"));
    if (!next.ok) {
        fail(localText(next.error), FetchFailure::Protocol);
        return false;
    }
    const std::string text = next.target.text();
    if (std::find(m_visited.begin(), m_visited.end(), text) != m_visited.end()) {
        fail(tr("a redirect loop"), FetchFailure::Protocol);
        return false;
    }
    m_visited.push_back(text);
    // a challenge at the new address is its own: answered once before a refusal is concluded
    // (the count of challenges still bounds the exchange)
    m_answeredFresh = false;
    connectTo(next.target);
    return true;
}

void Exchange::fail(const QString& reason, FetchFailure kind) {
    abort();
    ExchangeResult result;
    result.proxy = proxyText();
    result.reason = reason;
    result.failure = kind;
    result.visited = m_visited;
    result.answeredBy = m_target;
    result.secure = m_secure;
    result.pinned = m_pinned;
    if (kind == FetchFailure::Certificate) {
        result.trouble = m_socket->certificateTrouble();
        result.troubleHostPort = hostPortOf(m_target);
    }
    emit finished(result);
}
