#pragma once

#include <string>

namespace zendrel::gateway {

// Writes a fresh demo CA certificate (ca.pem) and a server certificate for 127.0.0.1 and
// localhost signed by it (cert.pem, with its key in key.pem, readable by the owner only) into
// `dir`, making the folder when it is missing. Throws std::runtime_error with the reason.
void WriteDemoCertificates(const std::string& dir);

} // namespace zendrel::gateway
