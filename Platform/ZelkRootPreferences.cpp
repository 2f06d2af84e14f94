// The preference store: values in memory, loaded from an XML file by the host.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>
#include <new>
#include <set>
#include <string>
#include <tuple>

#include <libxml/SAX2.h>
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

// An element's line: xmlGetLineNo stops at 65535, where ElementMade keeps the true one.
long LineOf(const xmlNode* node) {
    if (node->line == 65535 && node->_private != nullptr) {
        return static_cast<long>(reinterpret_cast<std::intptr_t>(node->_private));
    }
    return xmlGetLineNo(node);
}

// Reads the value of `child`, an element in the root, into `values`; if it is not one, says why in
// `problem`.
void ReadValue(xmlNode* child, ValueMap& values, std::string& problem) {
    const std::string line = std::to_string(LineOf(child));
    if (!IsNamed(child, "Value")) {
        problem =
            "unexpected element " + TextOf(reinterpret_cast<const char*>(child->name)) + " at line " + line;
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

// What the parser's callbacks share, as the parser's application data.
struct ParseState {
    ValueMap& values;
    std::string problem;  // of the first element in the root that is not a value
    unsigned errorCount = 0;
    bool outOfMemory = false;
};

// Preference files are small. A bigger one is refused unread. Each element in the root is read
// and freed as it ends, so that the tree never holds more than one.
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

using ZelkLibXml::MaxParserErrors;
using ZelkLibXml::ParserError;
using ZelkLibXml::QuietGenericErrors;

// The parser's callbacks, which libxml2 calls with the parser as their context. They throw nothing.

void CountParserError(void* parser, ParserError error) noexcept {
    auto* context = static_cast<xmlParserCtxt*>(parser);
    if (error == nullptr || error->level < XML_ERR_ERROR || context == nullptr) {
        return;
    }
    if (++static_cast<ParseState*>(context->_private)->errorCount > MaxParserErrors) {
        xmlStopParser(context);
    }
}

// Keeps the element's line, from where the parser is as it makes the element (the same source as
// the 16-bit line), as the node's application data.
void ElementMade(void* parser, const xmlChar* localName, const xmlChar* prefix, const xmlChar* uri,
                 int namespaceCount, const xmlChar** namespaces, int attributeCount, int defaultedCount,
                 const xmlChar** attributes) noexcept {
    xmlSAX2StartElementNs(parser, localName, prefix, uri, namespaceCount, namespaces, attributeCount,
                          defaultedCount, attributes);
    auto* context = static_cast<xmlParserCtxt*>(parser);
    if (context->node != nullptr && context->input != nullptr && context->input->line > 0) {
        context->node->_private = reinterpret_cast<void*>(static_cast<std::intptr_t>(context->input->line));
    }
}

// Reads an element in the root as it ends, and frees it with what came before it.
void ElementEnded(void* parser, const xmlChar* localName, const xmlChar* prefix,
                  const xmlChar* uri) noexcept {
    auto* context = static_cast<xmlParserCtxt*>(parser);
    xmlNode* element = context->node;
    xmlSAX2EndElementNs(parser, localName, prefix, uri);
    if (element == nullptr || element->parent == nullptr ||
        element->parent->parent != reinterpret_cast<xmlNode*>(context->myDoc)) {
        return;
    }
    auto& state = *static_cast<ParseState*>(context->_private);
    try {
        if (state.problem.empty()) {
            ReadValue(element, state.values, state.problem);
        }
    } catch (...) {
        state.outOfMemory = true;
        xmlStopParser(context);
    }
    // All the root holds is then done with. Emptied, it has no text for the parser to add to in
    // place.
    for (xmlNode* root = element->parent; root->children != nullptr;) {
        xmlNode* child = root->children;
        xmlUnlinkNode(child);
        xmlFreeNode(child);
    }
}

// Parses `content` and reads its values; on failure, says why in `problem`.
void ParseDocument(const std::string& file, const std::string& content, ValueMap& values,
                   std::string& problem) {
    xmlInitParser();
    xmlParserCtxt* context = xmlNewParserCtxt();
    if (context == nullptr) {
        problem = "out of memory";
        return;
    }
    // No network, no external DTD, no entity substitution; parser messages stay quiet, the
    // report says what went wrong. Short texts are kept inside their nodes.
    ParseState state{values, {}};
    context->_private = &state;
    context->sax->serror = &CountParserError;
    context->sax->startElementNs = &ElementMade;
    context->sax->endElementNs = &ElementEnded;
    const QuietGenericErrors quiet;
    xmlDoc* document =
        xmlCtxtReadMemory(context, content.data(), static_cast<int>(content.size()), file.c_str(), nullptr,
                          ZelkLibXml::ParserOptions | XML_PARSE_COMPACT);
    // A parser stopped for its errors may still have made a document.
    if (document == nullptr || state.errorCount > MaxParserErrors) {
        xmlFreeDoc(document);
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
        const xmlNode* root = xmlDocGetRootElement(document);
        problem = root == nullptr || !IsNamed(root, "Preferences") ? "the root element is not Preferences"
                                                                   : state.problem;
        xmlFreeDoc(document);
    }
    xmlFreeParserCtxt(context);
    if (state.outOfMemory) {
        throw std::bad_alloc();
    }
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
