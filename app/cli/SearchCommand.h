#pragma once

#include <string>
#include <vector>

namespace zendrel {

// zendrel-search with the arguments after the program's name: reads the command line and the
// workspace, then checks it (--check), or runs the search with the results on standard output.
// Returns the exit status.
int RunSearchCommand(const std::vector<std::string>& args);

} // namespace zendrel
