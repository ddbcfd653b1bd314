#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace zendrel {

// A file that could not be written. The text is shown to the user as it stands.
class FileWriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads a whole regular file as bytes. Returns false (and leaves `out` empty) when it cannot be
// read or is no regular file.
bool ReadFileBytes(const std::string& path, std::string& out);

// How reading a file bounded in size went: read whole, not there at all, or there but refused
// (not a regular file, larger than allowed, or unreadable).
enum class BoundedRead { Read, Missing, Refused };

// Reads the regular file at `path` into `out` when it holds at most `maxBytes` bytes; `out` is
// left empty otherwise. Devices and pipes are refused without being opened for long: reading
// one could block or never end.
BoundedRead ReadRegularFile(const std::string& path, std::size_t maxBytes, std::string& out);

// Replaces the file at `path` with `bytes` through a temporary file in the same folder and a
// rename, so a crash or a full disk never leaves a truncated file behind. Temporary files that
// saves of the same file left when they were killed ("<name>.tmp-XXXXXX") are removed once the
// file is replaced. Throws FileWriteError with `errorText` (or a text naming the path and the
// system's reason when empty).
void WriteFileAtomically(const std::string& path, std::string_view bytes,
                         const std::string& errorText = {});

// Splits bytes into lines ending at CR LF, LF or a lone CR; the last line needs no line end.
// No encoding is assumed.
std::vector<std::string> SplitLines(std::string_view bytes);

// Folder of the running executable, with a trailing '/'.
std::string ProgramFolder();

bool FileExists(const std::string& path);

// Whether `path` names a folder (following links).
bool IsFolder(const std::string& path);

} // namespace zendrel
