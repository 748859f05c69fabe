// The cam's credentials in an exchange: sent only to the origin of the cam's own address, and
// a 401 answered once with what its challenge asks for.
#include "net/exchange.h"

#include "common/localtext.h"

std::string Exchange::originOf(const CamAddress& target) const {
    return (target.secure ? "https://" : "http://") + target.connectTo + ":" +
           std::to_string(target.port);
}

std::string Exchange::authorizationLine() {
    const std::shared_ptr<AuthMemory>& memory = m_request.auth;
    if (!m_request.credentials || !memory || memory->origin != m_origin ||
        originOf(m_target) != m_origin)
        return {};
    if (memory->digest)
        return "Authorization: " +
               memory->digest->authorization(*m_request.credentials, "GET", m_target.camPath) +
               "\r\n";
    if (memory->basic && (m_target.secure || m_request.plainBasicAllowed))
        return "Authorization: " + BasicAuthorization(*m_request.credentials) + "\r\n";
    return {};
}

bool Exchange::answerChallenge() {
    // credentials go only to where the cam's own address leads
    if (!m_request.credentials || !m_request.auth || originOf(m_target) != m_origin)
        return false;
    const std::optional<AuthChallenge> challenge =
        StrongestChallenge(ParseChallenges(m_response.head.values("WWW-Authenticate")));
    if (!challenge)
        return false;
    // an expired nonce is answered again at once; anything else after an answer to this
    // exchange's own challenge is a refusal: cams lock an address out after a few
    const bool staleNonce = challenge->scheme == AuthScheme::Digest && challenge->stale;
    if ((m_answeredFresh && !staleNonce) || ++m_challengesAnswered > 3) {
        fail(tr("the cam refused the user name or password"), FetchFailure::Refused);
        return true;
    }
    if (challenge->scheme == AuthScheme::Basic && !m_target.secure &&
        !m_request.plainBasicAllowed) {
        fail(tr("the cam asks for its password over plain HTTP, where it travels unencrypted"),
             FetchFailure::PlainPassword);
        return true;
    }
    AuthMemory& memory = *m_request.auth;
    memory.origin = m_origin;
    memory.basic = challenge->scheme == AuthScheme::Basic;
    memory.digest.reset();
    if (challenge->scheme == AuthScheme::Digest)
        memory.digest.emplace(*challenge);
    m_answeredFresh = true;
    connectTo(m_target); // asked again, with the answer
    return true;
}
