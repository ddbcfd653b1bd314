#pragma once

// What the benchmarks measure of processes: memory as the kernel counts it, CPU time, and the
// wall time of a helper program run with its output dropped (only figures go to stdout).
#include <chrono>
#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace zendrel::bench {

// The value in kB of `key` ("VmRSS:", "VmHWM:" …) in a /proc status file; 0 when it is missing.
inline long StatusKb(const std::string& statusFile, const std::string& key) {
    std::ifstream in(statusFile);
    std::string word;
    long value = 0;
    while (in >> word) {
        if (word == key && in >> value)
            return value;
        in.ignore(1 << 20, '\n');
    }
    return 0;
}

// Resident memory of this process.
inline long RssKb() {
    return StatusKb("/proc/self/status", "VmRSS:");
}

// User and system time of this process so far.
inline double CpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Starts `argv` (a full path first) with standard output and error going to /dev/null; -1 when
// it cannot be started.
inline pid_t SpawnQuietly(const std::vector<std::string>& argv) {
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, args[0], &quiet, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&quiet);
    return rc == 0 ? pid : -1;
}

// Runs `argv` to its end and returns its wall time in ms; `succeeded` tells whether it exited 0.
inline double RunQuietlyMs(const std::vector<std::string>& argv, bool& succeeded) {
    const auto t0 = std::chrono::steady_clock::now();
    const pid_t pid = SpawnQuietly(argv);
    int status = -1;
    if (pid > 0)
        waitpid(pid, &status, 0);
    succeeded = pid > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

} // namespace zendrel::bench
