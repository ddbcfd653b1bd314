#pragma once

#include "tools/certs/Certificates.h"

namespace zendrel::test {

// The certificate authority that TLS clients of this test process trust. The first call makes
// it, writes its certificate to a file and points SSL_CERT_FILE there (SSL_CERT_DIR at an empty
// folder, so nothing else is trusted). The client context reads both once per process, when the
// first TLS connection starts: every TLS test calls this before it connects.
const CertificateAuthority& TrustedTestCa();

// A certificate of the trusted authority for "localhost" and 127.0.0.1, valid now.
PemPair LoopbackCertificate();

} // namespace zendrel::test
