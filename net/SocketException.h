#pragma once

#include <stdexcept>
#include <string>

namespace zendrel {

// Raised by the socket layer for misuse and, when no OnError handler is assigned, for socket
// failures; it carries only its message text.
class ESocketException : public std::runtime_error {
public:
    explicit ESocketException(const std::string& msg) : std::runtime_error(msg) {}
};

} // namespace zendrel
