#include "app/cli/SearchHelp.h"

#include "engine/RunOptions.h"

namespace zendrel {

namespace {

std::string Range(const RunOption& option) {
    return std::to_string(option.minimum) + " to " + std::to_string(option.maximum);
}

} // namespace

std::string SearchHelpText() {
    return "Usage: zendrel-search [OPTION]... [FOLDER]\n"
           "Searches a Zendrel workspace without the window: joins its keywords into names, looks\n"
           "every name up in the checked zones and writes one line per result row to standard\n"
           "output. FOLDER holds the workspace (domain.txt, method.txt, param.txt, word lists);\n"
           "without it, the program's own workspace (installed: the user's). What no option\n"
           "gives comes from the workspace as stored. Its files are never written.\n"
           "\n"
           "Words and zones:\n"
           "  --words LIST         search these keywords (comma-separated) instead of the list\n"
           "  --words-file FILE    read the keywords from FILE, one per line (- for standard\n"
           "                       input); a line \"word;-\" is an unchecked keyword, left out\n"
           "  --zones LIST         look up exactly these zones of the zone table "
           "(comma-separated)\n"
           "\n"
           "Search options (in place of the stored settings, for this run only):\n"
           "  --combinations N     join up to N keywords into one name (" +
           Range(kCombinationsOption) +
           ")\n"
           "  --hyphens N          hyphens between additional words and keywords: 0 for none,\n"
           "                       or " +
           Range(kHyphensOption) +
           "\n"
           "  --max-length N       names are shorter than N characters (" +
           Range(kMaxLengthOption) +
           ")\n"
           "  --connections N      lookups at once (" +
           Range(kLinksOption) +
           ")\n"
           "  --timeout S          seconds before a lookup is given up (" +
           Range(kTimeOutOption) +
           ")\n"
           "  --dns-first          check DNS first: a name with name servers in DNS is not\n"
           "                       available, and its registry is not asked\n"
           "\n"
           "Output:\n"
           "  --format FORMAT      text (the \"Save Results\" lines; the default), csv, tsv or "
           "json\n"
           "  --only STATES        write only the rows in these states (comma-separated):\n"
           "                       available, hold, not-available, no-data; without it, the\n"
           "                       stored Save Results filter chooses\n"
           "  --verbose            say on standard error why each lookup without an answer failed\n"
           "\n"
           "Other:\n"
           "  --check              check the workspace's files and list every problem found;\n"
           "                       nothing is looked up\n"
           "  -h, --help           show this help and exit\n"
           "  --version            show the version and exit\n"
           "\n"
           "Progress goes to standard error: on a terminal one line redrawn in place, otherwise\n"
           "a line a second. Rows are written as soon as they and the rows before them are done.\n"
           "\n"
           "Exit status: 0 the search is complete (or --check found nothing); 1 a usage error,\n"
           "files that cannot be used, problems found by --check, or results that could not be\n"
           "written; 2 no zone is checked, or the folder does not exist; 130 interrupted (the\n"
           "results so far are written); 141 the reader of standard output went away.\n"
           "\n"
           "See zendrel-search(1) for the output formats and examples.\n";
}

std::string SearchVersionText() {
    return "zendrel-search 2.10\n";
}

} // namespace zendrel
