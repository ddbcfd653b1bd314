// zendrel-registry-tables SOURCES OUT [--check]: builds the internet workspace's "domain.txt"
// and "method.txt" in OUT from the registry sources in SOURCES. With --check nothing is written;
// the exit status says whether OUT holds exactly what the sources give (0) or not (1).
#include "platform/Files.h"
#include "tools/tables/RegistryTables.h"

#include <cstdio>
#include <string>

using namespace zendrel;

namespace {

std::string Folder(std::string path) {
    return path.ends_with('/') ? path : path + "/";
}

int Usage() {
    std::fprintf(stderr,
                 "usage: zendrel-registry-tables SOURCE_FOLDER WORKSPACE_FOLDER [--check]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4 || (argc == 4 && std::string(argv[3]) != "--check"))
        return Usage();
    const std::string sources = Folder(argv[1]);
    const std::string out = Folder(argv[2]);
    const bool check = argc == 4;

    tables::TablesInput input;
    std::string error;
    if (!tables::ReadTablesInput(sources, input, error)) {
        std::fprintf(stderr, "zendrel-registry-tables: %s\n", error.c_str());
        return 2;
    }
    tables::GeneratedTables generated = tables::GenerateRegistryTables(input);
    for (const std::string& e : generated.errors)
        std::fprintf(stderr, "zendrel-registry-tables: %s\n", e.c_str());
    if (!generated.errors.empty())
        return 2;

    int stale = 0;
    for (const auto& [name, text] : {std::pair{"domain.txt", &generated.domainTxt},
                                     std::pair{"method.txt", &generated.methodTxt}}) {
        std::string current;
        const bool same = ReadFileBytes(out + name, current) && current == *text;
        if (check && !same) {
            std::fprintf(stderr,
                         "zendrel-registry-tables: %s%s differs from what the sources give\n",
                         out.c_str(), name);
            stale = 1;
        } else if (!check && !same) {
            try {
                WriteFileAtomically(out + name, *text);
            } catch (const std::exception& e) {
                std::fprintf(stderr, "zendrel-registry-tables: %s\n", e.what());
                return 2;
            }
            std::printf("wrote %s%s\n", out.c_str(), name);
        }
    }
    return stale;
}
