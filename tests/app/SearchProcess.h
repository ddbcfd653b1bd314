#pragma once

#include "tests/support/TempDir.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zendrel::test {

// Where the program's standard output goes: a file the test reads, a full device, nowhere (the
// descriptor is closed) or a pipe whose reader stops reading after `keepBytes` bytes.
enum class Output { File, Full, Closed, ReaderGone };

// One call of zendrel-search as a script would make it.
struct SearchCall {
    std::vector<std::string> args;
    std::optional<std::string> input; // standard input; none: /dev/null
    Output output = Output::File;
    std::size_t keepBytes = 0;    // ReaderGone: bytes read before the reader closes its end
    int interruptAfterMs = -1;    // SIGINT after this long; -1: never
    bool errorOnTerminal = false; // standard error is a pseudo-terminal of 80 columns
};

struct SearchOutcome {
    int status = -1; // exit status; 128 + signal when a signal ended it
    std::string out; // what reached standard output (File and ReaderGone)
    std::string err; // standard error, as written (terminal control bytes included)
};

// Runs the program built beside the tests; kills it after 60 s. `scratch` holds its files.
SearchOutcome RunSearchProgram(const SearchCall& call, const TempDir& scratch);

// Copies the fixed workspace of tests/data/cli/workspace into `dir`, with @PORT@ replaced by the
// gateway's port and @DEADPORT@ by a loopback port nothing listens on.
void WriteFixedWorkspace(const TempDir& dir, std::uint16_t gatewayPort);

// The bytes of tests/data/cli/<name>.
std::string ReadCliData(const std::string& name);

// Replaces every `from` in `text` by `to`.
std::string ReplaceAll(std::string text, const std::string& from, const std::string& to);

} // namespace zendrel::test
