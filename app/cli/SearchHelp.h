#pragma once

#include <string>

namespace zendrel {

// The text of --help: every option with its range (taken from the table of run options), the
// output formats and the exit statuses. The manual page zendrel-search.1 says the same.
std::string SearchHelpText();

// The text of --version, with its line end.
std::string SearchVersionText();

} // namespace zendrel
