// Reads the gateway's list of taken names. The format is deliberately loose (blanks anywhere,
// comments, any line end) because the list is written by hand for a test or a demo.
#include "tools/gateway/NameRegistry.h"

#include "platform/Files.h"

#include <algorithm>
#include <sstream>

namespace zendrel::gateway {

namespace {

std::string lowered(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
    return out;
}

// The sample workspace searches the words cloud, shop, green, data and pixel (with my and get
// before them, hub and online after them) in com and net on the web page, dev over TLS and de on
// port 43; the list is chosen so that a sample search shows every state, in each address form,
// with free names in the majority as in a real search.
constexpr std::string_view kBuiltInNames = R"(
cloud.com
cloud.org
cloud.io
shop.com
shop.net
shop.info
data.com
data.io
pixel.io
green.org hold
pixel.net hold
mycloud.com
myshop.com
myshop.net hold
getdata.com
cloudhub.com
shoponline.com
greenhub.com hold
datahub.io
shop.dev
pixel.dev hold
cloud.de
data.de hold
)";

} // namespace

void NameRegistry::addBuiltIn() {
    addText(kBuiltInNames);
}

bool NameRegistry::addFile(const std::string& path) {
    std::string bytes;
    if (!ReadFileBytes(path, bytes))
        return false;
    addText(bytes);
    return true;
}

void NameRegistry::addText(std::string_view text) {
    for (const std::string& raw : SplitLines(text)) {
        std::string line = raw.substr(0, raw.find('#'));
        std::istringstream words(line);
        std::string name, flag;
        if (!(words >> name))
            continue;
        words >> flag;
        names_[lowered(name)] = lowered(flag) == "hold" ? NameStatus::Hold : NameStatus::Registered;
    }
}

NameStatus NameRegistry::status(std::string_view name) const {
    auto it = names_.find(lowered(name));
    return it == names_.end() ? NameStatus::Free : it->second;
}

} // namespace zendrel::gateway
