#pragma once

#include <string>
#include <vector>

namespace zendrel {

// A certificate and its private key, both PEM (the key unencrypted PKCS#8).
struct PemPair {
    std::string certificate;
    std::string key;
};

// What a server certificate is made for and how long it holds.
struct CertificateRequest {
    std::string commonName;
    std::vector<std::string> dnsNames;    // subjectAltName DNS entries
    std::vector<std::string> ipAddresses; // subjectAltName IP entries ("127.0.0.1")
    long notBeforeSeconds = -3600;        // validity start relative to now
    long notAfterSeconds = 30L * 86400;   // validity end relative to now
};

// A certificate authority made on the spot, for tests and the demo: nothing it signs outlives
// the run that made it, so no private key ever has to be kept anywhere. Failures raise
// std::runtime_error with OpenSSL's reason.
class CertificateAuthority {
public:
    // A fresh P-256 key and a self-signed CA certificate with `name` as its common name.
    explicit CertificateAuthority(const std::string& name);

    const std::string& certificatePem() const { return certificatePem_; }
    // A server certificate with a fresh key, signed by this authority.
    PemPair issue(const CertificateRequest& request) const;

private:
    std::string certificatePem_;
    std::string keyPem_;
};

// A server certificate with a fresh key that signs itself (trusted by no one).
PemPair SelfSignedCertificate(const CertificateRequest& request);

} // namespace zendrel
