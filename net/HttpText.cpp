#include "net/HttpText.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace zendrel {

namespace {

// Where the authority starts, or npos when the whole URL is a path (already stored).
std::size_t AuthorityStart(const std::string& url, std::string& proto, std::string& path) {
    std::size_t sep = url.find("://");
    if (sep != std::string::npos) {
        proto = url.substr(0, sep);
        return sep + 3;
    }
    if (url[0] == '/') {
        proto = "http";
        if (url.size() > 1 && url[1] != '/') {
            path = url;
            return std::string::npos;
        }
        return 1;
    }
    if (LowerCase(url.substr(0, 5)) == "http:") {
        proto = "http";
        if (url.size() > 6 && url[6] != '/') {
            path = url.substr(5);
            return std::string::npos;
        }
        return 6;
    }
    if (LowerCase(url.substr(0, 7)) == "mailto:") {
        proto = "mailto";
        return url.find(':') + 1;
    }
    return 0;
}

void SplitCredentials(const std::string& creds, std::string& user, std::string& pass) {
    std::size_t colon = creds.find(':');
    if (colon == std::string::npos) {
        user = creds;
        return;
    }
    user = creds.substr(0, colon);
    pass = creds.substr(colon + 1);
}

// Days since 1970-01-01 to a civil date (proleptic Gregorian).
void CivilFromDays(std::int64_t z, int& y, int& m, int& d) {
    z += 719468;
    std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    auto doe = static_cast<unsigned>(z - era * 146097);
    unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    std::int64_t year = static_cast<std::int64_t>(yoe) + era * 400;
    unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(year + (m <= 2));
}

} // namespace

std::string UrlScheme(const std::string& url) {
    auto alpha = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    auto digit = [](char c) { return c >= '0' && c <= '9'; };
    const std::size_t colon = url.find(':');
    if (colon == std::string::npos || colon == 0 || !alpha(url[0]))
        return {};
    for (std::size_t i = 1; i < colon; ++i) {
        const char c = url[i];
        if (!alpha(c) && !digit(c) && c != '+' && c != '-' && c != '.')
            return {};
    }
    const std::string_view after = std::string_view(url).substr(colon + 1);
    if (!after.starts_with("//")) {
        const std::string_view port = after.substr(0, after.find('/'));
        if (!port.empty() && std::all_of(port.begin(), port.end(), digit))
            return {}; // a host and its port
    }
    return LowerCase(url.substr(0, colon));
}

void SplitUrl(const std::string& url, std::string& proto, std::string& user, std::string& pass,
              std::string& host, std::string& port, std::string& path) {
    proto.clear();
    user.clear();
    pass.clear();
    host.clear();
    port.clear();
    path.clear();
    if (url.empty())
        return;
    std::size_t start = AuthorityStart(url, proto, path);
    if (start == std::string::npos)
        return;
    std::string rest = start < url.size() ? url.substr(start) : std::string();
    std::size_t slash = rest.find('/');
    if (slash != std::string::npos)
        path = rest.substr(slash);
    std::string auth = rest.substr(0, slash);
    std::size_t c = LastPos(":", auth);
    std::size_t a = LastPos("@", auth);
    if (c == 0 && a == 0) {
        host = auth;
    } else if (c > a) {
        port = auth.substr(c);
        host = auth.substr(a, c - 1 - a);
        if (a > 0)
            SplitCredentials(auth.substr(0, a - 1), user, pass);
    } else {
        host = auth.substr(a);
        SplitCredentials(auth.substr(0, a - 1), user, pass);
    }
}

std::string FormatHttpDate(double t) {
    static const char kDays[] = "MonTueWedThuFriSatSun";
    static const char kMonths[] = "JanFebMarAprMayJunJulAugSepOctNovDec";
    if (!std::isfinite(t) || std::fabs(t) > 3.0e6)
        t = 0; // far outside any calendar a header could carry
    auto ms = static_cast<std::int64_t>(std::llround(t * 86400000.0));
    std::int64_t days = ms / 86400000 - (ms % 86400000 < 0 ? 1 : 0);
    std::int64_t msOfDay = ms - days * 86400000;
    int y = 0, m = 0, d = 0;
    CivilFromDays(days - 25569, y, m, d);
    // A non-negative remainder, so that days before 1900 still pick a valid name.
    auto wd = static_cast<int>((((days - 2) % 7) + 7) % 7);
    auto secs = static_cast<int>(msOfDay / 1000);
    char out[64];
    std::snprintf(out, sizeof out, "%.3s, %2.2d %.3s %4.4d %2.2d:%2.2d:%2.2d", kDays + wd * 3, d,
                  kMonths + (m - 1) * 3, y, secs / 3600, secs / 60 % 60, secs % 60);
    return out;
}

std::string EncodeBase64(const std::string& bytes) {
    static const char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        std::uint32_t v = (static_cast<unsigned char>(bytes[i]) << 16) |
                          (static_cast<unsigned char>(bytes[i + 1]) << 8) |
                          static_cast<unsigned char>(bytes[i + 2]);
        for (int shift = 18; shift >= 0; shift -= 6)
            out += kAlphabet[(v >> shift) & 63];
    }
    std::size_t left = bytes.size() - i;
    if (left > 0) {
        std::uint32_t v = static_cast<unsigned char>(bytes[i]) << 16;
        if (left == 2)
            v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        out += kAlphabet[(v >> 18) & 63];
        out += kAlphabet[(v >> 12) & 63];
        out += left == 2 ? kAlphabet[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

std::string ReplaceExt(const std::string& name, const std::string& ext) {
    std::size_t dot = LastPos(".", name);
    if (dot == 0)
        return name + "." + ext;
    return name.substr(0, dot) + ext;
}

std::size_t LastPos(const std::string& sub, const std::string& s) {
    if (sub.empty() || sub.size() > s.size())
        return 0;
    std::size_t p = s.rfind(sub);
    return p == std::string::npos ? 0 : p + 1;
}

} // namespace zendrel
