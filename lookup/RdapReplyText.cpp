// Turns an RDAP reply (HTTP status + JSON body) into lines that the text rules of a method can
// read. RDAP answers the availability question with the status (404: no such name), and bodies
// are optional and differ between registries, so the status always comes first and each fact
// found in the body is one line of its own, whatever member order or layout the server used.
#include "lookup/RdapReplyText.h"

#include <nlohmann/json.hpp>

namespace zendrel {

namespace {

using Json = nlohmann::json;

// True when brackets outside strings never nest deeper than the limit. The parser itself has no
// depth limit, so a hostile body is measured before it is parsed.
bool NestingWithin(std::string_view body, int limit) {
    int depth = 0;
    bool inString = false;
    for (std::size_t i = 0; i < body.size(); ++i) {
        char c = body[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > limit)
                return false;
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return true;
}

// Appends `text` with line breaks and other control bytes made blanks, so that one fact is
// always one line and no value can start a line of its own.
void AddOneLine(std::string& out, std::string_view text) {
    for (char c : text)
        out += (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) ? ' ' : c;
}

void AddLine(std::string& out, std::string_view key, std::string_view value) {
    out += '\n';
    AddOneLine(out, key);
    out += ": ";
    AddOneLine(out, value);
}

// The text of a string or number member; null for anything else.
std::optional<std::string> Scalar(const Json& object, const char* key) {
    if (!object.is_object())
        return std::nullopt;
    auto it = object.find(key);
    if (it == object.end())
        return std::nullopt;
    if (it->is_string())
        return it->get<std::string>();
    if (it->is_number_integer())
        return it->dump();
    return std::nullopt;
}

const Json* Array(const Json& object, const char* key) {
    if (!object.is_object())
        return nullptr;
    auto it = object.find(key);
    return it != object.end() && it->is_array() ? &*it : nullptr;
}

void AddScalar(std::string& out, const Json& object, const char* key, std::string_view line) {
    if (std::optional<std::string> v = Scalar(object, key))
        AddLine(out, line, *v);
}

// "status": ["active", ...]; a lone string is taken too.
void AddStrings(std::string& out, const Json& object, const char* key, std::string_view line) {
    auto it = object.find(key);
    if (it == object.end())
        return;
    if (it->is_string())
        AddLine(out, line, it->get<std::string>());
    if (!it->is_array())
        return;
    for (const Json& v : *it)
        if (v.is_string())
            AddLine(out, line, v.get<std::string>());
}

bool HasRole(const Json& entity, std::string_view role) {
    const Json* roles = Array(entity, "roles");
    if (!roles)
        return false;
    for (const Json& r : *roles)
        if (r.is_string() && r.get<std::string>() == role)
            return true;
    return false;
}

// A text property of a vCard array: ["vcard", [["fn", {}, "text", "Name"], ...]].
std::optional<std::string> VcardText(const Json& entity, std::string_view property) {
    const Json* card = Array(entity, "vcardArray");
    if (!card || card->size() < 2 || !(*card)[1].is_array())
        return std::nullopt;
    for (const Json& prop : (*card)[1]) {
        if (prop.is_array() && prop.size() >= 4 && prop[0].is_string() &&
            prop[0].get<std::string>() == property && prop[3].is_string())
            return prop[3].get<std::string>();
    }
    return std::nullopt;
}

void AddRegistrar(std::string& out, const Json& domain) {
    const Json* entities = Array(domain, "entities");
    if (!entities)
        return;
    for (const Json& entity : *entities) {
        if (!HasRole(entity, "registrar"))
            continue;
        // Registrars name themselves in the vCard's "fn", some only in "org", and some give no
        // vCard name at all; the handle still tells who it is.
        std::optional<std::string> name = VcardText(entity, "fn");
        if (!name)
            name = VcardText(entity, "org");
        if (!name)
            name = Scalar(entity, "handle");
        if (name)
            AddLine(out, "registrar", *name);
        if (const Json* ids = Array(entity, "publicIds")) {
            for (const Json& id : *ids)
                if (Scalar(id, "type") == "IANA Registrar ID")
                    AddScalar(out, id, "identifier", "registrar iana id");
        }
        return;
    }
}

void AddEvents(std::string& out, const Json& domain) {
    const Json* events = Array(domain, "events");
    if (!events)
        return;
    for (const Json& event : *events) {
        std::optional<std::string> action = Scalar(event, "eventAction");
        std::optional<std::string> date = Scalar(event, "eventDate");
        if (action && date && !action->empty())
            AddLine(out, *action, *date);
    }
}

void AddNameservers(std::string& out, const Json& domain) {
    const Json* servers = Array(domain, "nameservers");
    if (!servers)
        return;
    for (const Json& server : *servers) {
        std::optional<std::string> name = Scalar(server, "ldhName");
        if (!name)
            name = Scalar(server, "unicodeName");
        if (name)
            AddLine(out, "nameserver", *name);
    }
}

// An error object (or a notice) says what it is in "title" and "description".
void AddTitleAndDescription(std::string& out, const Json& object) {
    AddScalar(out, object, "title", "title");
    AddStrings(out, object, "description", "description");
}

void AddFacts(std::string& out, const Json& reply) {
    AddScalar(out, reply, "ldhName", "ldhname");
    AddScalar(out, reply, "handle", "handle");
    AddStrings(out, reply, "status", "status");
    AddRegistrar(out, reply);
    AddEvents(out, reply);
    AddNameservers(out, reply);
    AddTitleAndDescription(out, reply);
    if (const Json* notices = Array(reply, "notices"))
        for (const Json& notice : *notices)
            AddTitleAndDescription(out, notice);
}

} // namespace

std::string RdapReplyText(int status, std::string_view body) {
    if (status <= 0)
        return {};
    std::string out = "rdap status: " + std::to_string(status);
    if (body.empty())
        return out;
    Json reply;
    if (body.size() <= kRdapMaxJsonBytes && NestingWithin(body, kRdapMaxJsonDepth))
        reply = Json::parse(body, nullptr, /*allow_exceptions=*/false);
    else
        reply = Json(Json::value_t::discarded);
    if (reply.is_discarded()) {
        out += '\n';
        out += body;
        return out;
    }
    if (reply.is_object())
        AddFacts(out, reply);
    return out;
}

} // namespace zendrel
