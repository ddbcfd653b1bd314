#include "tests/support/TestTrust.h"

#include "tests/support/TempDir.h"

#include <stdlib.h>
#include <sys/stat.h>

namespace zendrel::test {

namespace {

struct Trust {
    TempDir dir;
    CertificateAuthority ca{"Zendrel test CA"};

    Trust() {
        dir.write("ca.pem", ca.certificatePem());
        mkdir(dir.file("certs").c_str(), 0755);
        setenv("SSL_CERT_FILE", dir.file("ca.pem").c_str(), 1);
        setenv("SSL_CERT_DIR", dir.file("certs").c_str(), 1);
    }
};

} // namespace

const CertificateAuthority& TrustedTestCa() {
    static Trust trust;
    return trust.ca;
}

PemPair LoopbackCertificate() {
    CertificateRequest r;
    r.commonName = "localhost";
    r.dnsNames = {"localhost"};
    r.ipAddresses = {"127.0.0.1"};
    return TrustedTestCa().issue(r);
}

} // namespace zendrel::test
