// zendrel-search [OPTION]... [FOLDER]: the search of a workspace folder without the window, for
// scripts and terminals. See app/cli/SearchCommand.h and zendrel-search(1).
#include "app/cli/SearchCommand.h"

int main(int argc, char** argv) {
    return zendrel::RunSearchCommand(std::vector<std::string>(argv + 1, argv + argc));
}
