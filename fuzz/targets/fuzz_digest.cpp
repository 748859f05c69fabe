// WWW-Authenticate fields as a hostile server may send them: the challenges are read without
// reading past the input, and whatever was read can be answered.
#include "net/authentication.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    // a NUL byte parts the fields, as several WWW-Authenticate lines would
    std::vector<std::string_view> fields;
    for (size_t at = 0; at <= input.size();) {
        const size_t end = std::min(input.find('\0', at), input.size());
        fields.push_back(input.substr(at, end - at));
        at = end + 1;
    }
    const std::vector<AuthChallenge> challenges = ParseChallenges(fields);
    if (const std::optional<AuthChallenge> strongest = StrongestChallenge(challenges)) {
        if (strongest->scheme == AuthScheme::Digest) {
            DigestSession session(*strongest);
            const std::string answer =
                session.authorization({"user", "password"}, "GET", "/a.jpg", "0123456789abcdef");
            if (answer.empty() || answer.find('\n') != std::string::npos)
                abort(); // a line of its own, never two
        }
    }
    return 0;
}
