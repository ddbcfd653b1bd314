#pragma once

#include "net/WSocket.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zendrel::test {

// Drives one socket through connect, StartTls and a request, and records every event as a
// short text in order, with the plaintext read, the TLS reason seen at each end and the byte
// count the socket reported at its close.
struct TlsProbe {
    std::string serverName; // StartTls with this name once connected
    std::string request;    // sent when TLS is up, or at once after StartTls when `sendEarly`
    bool sendEarly = false;
    int chunk = 4096; // bytes asked for per Receive
    std::vector<std::string> events;
    std::string data;
    std::string failureAtDone, failureAtClose;
    std::int64_t readCountAtClose = -1;
    bool inCall = false;

    void attach(TWSocket& s) {
        s.OnSessionConnected = [this](TWSocket* sock, std::uint16_t e) {
            add("connected", e);
            if (e != 0 || serverName.empty())
                return;
            sock->StartTls(serverName);
            if (sendEarly)
                sock->SendStr(request);
        };
        s.OnTlsDone = [this](TWSocket* sock, std::uint16_t e) {
            add("tls", e);
            failureAtDone = sock->TlsFailure();
            if (e == 0 && !sendEarly && !request.empty())
                sock->SendStr(request);
        };
        s.OnDataSent = [this](TWSocket*, std::uint16_t e) { add("sent", e); };
        s.OnSessionClosed = [this](TWSocket* sock, std::uint16_t e) {
            add("closed", e);
            failureAtClose = sock->TlsFailure();
            readCountAtClose = sock->ReadCount();
        };
        s.OnDataAvailable = [this](TWSocket* sock, std::uint16_t) {
            std::string buf(static_cast<std::size_t>(chunk), '\0');
            int n = sock->Receive(buf.data(), chunk);
            if (n > 0)
                data.append(buf.data(), static_cast<std::size_t>(n));
        };
    }
    void add(const std::string& what, std::uint16_t e) {
        events.push_back(what + " " + std::to_string(e) + (inCall ? " (in call)" : ""));
    }
    bool closed() const {
        for (const std::string& e : events)
            if (e.rfind("closed", 0) == 0)
                return true;
        return false;
    }
};

} // namespace zendrel::test
