// zendrel-search [FOLDER]: runs Search on a workspace folder exactly as the window would with its
// stored options, and writes the results to standard output as "Save Results" writes them with
// the stored filter. Progress goes to standard error. Nothing is written to the workspace.
#include "app/ConsoleWindow.h"
#include "engine/ResultExport.h"
#include "engine/SearchSession.h"
#include "engine/Workspace.h"
#include "platform/Files.h"
#include "platform/MessageLoop.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <signal.h>
#include <string>
#include <sys/signalfd.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace zendrel;

namespace {

constexpr unsigned WM_SIGNAL = WM_USER + 1;
constexpr unsigned kProgressTimer = 1;

// Ctrl-C and termination arrive through the loop like any other event, and act as Stop.
class Console : public MessageTarget {
public:
    Console(MessageLoop& loop, SearchSession& session)
        : MessageTarget(loop), session_(session), start_(loop.now()) {}
    bool interrupted = false;

protected:
    void handleMessage(const Message& m) override {
        if (m.msg == WM_SIGNAL)
            onSignal(static_cast<int>(m.wParam));
        else if (m.msg == WM_TIMER && m.wParam == kProgressTimer)
            progress();
    }

private:
    void onSignal(int fd) {
        signalfd_siginfo info;
        while (::read(fd, &info, sizeof info) == sizeof info)
            interrupted = true;
        if (interrupted)
            session_.stop();
    }
    void progress() {
        const RunVariables& v = session_.variables();
        const long done = std::max<long>(0, v.lastDispatched + 1 - v.activeLookups);
        std::fprintf(stderr, "zendrel-search: %ld / %zu rows, %d live, %llds\n", done,
                     session_.rows().size(), v.activeLookups,
                     static_cast<long long>((loop().now() - start_) / 1000));
    }

    SearchSession& session_;
    Millis start_;
};

bool IsFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

int SignalFd() {
    sigset_t mask;
    sigemptyset(&mask);
    sigaddset(&mask, SIGINT);
    sigaddset(&mask, SIGTERM);
    sigprocmask(SIG_BLOCK, &mask, nullptr);
    return signalfd(-1, &mask, SFD_NONBLOCK | SFD_CLOEXEC);
}

// Exit status when the reader of standard output went away before the results were all written,
// as the shell reports a program ended by a broken pipe.
constexpr int kBrokenPipeStatus = 128 + SIGPIPE;
constexpr int kWriteFailedStatus = 1;

bool StandardOutputIsOpen() {
    return ::fcntl(STDOUT_FILENO, F_GETFD) != -1 || errno != EBADF;
}

// Writes `text` whole to standard output; returns 0 or the errno of the failed write.
int WriteAll(const std::string& text) {
    std::size_t off = 0;
    while (off < text.size()) {
        const ssize_t n = ::write(STDOUT_FILENO, text.data() + off, text.size() - off);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : EIO;
        off += static_cast<std::size_t>(n);
    }
    return 0;
}

// The exit status for results whose write failed with `error`. A reader that closed the pipe on
// purpose (as `head` does) needs no message, but the status must not claim the results arrived.
int WriteFailure(int error) {
    if (error == EPIPE)
        return kBrokenPipeStatus;
    std::fprintf(stderr, "zendrel-search: the results could not be written: %s\n",
                 std::strerror(error));
    return kWriteFailedStatus;
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 2 ||
        (argc == 2 && (std::string(argv[1]) == "-h" || std::string(argv[1]) == "--help"))) {
        std::fprintf(stderr, "usage: zendrel-search [FOLDER]\n");
        return 2;
    }
    const std::string folder = argc == 2 ? argv[1] : ProgramFolder();
    if (!IsFolder(folder)) {
        std::fprintf(stderr, "zendrel-search: the workspace folder '%s' does not exist\n",
                     folder.c_str());
        return 2;
    }
    if (!StandardOutputIsOpen()) {
        // Nothing could receive the results: a run would be lost work.
        std::fprintf(stderr, "zendrel-search: the results could not be written: standard output "
                             "is closed\n");
        return kWriteFailedStatus;
    }
    ::signal(SIGPIPE, SIG_IGN);
    const Workspace ws = LoadWorkspace(folder);
    for (const std::string& key : ws.settings.skippedKeys)
        std::fprintf(stderr,
                     "zendrel-search: the value of %s in param.txt cannot be used; its "
                     "default applies\n",
                     key.c_str());

    MessageLoop loop;
    loop.setFailureHook([](const std::string& what) {
        std::fprintf(stderr, "zendrel-search: %s\n", what.c_str());
    });
    ConsoleWindow window;
    StoredRunSettings options(ws.settings);
    SearchSession session(loop, window, options);
    session.setZoneTable(ws.zones);
    session.setMethodTable(ws.methods);
    session.addListener(window);

    Console console(loop, session);
    const int sigfd = SignalFd();
    if (sigfd >= 0)
        loop.watchFd(sigfd, kFdReadable, console, WM_SIGNAL);
    console.setTimer(kProgressTimer, 1000);

    session.search(MakeSearchInput(ws));
    if (window.refused)
        return 2;
    auto over = [&] { return window.ended || !session.busy(); };
    while (!over())
        loop.runUntil(over, 60 * 60 * 1000);

    const int written = WriteAll(FormatResults(session.rows(), MakeExportFilter(ws.settings)));
    if (sigfd >= 0) {
        loop.unwatchFd(sigfd);
        ::close(sigfd);
    }
    if (written != 0)
        return WriteFailure(written);
    return console.interrupted ? 130 : 0;
}
