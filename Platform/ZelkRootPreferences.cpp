// The preference store: values in memory, loaded from an XML file by the host.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <tuple>

#include <libxml/parser.h>
#include <libxml/tree.h>

#include "ZelkRoot.hpp"
#include "ZelkRoot/QuietGenericErrors.hpp"
#include "ZelkRoot/Testing.hpp"
#include "ZelkRoot/Utf8Path.hpp"

namespace ZelkPref {

namespace {

using ValueKey = std::tuple<Int32, std::string, std::string>;  // domain, path, name
using ValueMap = std::map<ValueKey, std::string>;

struct Store {
    std::mutex mutex;
    ValueMap values;
    std::set<Int32> unavailableDomains;
    std::optional<UInt32> forcedReadResult;
    Host::Statistics statistics;
};

Store& GetStore() {
    static Store store;
    return store;
}

std::string TextOf(const char* text) {
    return text == nullptr ? std::string() : std::string(text);
}

// The stored text, if any.
std::optional<std::string> Lookup(Int32 domain, const char* path, const char* name) {
    Store& store = GetStore();
    std::lock_guard<std::mutex> lock(store.mutex);
    const auto found = store.values.find(ValueKey(domain, TextOf(path), TextOf(name)));
    if (found == store.values.end()) {
        return std::nullopt;
    }
    return found->second;
}

std::optional<bool> ParseBool(const std::string& text) {
    if (text == "true" || text == "1") {
        return true;
    }
    if (text == "false" || text == "0") {
        return false;
    }
    return std::nullopt;
}

class Root : public IRoot {
public:
    explicit Root(RootKeyDomain domain) : domain(domain) {}

