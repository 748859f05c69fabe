#include "net/authentication.h"

#include <QCryptographicHash>
#include <QRandomGenerator>
#include <cstdio>

namespace {

char lower(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

std::string lowered(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = lower(c);
    return out;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

bool isTokenChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           std::string_view("!#$%&'*+-.^_`|~").find(c) != std::string_view::npos;
}

// Reads the field value piece by piece: tokens, "=" with their values (tokens, token68 or
// quoted strings), and commas.
class Reader {
  public:
    explicit Reader(std::string_view text) : m_text(text) {}

    void skipBlanks() {
        while (m_at < m_text.size() && isBlank(m_text[m_at]))
            ++m_at;
    }
    bool atEnd() {
        skipBlanks();
        return m_at >= m_text.size();
    }
    bool take(char c) {
        skipBlanks();
        if (m_at < m_text.size() && m_text[m_at] == c) {
            ++m_at;
            return true;
        }
        return false;
    }
    std::string token() {
        skipBlanks();
        const size_t start = m_at;
        while (m_at < m_text.size() && isTokenChar(m_text[m_at]))
            ++m_at;
        return std::string(m_text.substr(start, m_at - start));
    }
    // A token, or a quoted string with its escapes undone; nothing when malformed.
    std::optional<std::string> value() {
        skipBlanks();
        if (m_at < m_text.size() && m_text[m_at] == '"') {
            std::string out;
            for (++m_at; m_at < m_text.size(); ++m_at) {
                const char c = m_text[m_at];
                if (c == '"') {
                    ++m_at;
                    return out;
                }
                if (c == '\\' && m_at + 1 < m_text.size())
                    ++m_at;
                out += m_text[m_at];
            }
            return std::nullopt; // no closing quote
        }
        std::string plain = token();
        while (m_at < m_text.size() && m_text[m_at] == '=') // token68 padding
            plain += m_text[m_at++];
        return plain;
    }
    // Whether "name =" follows (an auth-param), without taking it.
    bool paramFollows() {
        const size_t mark = m_at;
        const bool named = !token().empty() && take('=');
        m_at = mark;
        return named;
    }

  private:
    std::string_view m_text;
    size_t m_at = 0;
};

std::optional<DigestAlgorithm> algorithmNamed(std::string_view name) {
    const std::string value = lowered(name);
    if (value.empty() || value == "md5")
        return DigestAlgorithm::Md5;
    if (value == "md5-sess")
        return DigestAlgorithm::Md5Sess;
    if (value == "sha-256")
        return DigestAlgorithm::Sha256;
    if (value == "sha-256-sess")
        return DigestAlgorithm::Sha256Sess;
    return std::nullopt;
}

const char* algorithmText(DigestAlgorithm algorithm) {
    switch (algorithm) {
    case DigestAlgorithm::Md5:
        return "MD5";
    case DigestAlgorithm::Md5Sess:
        return "MD5-sess";
    case DigestAlgorithm::Sha256:
        return "SHA-256";
    case DigestAlgorithm::Sha256Sess:
        return "SHA-256-sess";
    }
    return "MD5";
}

int strength(const AuthChallenge& challenge) {
    if (challenge.scheme == AuthScheme::Basic)
        return 0;
    return challenge.algorithm == DigestAlgorithm::Sha256 ||
                   challenge.algorithm == DigestAlgorithm::Sha256Sess
               ? 2
               : 1;
}

std::string hashHex(DigestAlgorithm algorithm, const std::string& text) {
    const bool sha =
        algorithm == DigestAlgorithm::Sha256 || algorithm == DigestAlgorithm::Sha256Sess;
    return QCryptographicHash::hash(QByteArray::fromStdString(text),
                                    sha ? QCryptographicHash::Sha256 : QCryptographicHash::Md5)
        .toHex()
        .toStdString();
}

// A quoted string for a field value: backslash before '"' and '\'; a control character, which
// could end the request's line, is left out.
std::string quoted(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        if (uint8_t(c) < 32 || uint8_t(c) == 127)
            continue;
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

} // namespace

std::string Unquote(std::string_view text) {
    Reader reader(text);
    return reader.value().value_or(std::string());
}

std::vector<AuthChallenge> ParseChallenges(const std::vector<std::string_view>& fieldValues) {
    std::vector<AuthChallenge> challenges;
    for (std::string_view field : fieldValues) {
        Reader reader(field);
        while (!reader.atEnd()) {
            if (reader.take(','))
                continue;
            const std::string scheme = lowered(reader.token());
            if (scheme.empty())
                break; // not a challenge: the rest of this field is not read
            AuthChallenge challenge;
            bool known = scheme == "basic" || scheme == "digest";
            challenge.scheme = scheme == "digest" ? AuthScheme::Digest : AuthScheme::Basic;
            bool qopSeen = false;
            // its parameters, up to the next challenge
            while (!reader.atEnd()) {
                reader.take(',');
                if (!reader.paramFollows())
                    break;
                const std::string name = lowered(reader.token());
                reader.take('=');
                const std::optional<std::string> value = reader.value();
                if (!value) {
                    known = false;
                    break;
                }
                if (name == "realm")
                    challenge.realm = *value;
                else if (name == "nonce")
                    challenge.nonce = *value;
                else if (name == "opaque")
                    challenge.opaque = *value;
                else if (name == "stale")
                    challenge.stale = lowered(*value) == "true";
                else if (name == "userhash")
                    challenge.userhash = lowered(*value) == "true";
                else if (name == "algorithm") {
                    const auto algorithm = algorithmNamed(*value);
                    known = known && algorithm.has_value();
                    challenge.algorithm = algorithm.value_or(DigestAlgorithm::Md5);
                } else if (name == "qop") {
                    qopSeen = true;
                    for (size_t at = 0; at <= value->size();) {
                        size_t end = value->find(',', at);
                        if (end == std::string::npos)
                            end = value->size();
                        std::string option = lowered(std::string_view(*value).substr(at, end - at));
                        option.erase(0, option.find_first_not_of(" \t"));
                        option.erase(option.find_last_not_of(" \t") + 1);
                        challenge.qopAuth = challenge.qopAuth || option == "auth";
                        at = end + 1;
                    }
                }
            }
            // a Digest challenge needs its nonce, and "auth" when it names a quality at all; a
            // session algorithm needs it always (its client nonce is sent with the quality)
            const bool session = challenge.algorithm == DigestAlgorithm::Md5Sess ||
                                 challenge.algorithm == DigestAlgorithm::Sha256Sess;
            if (challenge.scheme == AuthScheme::Digest &&
                (challenge.nonce.empty() || ((qopSeen || session) && !challenge.qopAuth)))
                known = false;
            if (known)
                challenges.push_back(std::move(challenge));
        }
    }
    return challenges;
}

std::optional<AuthChallenge> StrongestChallenge(const std::vector<AuthChallenge>& challenges) {
    std::optional<AuthChallenge> best;
    for (const AuthChallenge& challenge : challenges)
        if (!best || strength(challenge) > strength(*best))
            best = challenge;
    return best;
}

std::string BasicAuthorization(const Credentials& credentials) {
    return "Basic " +
           (credentials.user + ":" + credentials.password).toUtf8().toBase64().toStdString();
}

std::string DigestSession::authorization(const Credentials& credentials, std::string_view method,
                                         std::string_view uri, std::string_view clientNonce) {
    const AuthChallenge& c = m_challenge;
    const std::string user = credentials.user.toStdString();
    const std::string password = credentials.password.toStdString();
    const bool session =
        c.algorithm == DigestAlgorithm::Md5Sess || c.algorithm == DigestAlgorithm::Sha256Sess;
    // a session key holds only with the client nonce that made it: sent with that one, it is
    // right both for a server that keeps the key and for one that makes it with each request
    std::string cnonce(m_sessionKey.empty() ? clientNonce : std::string_view(m_sessionNonce));
    if (cnonce.empty()) {
        const quint64 random[2] = {QRandomGenerator::system()->generate64(),
                                   QRandomGenerator::system()->generate64()};
        cnonce =
            QByteArray(reinterpret_cast<const char*>(random), sizeof random).toHex().toStdString();
    }
    char count[9];
    std::snprintf(count, sizeof count, "%08x", ++m_count);
    std::string ha1 = hashHex(c.algorithm, user + ":" + c.realm + ":" + password);
    if (session) {
        // made once, with the first request's client nonce, for every request with this nonce
        if (m_sessionKey.empty()) {
            m_sessionKey = hashHex(c.algorithm, ha1 + ":" + c.nonce + ":" + cnonce);
            m_sessionNonce = cnonce;
        }
        ha1 = m_sessionKey;
    }
    const std::string ha2 = hashHex(c.algorithm, std::string(method) + ":" + std::string(uri));
    const std::string response = c.qopAuth
                                     ? hashHex(c.algorithm, ha1 + ":" + c.nonce + ":" + count +
                                                                ":" + cnonce + ":auth:" + ha2)
                                     : hashHex(c.algorithm, ha1 + ":" + c.nonce + ":" + ha2);
    const std::string username = c.userhash ? hashHex(c.algorithm, user + ":" + c.realm) : user;
    std::string value = "Digest username=" + quoted(username) + ", realm=" + quoted(c.realm) +
                        ", uri=" + quoted(uri) + ", algorithm=" + algorithmText(c.algorithm) +
                        ", nonce=" + quoted(c.nonce);
    if (c.qopAuth)
        value += std::string(", nc=") + count + ", cnonce=" + quoted(cnonce) + ", qop=auth";
    value += ", response=" + quoted(response);
    if (!c.opaque.empty())
        value += ", opaque=" + quoted(c.opaque);
    if (c.userhash)
        value += ", userhash=true";
    return value;
}
