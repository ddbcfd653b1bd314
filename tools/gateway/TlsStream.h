#pragma once

#include "tools/gateway/ClientStream.h"

#include <memory>

typedef struct ssl_st SSL;

namespace zendrel::gateway {

// A client stream that speaks TLS as the server over `fd`; owns both `fd` and `ssl`.
std::unique_ptr<ClientStream> MakeTlsStream(int fd, SSL* ssl);

} // namespace zendrel::gateway
