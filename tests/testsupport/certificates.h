#pragma once

#include <QSslCertificate>
#include <QSslKey>
#include <QStringList>

// Certificates made on the spot for the TLS tests, with OpenSSL: a test authority, and server
// certificates of chosen names and validity, signed by it or by themselves.
struct TestIdentity {
    QSslCertificate certificate;
    QSslKey key;
};

struct CertificateOrder {
    QString commonName = "127.0.0.1";
    QStringList addresses{"127.0.0.1"}; // subjectAltName IP entries
    QStringList names{"localhost"};     // subjectAltName DNS entries
    int validFromDays = -1;             // relative to now
    int validToDays = 30;
    bool authority = false;
};

// A certificate signed by `issuer`, or by its own key when there is none.
TestIdentity makeCertificate(const CertificateOrder& order, const TestIdentity* issuer = nullptr);

// The authority every test trusts (added to the default TLS configuration once).
const TestIdentity& testAuthority();
void trustTestAuthority();
