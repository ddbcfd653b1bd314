#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zendrel {

// One entry of the keyword list: its text (bytes as stored in the file) and its check mark.
struct KeywordEntry {
    std::string text;
    bool checked = true;

    bool operator==(const KeywordEntry&) const = default;
};

// One data row of the additional-word grid, cells as the grid holds them: the "First" and "Last"
// flags ("1" for on, anything else off) and the word.
struct AdditionalRow {
    std::string first;
    std::string last;
    std::string word;

    bool operator==(const AdditionalRow&) const = default;
};

// How a word-list load went. `Unreadable` means a file is there but could not be read: the caller
// must not write an empty list over it.
enum class WordListLoad { Loaded, NoFile, Unreadable };

// The entries of a keyword file's bytes: one per line that is not empty, ";-" after the word
// marking it unchecked.
std::vector<KeywordEntry> ParseKeywords(std::string_view bytes);

// Reads the keyword file at `path` into `out` (emptied first); an empty path means no file.
WordListLoad LoadKeywords(const std::string& path, std::vector<KeywordEntry>& out);

// Writes `entries` to `path`, replacing the file atomically; an empty path writes nothing.
// Throws FileWriteError when the file cannot be written.
void SaveKeywords(const std::string& path, const std::vector<KeywordEntry>& entries);

// Reads the additional-word file at `path` into `out`: one row per line, at least one row.
WordListLoad LoadAdditionalWords(const std::string& path, std::vector<AdditionalRow>& out);

// Writes `rows` to `path` like SaveKeywords.
void SaveAdditionalWords(const std::string& path, const std::vector<AdditionalRow>& rows);

} // namespace zendrel
