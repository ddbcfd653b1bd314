// The demo's TLS certificates are made fresh by whoever starts the gateway (scripts/run, a test),
// so that no private key is kept in the repository and nothing made here outlives its run.
#include "tools/gateway/DemoCertificates.h"

#include "tools/certs/Certificates.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace zendrel::gateway {

namespace {

[[noreturn]] void failWith(const std::string& what) {
    throw std::runtime_error(what + ": " + std::strerror(errno));
}

// Writes `bytes` to `path` with exactly `mode`, whatever a file there had before; a link in its
// place is refused rather than followed.
void writeFile(const std::string& path, const std::string& bytes, mode_t mode) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, mode);
    if (fd < 0)
        failWith("cannot write " + path);
    bool ok = ::fchmod(fd, mode) == 0;
    for (std::size_t done = 0; ok && done < bytes.size();) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        ok = n > 0;
        done += ok ? static_cast<std::size_t>(n) : 0;
    }
    int error = errno;
    if (::close(fd) != 0 || !ok) {
        errno = ok ? errno : error;
        failWith("cannot write " + path);
    }
}

} // namespace

void WriteDemoCertificates(const std::string& dir) {
    if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST)
        failWith("cannot make " + dir);
    std::string folder = dir.ends_with('/') ? dir : dir + "/";
    CertificateAuthority ca("Zendrel demo CA (made by zendrel-gateway)");
    CertificateRequest request;
    request.commonName = "localhost";
    request.dnsNames = {"localhost"};
    request.ipAddresses = {"127.0.0.1"};
    PemPair server = ca.issue(request);
    // The key first: a folder left with a certificate and no key is plainly unfinished.
    writeFile(folder + "key.pem", server.key, 0600);
    writeFile(folder + "cert.pem", server.certificate, 0644);
    writeFile(folder + "ca.pem", ca.certificatePem(), 0644);
}

} // namespace zendrel::gateway
