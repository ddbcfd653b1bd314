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

// Words in the sample workspace are cloud, shop, green, data, pixel with the additional words
// my, get (before) and hub, online (after); the list makes a sample search show every state.
constexpr std::string_view kBuiltInNames = R"(
cloud.com
cloud.net
cloud.org
cloud.io
shop.com
shop.net
shop.info
data.com
data.net
data.io
green.com
pixel.com
pixel.io
mycloud.com
myshop.com
getdata.com
cloudhub.com
shoponline.com
datahub.io
green.org hold
pixel.net hold
myshop.net hold
greenhub.com hold
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
