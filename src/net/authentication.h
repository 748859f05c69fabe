#pragma once

#include "common/credentials.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// HTTP authentication as cams ask for it: Basic (RFC 7617) and Digest (RFC 7616) with MD5 and
// SHA-256 and their "-sess" variants, quality of protection "auth".

enum class AuthScheme { Basic, Digest };
enum class DigestAlgorithm { Md5, Md5Sess, Sha256, Sha256Sess };

// One challenge of a WWW-Authenticate field.
struct AuthChallenge {
    AuthScheme scheme = AuthScheme::Basic;
    std::string realm, nonce, opaque;
    DigestAlgorithm algorithm = DigestAlgorithm::Md5;
    bool qopAuth = false; // the server offers qop "auth"
    bool stale = false;   // the nonce expired; the credentials were right
    bool userhash = false;
};

// The challenges of the WWW-Authenticate field values, in order; those of a scheme or an
// algorithm the program does not know are left out, and so are malformed ones.
std::vector<AuthChallenge> ParseChallenges(const std::vector<std::string_view>& fieldValues);

// The strongest challenge: Digest SHA-256 before Digest MD5 before Basic ("-sess" like its
// base). Nothing when there is none.
std::optional<AuthChallenge> StrongestChallenge(const std::vector<AuthChallenge>& challenges);

// "Basic dXNlcjpwYXNz": user and password in UTF-8.
std::string BasicAuthorization(const Credentials& credentials);

// A Digest session with one server: the challenge it answers, the request count (nc) that
// goes up with each request, so that the nonce serves later requests without a new challenge.
class DigestSession {
  public:
    DigestSession() = default;
    explicit DigestSession(AuthChallenge challenge) : m_challenge(std::move(challenge)) {}

    // The Authorization value for a request of `method` to `uri` (the path as sent). Each call
    // counts one request. `clientNonce`, when given, is used instead of a random one (tests);
    // a "-sess" algorithm sends the first request's client nonce with every later one.
    std::string authorization(const Credentials& credentials, std::string_view method,
                              std::string_view uri, std::string_view clientNonce = {});
    const AuthChallenge& challenge() const { return m_challenge; }
    uint32_t count() const { return m_count; }

  private:
    AuthChallenge m_challenge;
    uint32_t m_count = 0;
    std::string m_sessionKey;   // HA1 of a -sess algorithm, made at the first request
    std::string m_sessionNonce; // the client nonce that made it
};

// What a cam's refresh cycle remembers of its server's challenge between exchanges, so that
// later requests carry the answer at once instead of meeting a 401 first.
struct AuthMemory {
    std::string origin; // "scheme://host:port" the challenge came from
    std::optional<DigestSession> digest;
    bool basic = false;
};

// The quoted-string of a field value, with its backslash escapes undone.
std::string Unquote(std::string_view quoted);
