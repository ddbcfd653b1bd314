// Turns OpenSSL's failure codes into the short reasons a user can act on. Only the first error
// of the queue counts: later ones are consequences of it ("handshake failure" after "certificate
// verify failed"). Certificate problems are named by what is wrong with the certificate, alerts
// by the server's own words, and a peer that answers with something other than TLS is called
// what it is.
#include "net/TlsFailure.h"

#include <cerrno>
#include <cstring>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509_vfy.h>

namespace zendrel {

namespace {

const char* kOldVersion = "server offers no TLS version from 1.2 on";

// The first error of the queue, which is emptied.
unsigned long TakeFirstError() {
    unsigned long first = ERR_get_error();
    ERR_clear_error();
    return first;
}

std::string ReasonText(unsigned long code) {
    const char* text = ERR_reason_error_string(code);
    return text != nullptr ? text : "error " + std::to_string(ERR_GET_REASON(code));
}

// Reasons worth their own words in both phases; empty for the rest.
std::string CommonReason(unsigned long code) {
    if (code == 0 || ERR_GET_LIB(code) != ERR_LIB_SSL)
        return {};
    int reason = ERR_GET_REASON(code);
    if (reason == SSL_R_TLSV1_ALERT_PROTOCOL_VERSION || reason == SSL_R_UNSUPPORTED_PROTOCOL ||
        reason == SSL_R_VERSION_TOO_LOW || reason == SSL_R_NO_PROTOCOLS_AVAILABLE)
        return kOldVersion;
    if (reason >= SSL_AD_REASON_OFFSET && reason < SSL_AD_REASON_OFFSET + 256)
        return std::string("TLS alert from server: ") +
               SSL_alert_desc_string_long(reason - SSL_AD_REASON_OFFSET);
    return {};
}

std::string SystemReason(int sysError, const char* phase) {
    if (sysError == 0)
        return std::string("connection closed ") + phase;
    if (sysError == ECONNRESET || sysError == EPIPE)
        return std::string("connection reset ") + phase;
    return std::string(std::strerror(sysError)) + " " + phase;
}

} // namespace

std::string CertificateFailure(long verifyResult) {
    switch (verifyResult) {
    case X509_V_ERR_HOSTNAME_MISMATCH:
    case X509_V_ERR_IP_ADDRESS_MISMATCH:
        return "certificate not valid for this host name";
    case X509_V_ERR_CERT_HAS_EXPIRED:
        return "certificate has expired";
    case X509_V_ERR_CERT_NOT_YET_VALID:
        return "certificate is not valid yet";
    case X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT:
    case X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN:
        return "certificate not trusted (self-signed)";
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT:
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY:
    case X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE:
        return "certificate not trusted (unknown issuer)";
    case X509_V_ERR_INVALID_PURPOSE:
        return "certificate not meant for a server";
    case X509_V_ERR_CERT_REVOKED:
        return "certificate has been revoked";
    default:
        return std::string("certificate not trusted (") +
               X509_verify_cert_error_string(verifyResult) + ")";
    }
}

std::string TlsHandshakeFailure(const ssl_st* ssl, int sslError, int sysError) {
    unsigned long code = TakeFirstError();
    if (sslError == SSL_ERROR_ZERO_RETURN)
        return "connection closed during TLS handshake";
    if (sslError == SSL_ERROR_SYSCALL && code == 0)
        return SystemReason(sysError, "during TLS handshake");
    if (ERR_GET_LIB(code) == ERR_LIB_SSL) {
        int reason = ERR_GET_REASON(code);
        if (reason == SSL_R_CERTIFICATE_VERIFY_FAILED)
            return CertificateFailure(SSL_get_verify_result(ssl));
        // The first bytes back were no TLS record at all (HTTP, SSH, a banner).
        if (reason == SSL_R_WRONG_VERSION_NUMBER || reason == SSL_R_UNKNOWN_PROTOCOL)
            return "not a TLS server";
    }
    std::string common = CommonReason(code);
    if (!common.empty())
        return common;
    return "TLS handshake failed: " + (code != 0 ? ReasonText(code) : std::string("no reason"));
}

std::string TlsConnectionFailure(int sslError, int sysError) {
    unsigned long code = TakeFirstError();
    if (sslError == SSL_ERROR_SYSCALL && code == 0)
        return SystemReason(sysError, "during TLS");
    std::string common = CommonReason(code);
    if (!common.empty())
        return common;
    return "TLS error: " + (code != 0 ? ReasonText(code) : std::string("no reason"));
}

} // namespace zendrel
