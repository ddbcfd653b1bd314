// Makes X.509 certificates with OpenSSL for tests and the demo gateway. Keys are P-256 (quick to
// make, so every test can have its own), signatures SHA-256, serials 127 random bits. The
// extensions are the ones a strict client checks: basicConstraints and keyUsage tell a CA from a
// server, subjectAltName carries the names (clients ignore the common name when it is present),
// extendedKeyUsage limits a server certificate to serving.
#include "tools/certs/Certificates.h"

#include <functional>
#include <memory>
#include <openssl/bn.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>
#include <stdexcept>

namespace zendrel {

namespace {

struct Free {
    void operator()(EVP_PKEY* p) const { EVP_PKEY_free(p); }
    void operator()(X509* p) const { X509_free(p); }
    void operator()(BIO* p) const { BIO_free(p); }
    void operator()(BIGNUM* p) const { BN_free(p); }
    void operator()(X509_EXTENSION* p) const { X509_EXTENSION_free(p); }
    void operator()(GENERAL_NAMES* p) const { GENERAL_NAMES_free(p); }
    void operator()(GENERAL_NAME* p) const { GENERAL_NAME_free(p); }
};
using Key = std::unique_ptr<EVP_PKEY, Free>;
using Cert = std::unique_ptr<X509, Free>;
using Bio = std::unique_ptr<BIO, Free>;

[[noreturn]] void Fail(const std::string& what) {
    unsigned long code = ERR_get_error();
    ERR_clear_error();
    const char* reason = code != 0 ? ERR_reason_error_string(code) : nullptr;
    throw std::runtime_error("certificate maker: " + what + ": " + (reason ? reason : "unknown"));
}

void Check(int ok, const char* what) {
    if (ok != 1)
        Fail(what);
}

Key NewKey() {
    Key key(EVP_EC_gen("P-256"));
    if (!key)
        Fail("cannot make a key");
    return key;
}

void SetRandomSerial(X509* cert) {
    std::unique_ptr<BIGNUM, Free> bn(BN_new());
    if (!bn)
        Fail("cannot make a serial number");
    Check(BN_rand(bn.get(), 127, BN_RAND_TOP_ANY, BN_RAND_BOTTOM_ANY), "cannot make a serial");
    if (BN_to_ASN1_INTEGER(bn.get(), X509_get_serialNumber(cert)) == nullptr)
        Fail("cannot store the serial number");
}

void SetCommonName(X509_NAME* name, const std::string& commonName) {
    if (commonName.empty())
        return;
    const auto* bytes = reinterpret_cast<const unsigned char*>(commonName.data());
    Check(X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_UTF8, bytes,
                                     static_cast<int>(commonName.size()), -1, 0),
          "bad common name");
}

// A certificate for `key` named `commonName`, valid over the given span around now, unsigned.
Cert NewCertificate(EVP_PKEY* key, const std::string& commonName, long notBefore, long notAfter) {
    Cert cert(X509_new());
    if (!cert)
        Fail("cannot make a certificate");
    Check(X509_set_version(cert.get(), X509_VERSION_3), "cannot set the version");
    SetRandomSerial(cert.get());
    if (X509_gmtime_adj(X509_getm_notBefore(cert.get()), notBefore) == nullptr ||
        X509_gmtime_adj(X509_getm_notAfter(cert.get()), notAfter) == nullptr)
        Fail("cannot set the validity");
    SetCommonName(X509_get_subject_name(cert.get()), commonName);
    Check(X509_set_pubkey(cert.get(), key), "cannot set the public key");
    return cert;
}

// Adds an extension written the way OpenSSL's configuration files write it.
void AddExtension(X509* cert, X509* issuer, int nid, const char* value) {
    X509V3_CTX ctx;
    X509V3_set_ctx_nodb(&ctx);
    X509V3_set_ctx(&ctx, issuer, cert, nullptr, nullptr, 0);
    std::unique_ptr<X509_EXTENSION, Free> ext(X509V3_EXT_conf_nid(nullptr, &ctx, nid, value));
    if (!ext)
        Fail(std::string("bad extension ") + value);
    Check(X509_add_ext(cert, ext.get(), -1), "cannot add an extension");
}

void AddName(GENERAL_NAMES* names, int type, ASN1_STRING* value) {
    std::unique_ptr<GENERAL_NAME, Free> name(GENERAL_NAME_new());
    if (!name || value == nullptr) {
        ASN1_STRING_free(value);
        Fail("cannot make a subject name");
    }
    GENERAL_NAME_set0_value(name.get(), type, value);
    if (sk_GENERAL_NAME_push(names, name.get()) == 0)
        Fail("cannot make a subject name");
    name.release();
}

// Built entry by entry rather than as configuration text, so a name is never split or misread.
void AddSubjectAltNames(X509* cert, const CertificateRequest& request) {
    std::unique_ptr<GENERAL_NAMES, Free> names(sk_GENERAL_NAME_new_null());
    if (!names)
        Fail("cannot make subject names");
    for (const std::string& dns : request.dnsNames) {
        ASN1_IA5STRING* text = ASN1_IA5STRING_new();
        if (text != nullptr &&
            ASN1_STRING_set(text, dns.data(), static_cast<int>(dns.size())) != 1) {
            ASN1_STRING_free(text);
            Fail("bad DNS name " + dns);
        }
        AddName(names.get(), GEN_DNS, text);
    }
    for (const std::string& ip : request.ipAddresses) {
        ASN1_OCTET_STRING* address = a2i_IPADDRESS(ip.c_str());
        if (address == nullptr)
            throw std::runtime_error("certificate maker: bad IP address " + ip);
        AddName(names.get(), GEN_IPADD, address);
    }
    if (sk_GENERAL_NAME_num(names.get()) > 0)
        Check(X509_add1_ext_i2d(cert, NID_subject_alt_name, names.get(), 0, X509V3_ADD_DEFAULT),
              "cannot add the subject names");
}

void AddServerExtensions(X509* cert, X509* issuer, const CertificateRequest& request) {
    AddExtension(cert, issuer, NID_basic_constraints, "critical,CA:FALSE");
    AddExtension(cert, issuer, NID_key_usage, "critical,digitalSignature");
    AddExtension(cert, issuer, NID_ext_key_usage, "serverAuth");
    AddExtension(cert, issuer, NID_subject_key_identifier, "hash");
    if (issuer != cert)
        AddExtension(cert, issuer, NID_authority_key_identifier, "keyid:always");
    AddSubjectAltNames(cert, request);
}

void Sign(X509* cert, EVP_PKEY* key) {
    if (X509_sign(cert, key, EVP_sha256()) <= 0)
        Fail("cannot sign");
}

std::string ToPem(const std::function<int(BIO*)>& write) {
    Bio bio(BIO_new(BIO_s_mem()));
    if (!bio || write(bio.get()) != 1)
        Fail("cannot write PEM");
    char* data = nullptr;
    long len = BIO_get_mem_data(bio.get(), &data);
    return std::string(data, static_cast<std::size_t>(len));
}

std::string CertificatePem(X509* cert) {
    return ToPem([cert](BIO* b) { return PEM_write_bio_X509(b, cert); });
}

std::string KeyPem(EVP_PKEY* key) {
    return ToPem([key](BIO* b) {
        return PEM_write_bio_PrivateKey(b, key, nullptr, nullptr, 0, nullptr, nullptr);
    });
}

Bio ReadBio(const std::string& pem) {
    Bio bio(BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size())));
    if (!bio)
        Fail("cannot read PEM");
    return bio;
}

} // namespace