    UInt32 ReadBool(const char* path, const char* valueName, bool* value, Int32, Int32) override {
        {
            Store& store = GetStore();
            std::lock_guard<std::mutex> lock(store.mutex);
            if (store.forcedReadResult.has_value()) {
                return *store.forcedReadResult;
            }
        }
        const std::optional<std::string> text = Lookup(domain, path, valueName);
        if (!text.has_value()) {
            return ResultValueNotFound;
        }
        if (text->empty()) {
            return ResultValueEmpty;
        }
        const std::optional<bool> parsed = ParseBool(*text);
        if (!parsed.has_value()) {
            return ResultNotABoolean;
        }
        if (value != nullptr) {
            *value = *parsed;
        }
        return ResultOk;
    }

private:
    RootKeyDomain domain;
};

// The value of attribute `name` of `node`, if present.
std::optional<std::string> AttributeOf(xmlNode* node, const char* name) {
    xmlChar* value = xmlGetProp(node, reinterpret_cast<const xmlChar*>(name));
    if (value == nullptr) {
        return std::nullopt;
    }
    std::string text(reinterpret_cast<const char*>(value));
    xmlFree(value);
    return text;
}

bool IsNamed(const xmlNode* node, const char* name) {
    return xmlStrcmp(node->name, reinterpret_cast<const xmlChar*>(name)) == 0;
}

// Reads the values of a parsed document into `values`; on failure, says why in `problem`.
void ReadDocument(xmlDoc* document, ValueMap& values, std::string& problem) {
    xmlNode* root = xmlDocGetRootElement(document);
    if (root == nullptr || !IsNamed(root, "Preferences")) {
        problem = "the root element is not Preferences";
        return;
    }
    for (xmlNode* child = root->children; child != nullptr; child = child->next) {
        if (child->type != XML_ELEMENT_NODE) {
            continue;
        }
        const std::string line = std::to_string(xmlGetLineNo(child));
        if (!IsNamed(child, "Value")) {
            problem = "unexpected element " + TextOf(reinterpret_cast<const char*>(child->name)) +
                      " at line " + line;
            return;
        }
        const std::optional<std::string> domainText = AttributeOf(child, "domain");
        const std::optional<std::string> path = AttributeOf(child, "path");
        const std::optional<std::string> name = AttributeOf(child, "name");
        if (!domainText.has_value() || !path.has_value() || !name.has_value()) {
            problem = "a Value without domain, path or name at line " + line;
            return;
        }
        Zelk::UInt32 domain = 0;
        if (!Zelk::strtovalue(Zelk::UniString(domainText->c_str()), domain, Zelk::WholeTextIsNumber,
                              Zelk::NoWhiteSpaceTrimming) ||
            domain > static_cast<Zelk::UInt32>(std::numeric_limits<Int32>::max())) {
            problem = "a Value with the invalid domain \"" + *domainText + "\" at line " + line;
            return;
        }
        xmlChar* content = xmlNodeGetContent(child);
        std::string text =
            content == nullptr ? std::string() : std::string(reinterpret_cast<const char*>(content));
        xmlFree(content);
        values[ValueKey(static_cast<Int32>(domain), *path, *name)] = std::move(text);
    }
}

// Preference files are small. A bigger one is refused unread: its document tree would take many
// times its size in memory (over twenty times for a file of short values).
constexpr std::uintmax_t MaxFileSize = 4u << 20;

// Reads the file into `content`; on failure, says why in `problem`.
void ReadWholeFile(const std::filesystem::path& file, std::string& content, std::string& problem) {
    std::error_code error;
    const bool regular = std::filesystem::is_regular_file(file, error);
    const std::uintmax_t size = regular ? std::filesystem::file_size(file, error) : 0;
    std::ifstream stream;
    if (regular && !error && size <= MaxFileSize) {
        stream.open(file, std::ios::binary);
    }
    if (size > MaxFileSize) {
        problem = "it is larger than " + std::to_string(MaxFileSize >> 20) + " MiB";
    } else if (!stream.is_open()) {
        problem = "it cannot be read";
    } else {
        content.assign(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
        if (stream.bad() || content.size() > MaxFileSize) {
            problem = "it cannot be read";
        }
    }
}

using ZelkLibXml::QuietGenericErrors;

// Parses `content` and reads its values; on failure, says why in `problem`.
void ParseDocument(const std::string& file, const std::string& content, ValueMap& values,
                   std::string& problem) {
    xmlInitParser();
    xmlParserCtxt* context = xmlNewParserCtxt();
    if (context == nullptr) {
        problem = "out of memory";
        return;
    }
    // Parser messages stay quiet: the report says what went wrong.
    const QuietGenericErrors quiet;
    xmlDoc* document = xmlCtxtReadMemory(context, content.data(), static_cast<int>(content.size()),
                                         file.c_str(), nullptr, ZelkLibXml::ParserOptions);
    if (document == nullptr) {
        problem = "it is not well-formed XML";
        const xmlError* parseError = xmlCtxtGetLastError(context);
        if (parseError != nullptr && parseError->message != nullptr) {
            std::string message = parseError->message;
            while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) {
                message.pop_back();
            }
            problem += " (line " + std::to_string(parseError->line) + ": " + message + ")";
        }
    } else {
        ReadDocument(document, values, problem);
        xmlFreeDoc(document);
    }
    xmlFreeParserCtxt(context);
}

void ReplaceValues(ValueMap values) {
    Store& store = GetStore();
    std::lock_guard<std::mutex> lock(store.mutex);
    store.values = std::move(values);
}

}  // namespace

IRoot* OpenRootKey(RootKeyDomain domain) {
    Store& store = GetStore();
    std::lock_guard<std::mutex> lock(store.mutex);
    if (store.unavailableDomains.count(domain) != 0) {
        return nullptr;
    }
    ++store.statistics.rootsOpened;
    return new Root(domain);
}

void CloseRootKey(IRoot** root) {
    {
        Store& store = GetStore();
        std::lock_guard<std::mutex> lock(store.mutex);
        ++store.statistics.closeCalls;
    }
    if (root != nullptr) {
        delete *root;
        *root = nullptr;
    }
}

bool GetBoolValue(const char* section, const char* key, bool defaultValue, IRoot::WriteBackMode) {
    const std::optional<std::string> text = Lookup(ApplicationDomain, section, key);
    if (!text.has_value()) {
        return defaultValue;
    }
    return ParseBool(*text).value_or(defaultValue);
}

namespace Host {

void LoadPreferenceFile(const char* path) {
    const std::string file = TextOf(path);
    const std::filesystem::path filePath = ZelkPaths::PathFromUtf8(file);
    std::error_code error;
    // Only a file that is known not to be there counts as missing: a link loop is reported.
    if (file.empty() || (!std::filesystem::exists(filePath, error) && !error)) {
        ReplaceValues({});
        return;
    }

    ValueMap values;
    std::string problem;
    std::string content;
    // Read here rather than by the parser, so that an unreadable file is reported like any other
    // problem instead of being printed by the parser.
    ReadWholeFile(filePath, content, problem);
    if (problem.empty()) {
        ParseDocument(file, content, values, problem);
    }

    ReplaceValues(problem.empty() ? std::move(values) : ValueMap());
    if (!problem.empty()) {
        const std::string message = "Invalid preference file " + file + ": " + problem;
        BugRep_ReportError(message.c_str(), 0x80000000u, 0);
    }
}

void SetValue(RootKeyDomain domain, const char* path, const char* name, const char* text) {
    Store& store = GetStore();
    std::lock_guard<std::mutex> lock(store.mutex);
    store.values[ValueKey(domain, TextOf(path), TextOf(name))] = TextOf(text);
}

void Reset() {
    Store& store = GetStore();
    std::lock_guard<std::mutex> lock(store.mutex);
    store.values.clear();
    store.unavailableDomains.clear();
    store.forcedReadResult.reset();
    store.statistics = Statistics();
}

void SetDomainUnavailable(RootKeyDomain domain, bool unavailable) {
    Store& store = GetStore();
    std::lock_guard<std::mutex> lock(store.mutex);
    if (unavailable) {
        store.unavailableDomains.insert(domain);
    } else {
        store.unavailableDomains.erase(domain);
    }
}

void ForceReadResult(std::optional<UInt32> code) {
    Store& store = GetStore();
    std::lock_guard<std::mutex> lock(store.mutex);
    store.forcedReadResult = code;
}

Statistics GetStatistics() {
    Store& store = GetStore();
    std::lock_guard<std::mutex> lock(store.mutex);
    return store.statistics;
}

}  // namespace Host
}  // namespace ZelkPref
