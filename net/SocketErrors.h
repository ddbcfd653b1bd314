#pragma once

#include <string>

namespace zendrel {

// Error numbers reported to socket and HTTP handlers keep the numbering of the original socket
// interface, so that stored texts and handlers that compare numbers see the values they expect.
inline constexpr int WSAEINTR = 10004;
inline constexpr int WSAEBADF = 10009;
inline constexpr int WSAEINVAL = 10022;
inline constexpr int WSAEWOULDBLOCK = 10035;
inline constexpr int WSAENOTSOCK = 10038;
inline constexpr int WSAECONNABORTED = 10053;
inline constexpr int WSAECONNRESET = 10054;
inline constexpr int WSAENOBUFS = 10055;
inline constexpr int WSAENOTCONN = 10057;
inline constexpr int WSAETIMEDOUT = 10060;
inline constexpr int WSAECONNREFUSED = 10061;
inline constexpr int WSANOTINITIALISED = 10093;
inline constexpr int WSAHOST_NOT_FOUND = 11001;
inline constexpr int WSATRY_AGAIN = 11002;
inline constexpr int WSANO_RECOVERY = 11003;
inline constexpr int WSANO_DATA = 11004;

// The text shown for a socket error number; "Not a WinSock error" for unknown numbers.
std::string WSocketErrorDesc(int error);

// Maps an errno value to the socket error number reported for it.
int WinsockErrorFromErrno(int err);

} // namespace zendrel
