#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace zendrel::test {

// A TCP server on 127.0.0.1 that plays a script per connection: read the request (and its body
// when it announces one), send exact
// bytes, pause, close, reset, or hold the connection open without answering. It runs on its own
// threads with blocking sockets, so the code under test sees a real peer. Every wait is bounded
// and the server accepts at most `maxConnections` connections.
class ScriptedServer {
public:
    struct Step {
        enum Kind { ReadRequest, ReadLine, Echo, Send, Stream, Pause, Close, Reset, Hold } kind;
        std::string bytes;
        int ms = 0;
    };
    using Script = std::vector<Step>;

    static Step readRequest() { return {Step::ReadRequest, {}, 0}; }
    // Reads one line up to its line feed, as a port-43 query arrives.
    static Step readLine() { return {Step::ReadLine, {}, 0}; }
    // Reads a request (up to its blank line) and sends those same bytes back.
    static Step echo() { return {Step::Echo, {}, 0}; }
    static Step send(std::string bytes) { return {Step::Send, std::move(bytes), 0}; }
    // Sends `bytes` again and again for `ms`, or until the peer closes or stops reading.
    static Step stream(std::string bytes, int ms) { return {Step::Stream, std::move(bytes), ms}; }
    static Step pause(int ms) { return {Step::Pause, {}, ms}; }
    static Step close() { return {Step::Close, {}, 0}; }
    static Step reset() { return {Step::Reset, {}, 0}; }
    static Step hold() { return {Step::Hold, {}, 0}; }
    // Reads the request, answers with `bytes` and closes.
    static Script reply(std::string bytes) { return {readRequest(), send(std::move(bytes))}; }

    // Plays scriptFor(n) on the n-th connection (counted from 0).
    ScriptedServer(std::function<Script(int)> scriptFor, int maxConnections = 1);
    // Plays the same script on every connection.
    ScriptedServer(Script script, int maxConnections = 1);
    ~ScriptedServer();
    ScriptedServer(const ScriptedServer&) = delete;
    ScriptedServer& operator=(const ScriptedServer&) = delete;

    int port() const { return port_; }
    std::string url(const std::string& path = "/") const;
    int connections() const { return accepted_.load(); }
    // The request bytes read on each connection so far, in accepting order.
    std::vector<std::string> requests() const;
    // Stops accepting, releases held connections and waits for every thread.
    void stop();

private:
    void acceptLoop();
    void play(int fd, int index);
    bool readRequest(int fd, int index, bool lineOnly);
    void sleepUnlessStopped(int ms);
    void streamFor(int fd, const std::string& bytes, int ms);
    static void sendAll(int fd, const std::string& bytes);

    std::function<Script(int)> scriptFor_;
    int maxConnections_;
    int listenFd_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::atomic<int> accepted_{0};
    mutable std::mutex mutex_;
    std::vector<std::string> requests_;
    std::vector<std::thread> workers_;
    std::thread acceptor_;
};

} // namespace zendrel::test
