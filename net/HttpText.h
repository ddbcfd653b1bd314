#pragma once

#include "platform/AsciiText.h" // the letter case of URL parts and header fields

#include <string>

namespace zendrel {

// Splits a URL into its parts the way the HTTP client has always read addresses from the zone
// file: lenient, never failing, every part empty when absent.
void SplitUrl(const std::string& url, std::string& proto, std::string& user, std::string& pass,
              std::string& host, std::string& port, std::string& path);

// The scheme an address names, lower-cased ("http", "ftp", "mailto" ...), or empty for a
// reference without one: a path, a bare name, or a host with a port ("gw.example:8080/x").
std::string UrlScheme(const std::string& url);

// The date part of an If-Modified-Since line for a day count since 1899-12-30 (no zone applied),
// for example "Mon, 01 Jan 1900 00:00:00".
std::string FormatHttpDate(double t);

// Standard Base64 with "=" padding and no line breaks.
std::string EncodeBase64(const std::string& bytes);

// `name` with its extension replaced by `ext` (given without the dot), or `ext` appended.
std::string ReplaceExt(const std::string& name, const std::string& ext);

// The 1-based position of the last occurrence of `sub` in `s`, 0 when there is none.
std::size_t LastPos(const std::string& sub, const std::string& s);

} // namespace zendrel
