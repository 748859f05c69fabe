#include "certificates.h"

#include <QSslConfiguration>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

namespace {

QByteArray pemOf(X509* certificate) {
    BIO* memory = BIO_new(BIO_s_mem());
    PEM_write_bio_X509(memory, certificate);
    char* data = nullptr;
    const long size = BIO_get_mem_data(memory, &data);
    QByteArray pem(data, size);
    BIO_free(memory);
    return pem;
}

QByteArray pemOf(EVP_PKEY* key) {
    BIO* memory = BIO_new(BIO_s_mem());
    PEM_write_bio_PrivateKey(memory, key, nullptr, nullptr, 0, nullptr, nullptr);
    char* data = nullptr;
    const long size = BIO_get_mem_data(memory, &data);
    QByteArray pem(data, size);
    BIO_free(memory);
    return pem;
}

void addExtension(X509* certificate, X509* issuer, int nid, const QByteArray& value) {
    X509V3_CTX context;
    X509V3_set_ctx(&context, issuer, certificate, nullptr, nullptr, 0);
    X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value.constData());
    if (extension) {
        X509_add_ext(certificate, extension, -1);
        X509_EXTENSION_free(extension);
    }
}

} // namespace

TestIdentity makeCertificate(const CertificateOrder& order, const TestIdentity* issuer) {
    static long serial = 1000;
    EVP_PKEY* key = EVP_EC_gen("P-256");
    X509* certificate = X509_new();
    X509_set_version(certificate, 2);
    ASN1_INTEGER_set(X509_get_serialNumber(certificate), ++serial);
    X509_gmtime_adj(X509_getm_notBefore(certificate), long(order.validFromDays) * 86400);
    X509_gmtime_adj(X509_getm_notAfter(certificate), long(order.validToDays) * 86400);
    X509_set_pubkey(certificate, key);
    X509_NAME* subject = X509_get_subject_name(certificate);
    X509_NAME_add_entry_by_txt(
        subject, "CN", MBSTRING_UTF8,
        reinterpret_cast<const unsigned char*>(order.commonName.toUtf8().constData()), -1, -1, 0);

    X509* issuerCertificate = nullptr;
    EVP_PKEY* issuerKey = key;
    if (issuer) {
        const QByteArray certificatePem = issuer->certificate.toPem();
        BIO* in = BIO_new_mem_buf(certificatePem.constData(), int(certificatePem.size()));
        issuerCertificate = PEM_read_bio_X509(in, nullptr, nullptr, nullptr);
        BIO_free(in);
        const QByteArray keyPem = issuer->key.toPem();
        BIO* keyIn = BIO_new_mem_buf(keyPem.constData(), int(keyPem.size()));
        issuerKey = PEM_read_bio_PrivateKey(keyIn, nullptr, nullptr, nullptr);
        BIO_free(keyIn);
        X509_set_issuer_name(certificate, X509_get_subject_name(issuerCertificate));
    } else {
        X509_set_issuer_name(certificate, subject);
    }
    X509* signer = issuerCertificate ? issuerCertificate : certificate;
    addExtension(certificate, signer, NID_basic_constraints,
                 order.authority ? "critical,CA:TRUE" : "CA:FALSE");
    if (order.authority)
        addExtension(certificate, signer, NID_key_usage, "critical,keyCertSign,cRLSign");
    QStringList alternatives;
    for (const QString& address : order.addresses)
        alternatives << "IP:" + address;
    for (const QString& name : order.names)
        alternatives << "DNS:" + name;
    if (!alternatives.isEmpty())
        addExtension(certificate, signer, NID_subject_alt_name, alternatives.join(',').toUtf8());
    X509_sign(certificate, issuerKey, EVP_sha256());

    TestIdentity made{QSslCertificate(pemOf(certificate)), QSslKey(pemOf(key), QSsl::Ec)};
    if (issuerKey != key)
        EVP_PKEY_free(issuerKey);
    X509_free(issuerCertificate);
    X509_free(certificate);
    EVP_PKEY_free(key);
    return made;
}

const TestIdentity& testAuthority() {
    static const TestIdentity authority = [] {
        CertificateOrder order;
        order.commonName = "Webcam Test Authority";
        order.addresses.clear();
        order.names.clear();
        order.authority = true;
        order.validToDays = 3650;
        return makeCertificate(order);
    }();
    return authority;
}

void trustTestAuthority() {
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    if (configuration.caCertificates().contains(testAuthority().certificate))
        return;
    configuration.addCaCertificate(testAuthority().certificate);
    QSslConfiguration::setDefaultConfiguration(configuration);
}
