#pragma once

#include <string>

struct ssl_st;

namespace zendrel {

// Why a handshake failed, in a few words for users and logs, from the session's verification
// result, the SSL_get_error() value and errno; empties OpenSSL's error queue.
std::string TlsHandshakeFailure(const ssl_st* ssl, int sslError, int sysError);

// Why an established connection failed (an alert, a bad record); empties the error queue.
std::string TlsConnectionFailure(int sslError, int sysError);

// The text for a certificate verification result (an X509_V_ERR_ value).
std::string CertificateFailure(long verifyResult);

} // namespace zendrel
