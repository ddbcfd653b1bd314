#include "engine/LookupOutcome.h"

#include "net/SocketErrors.h"

namespace zendrel {

const char* LookupFailureText(LookupFailure failure) {
    switch (failure) {
    case LookupFailure::None:
        return "";
    case LookupFailure::TimeLimit:
        return "time limit";
    case LookupFailure::UnusableAddress:
        return "unusable address";
    case LookupFailure::NameNotFound:
        return "host name not found";
    case LookupFailure::ConnectionRefused:
        return "connection refused";
    case LookupFailure::Tls:
        return "TLS failure";
    case LookupFailure::ProxyTunnel:
        return "refused by proxy";
    case LookupFailure::Network:
        return "network error";
    }
    return "";
}

LookupFailure FailureFromNetworkError(int error) {
    switch (error) {
    case 0:
        return LookupFailure::None;
    case WSAECONNREFUSED:
        return LookupFailure::ConnectionRefused;
    case WSAHOST_NOT_FOUND:
    case WSANO_DATA:
        return LookupFailure::NameNotFound;
    default:
        return LookupFailure::Network;
    }
}

} // namespace zendrel
