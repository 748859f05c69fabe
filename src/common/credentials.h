#pragma once

#include "common/camnames.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// A user name and password for one cam. Never written into a log, a status text, a report, the
// cam list or the settings in plain text (unless the user asks for that).
struct Credentials {
    QString user;
    QString password;
    bool isEmpty() const { return user.isEmpty() && password.isEmpty(); }
    bool operator==(const Credentials&) const = default;
};

// An address's "user:password@" before its host (percent escapes undone), and the address
// without it: "http://user:pw@cam/a.jpg" gives user, pw and "http://cam/a.jpg".
struct AddressUserInfo {
    Credentials credentials;
    std::string addressWithout;
    size_t hostStart = 0; // where the host begins in the address given
};
std::optional<AddressUserInfo> SplitUserInfo(std::string_view address);

// Text with its "%hh" escapes undone.
std::string percentDecoded(std::string_view text);

// "scheme://host:port" of an address, what credentials are given for: the scheme and host in
// small letters, "http" when it names no scheme, the scheme's own port when it names none; no
// user name or password. Empty when it has no host or its port is no number.
QByteArray CredentialOrigin(std::string_view address);

// A cam as its credentials know it: they belong to its id (a new cam never has an old one's);
// its name is what the user reads, and what they were kept under before cams had ids; they go
// only to the origin of its address.
struct CredentialCam {
    CamId id = 0;
    QByteArray name;
    QByteArray address;
};

// Where cams' credentials are kept, by cam id. It answers later (the desktop's keyring is
// another program), on the thread that asked.
class CredentialStore {
  public:
    enum class Outcome {
        Done,
        NoKeyring, // no keyring answers: nothing was kept or found there
        Failed,    // the keyring refused (locked, denied); the error says why
    };
    using Read = std::function<void(Outcome, std::optional<Credentials>, const QString& error)>;
    using Written = std::function<void(Outcome, const QString& error)>;

    virtual ~CredentialStore();
    // A cam's credentials; nothing when it has none, or has them for another origin than its
    // address's.
    virtual void read(const CredentialCam& cam, Read done) = 0;
    // Keeps them, given for its address's origin (empty credentials remove the cam's).
    virtual void write(const CredentialCam& cam, const Credentials& credentials, Written done) = 0;
    virtual void remove(const CredentialCam& cam) = 0;
};
