#pragma once

#include <map>
#include <set>
#include <string>

// What the program learned of the proxies its cams go through, shared by all of them: which
// refused their user name and password (none asks such a proxy again until the program starts
// anew or the user refreshes a cam: a proxy backed by a directory service locks the account
// after a few), which wanted credentials (they are sent at once from then on) and the realm of
// their challenge. Used on one thread.
class ProxyMemory {
  public:
    bool isRefused(const std::string& proxy) const { return m_refused.count(proxy) > 0; }
    // True when the proxy had not refused before.
    bool refuse(const std::string& proxy) { return m_refused.insert(proxy).second; }
    // The user asked again: every proxy gets one more try.
    void forgiveAll() { m_refused.clear(); }

    void noteRealm(const std::string& proxy, const std::string& realm) { m_realms[proxy] = realm; }
    // The realm the proxy's own challenges name; empty when none was seen.
    std::string realmOf(const std::string& proxy) const {
        const auto found = m_realms.find(proxy);
        return found == m_realms.end() ? std::string() : found->second;
    }

  private:
    std::set<std::string> m_refused;
    std::map<std::string, std::string> m_realms;
};
