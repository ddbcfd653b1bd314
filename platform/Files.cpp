#include "platform/Files.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zendrel {

namespace {

bool fitsAsRegular(const struct stat& st, std::size_t maxBytes) {
    return S_ISREG(st.st_mode) && st.st_size >= 0 &&
           static_cast<std::uintmax_t>(st.st_size) <= maxBytes;
}

// Reads to the end, giving up once more than `maxBytes` arrive (the file grows while we read).
bool readAtMost(int fd, std::size_t maxBytes, std::string& out) {
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        if (static_cast<std::size_t>(n) > maxBytes - out.size())
            return false;
        out.append(buffer, static_cast<std::size_t>(n));
    }
}

} // namespace

BoundedRead ReadRegularFile(const std::string& path, std::size_t maxBytes, std::string& out) {
    out.clear();
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0)
        return BoundedRead::Missing;
    if (!fitsAsRegular(st, maxBytes))
        return BoundedRead::Refused;
    // Non-blocking, in case the path became a pipe since the look above; checked again on the
    // descriptor for the same reason.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return BoundedRead::Refused;
    bool ok = ::fstat(fd, &st) == 0 && fitsAsRegular(st, maxBytes);
    if (ok) {
        out.reserve(static_cast<std::size_t>(st.st_size));
        ok = readAtMost(fd, maxBytes, out);
    }
    ::close(fd);
    if (ok)
        return BoundedRead::Read;
    out.clear();
    return BoundedRead::Refused;
}

bool ReadFileBytes(const std::string& path, std::string& out) {
    return ReadRegularFile(path, SIZE_MAX, out) == BoundedRead::Read;
}

namespace {

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// The temporary name of a save of `path` ends in this many characters chosen by mkstemp.
constexpr std::size_t kTemporarySuffix = 6;

// Deletes what saves of `path` that were killed before their rename left beside it: files named
// like the temporary file of a save of exactly this file. Nothing else in the folder is touched.
void removeLeftoverTemporaries(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const std::string prefix =
        (slash == std::string::npos ? path : path.substr(slash + 1)) + ".tmp-";
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name(entry->d_name);
        if (name.size() != prefix.size() + kTemporarySuffix ||
            name.substr(0, prefix.size()) != prefix)
            continue;
        const std::string leftover = (slash == std::string::npos ? "" : folder) + std::string(name);
        struct stat st {};
        if (::lstat(leftover.c_str(), &st) == 0 && S_ISREG(st.st_mode))
            ::unlink(leftover.c_str());
    }
    ::closedir(dir);
}

[[noreturn]] void fail(const std::string& path, const std::string& errorText, int err) {
    if (!errorText.empty())
        throw FileWriteError(errorText);
    throw FileWriteError("Cannot write " + path + ": " + std::strerror(err));
}

} // namespace

void WriteFileAtomically(const std::string& path, std::string_view bytes,
                         const std::string& errorText) {
    std::string tmp = path + ".tmp-XXXXXX";
    int fd = ::mkstemp(tmp.data());
    if (fd < 0)
        fail(path, errorText, errno);
    // Keep the permissions a replaced file had; a new file gets the usual 0666 & ~umask.
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        ::fchmod(fd, st.st_mode & 07777);
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
    }
    if (!writeAll(fd, bytes) || ::fsync(fd) != 0) {
        int err = errno;
        ::close(fd);
        ::unlink(tmp.c_str());
        fail(path, errorText, err);
    }
    if (::close(fd) != 0 || ::rename(tmp.c_str(), path.c_str()) != 0) {
        int err = errno;
        ::unlink(tmp.c_str());
        fail(path, errorText, err);
    }
    removeLeftoverTemporaries(path);
}

std::vector<std::string> SplitLines(std::string_view bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        char c = bytes[i];
        if (c != '\r' && c != '\n')
            continue;
        lines.emplace_back(bytes.substr(start, i - start));
        if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < bytes.size())
        lines.emplace_back(bytes.substr(start));
    return lines;
}

std::string ProgramFolder() {
    char buf[4096];
    ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0)
        return "./";
    std::string path(buf, static_cast<std::size_t>(n));
    return path.substr(0, path.rfind('/') + 1);
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

bool IsFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace zendrel