CertificateAuthority::CertificateAuthority(const std::string& name) {
    Key key = NewKey();
    Cert cert = NewCertificate(key.get(), name, -3600, 3650L * 86400);
    Check(X509_set_issuer_name(cert.get(), X509_get_subject_name(cert.get())),
          "cannot set the issuer");
    AddExtension(cert.get(), cert.get(), NID_basic_constraints, "critical,CA:TRUE");
    AddExtension(cert.get(), cert.get(), NID_key_usage, "critical,keyCertSign,cRLSign");
    AddExtension(cert.get(), cert.get(), NID_subject_key_identifier, "hash");
    Sign(cert.get(), key.get());
    certificatePem_ = CertificatePem(cert.get());
    keyPem_ = KeyPem(key.get());
}

PemPair CertificateAuthority::issue(const CertificateRequest& request) const {
    Bio certBio = ReadBio(certificatePem_), keyBio = ReadBio(keyPem_);
    Cert caCert(PEM_read_bio_X509(certBio.get(), nullptr, nullptr, nullptr));
    Key caKey(PEM_read_bio_PrivateKey(keyBio.get(), nullptr, nullptr, nullptr));
    if (!caCert || !caKey)
        Fail("cannot read the authority");
    Key key = NewKey();
    Cert cert = NewCertificate(key.get(), request.commonName, request.notBeforeSeconds,
                               request.notAfterSeconds);
    Check(X509_set_issuer_name(cert.get(), X509_get_subject_name(caCert.get())),
          "cannot set the issuer");
    AddServerExtensions(cert.get(), caCert.get(), request);
    Sign(cert.get(), caKey.get());
    return {CertificatePem(cert.get()), KeyPem(key.get())};
}

PemPair SelfSignedCertificate(const CertificateRequest& request) {
    Key key = NewKey();
    Cert cert = NewCertificate(key.get(), request.commonName, request.notBeforeSeconds,
                               request.notAfterSeconds);
    Check(X509_set_issuer_name(cert.get(), X509_get_subject_name(cert.get())),
          "cannot set the issuer");
    AddServerExtensions(cert.get(), cert.get(), request);
    Sign(cert.get(), key.get());
    return {CertificatePem(cert.get()), KeyPem(key.get())};
}

} // namespace zendrel
