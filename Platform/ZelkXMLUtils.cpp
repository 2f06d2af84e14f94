#include "ZelkXMLUtils.hpp"

#include <cctype>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

#include <libxml/globals.h>
#include <libxml/parser.h>
#include <libxml/xmlreader.h>

#include "ZelkRoot/QuietGenericErrors.hpp"
#include "ZelkRoot/Utf8Path.hpp"

namespace ZelkXML {

namespace {

using ZelkLibXml::MaxParserErrors;
using ZelkLibXml::ParserError;
using ZelkLibXml::ParserOptions;

const char* AsChars(const xmlChar* text) {
    return reinterpret_cast<const char*>(text);
}

using ZelkLibXml::QuietGenericErrors;

// Elements keep their line in 16 bits (65535 for every line from there on). While a reader parses,
// each element it makes also gets its true line as the node's application data, taken from the
// parser's position as the node is made: the same source as the 16-bit line.
thread_local xmlTextReaderPtr ReaderMakingNodes = nullptr;
thread_local xmlRegisterNodeFunc HookBeforeReading = nullptr;

void OnNodeMade(xmlNodePtr node) {
    if (node != nullptr && node->type == XML_ELEMENT_NODE && ReaderMakingNodes != nullptr) {
        const int line = xmlTextReaderGetParserLineNumber(ReaderMakingNodes);
        node->_private = reinterpret_cast<void*>(static_cast<std::intptr_t>(line > 0 ? line : 0));
    }
    if (HookBeforeReading != nullptr) {
        HookBeforeReading(node);
    }
}

// Has libxml2 call OnNodeMade, on this thread, for the nodes `reader` makes while this lives.
class ElementLineKeeper {
public:
    explicit ElementLineKeeper(xmlTextReaderPtr reader)
        : previousReader(ReaderMakingNodes), previousHook(HookBeforeReading) {
        replacedHook = xmlRegisterNodeDefault(&OnNodeMade);
        if (replacedHook != &OnNodeMade) {
            HookBeforeReading = replacedHook;
        }
        ReaderMakingNodes = reader;
    }
    ~ElementLineKeeper() {
        xmlRegisterNodeDefault(replacedHook);
        HookBeforeReading = previousHook;
        ReaderMakingNodes = previousReader;
    }
    ElementLineKeeper(const ElementLineKeeper&) = delete;
    ElementLineKeeper& operator=(const ElementLineKeeper&) = delete;

private:
    xmlTextReaderPtr previousReader;
    xmlRegisterNodeFunc previousHook;
    xmlRegisterNodeFunc replacedHook = nullptr;
};

// What libxml2 needs of the thread while a reader reads: quiet generic errors and elements' true
// lines. Both are thread-wide, and looking them up is not free, so a reading scope sets them up
// once for all its reads instead of once per node.
class ReadingThreadState {
public:
    explicit ReadingThreadState(xmlTextReaderPtr reader) : lines(reader) {}

private:
    QuietGenericErrors quiet;
    ElementLineKeeper lines;
};

// The line of an element made while an ElementLineKeeper was on, as xmlGetLineNo gives it below 65535.
long GetElementLine(xmlNodePtr node) {
    const long line = xmlGetLineNo(node);
    if (node->type == XML_ELEMENT_NODE && node->line == 65535 && node->_private != nullptr) {
        return static_cast<long>(reinterpret_cast<std::intptr_t>(node->_private));
    }
    return line;
}

// The file calls, on the C runtime's descriptors. A path reaches the system as it is, in its own
// form (UTF-16 on Windows), never as a URI.
#if defined(_WIN32)
int OpenForReading(const std::filesystem::path& path) {
    return ::_wopen(path.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
}
bool IsRegularFile(int fd) {
    struct _stat64 status {};
    return ::_fstat64(fd, &status) == 0 && (status.st_mode & _S_IFMT) == _S_IFREG;
}
int ReadSome(int fd, char* buffer, int length) {
    return ::_read(fd, buffer, static_cast<unsigned>(length));
}
void CloseFile(int fd) {
    ::_close(fd);
}
#else
// Without waiting: a FIFO would otherwise block the open until someone writes to it.
int OpenForReading(const std::filesystem::path& path) {
    return ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
}
bool IsRegularFile(int fd) {
    struct stat status {};
    return ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
}
int ReadSome(int fd, char* buffer, int length) {
    return static_cast<int>(::read(fd, buffer, static_cast<std::size_t>(length)));
}
void CloseFile(int fd) {
    ::close(fd);
}
#endif

// A streaming channel over libxml2's text reader.
//
// The reader is always in one of three places: on the start tag of the current element, with
// nothing inside read yet (`onCurrentStart`); on the next node not yet looked at
// (`onNextNode`, left there by a peek or by skipping); or on a node already consumed.
class TextReaderChannel final : public Zelk::XMLIChannel {
public:
    // A channel over the open file `fd`, which it then owns; null if libxml2 cannot start on it.
    static Zelk::XMLIChannel* OverFile(int fd, const std::string& path) {
        std::unique_ptr<TextReaderChannel> channel(new TextReaderChannel());
        channel->fd = fd;
        const QuietGenericErrors quiet;
        xmlTextReaderPtr reader = xmlReaderForIO(&TextReaderChannel::ReadFromFile, nullptr, channel.get(),
                                                 path.c_str(), nullptr, ParserOptions);
        return Start(std::move(channel), reader);
    }

    static Zelk::XMLIChannel* OverMemory(std::string document) {
        std::unique_ptr<TextReaderChannel> channel(new TextReaderChannel());
        // libxml2 reads the text in place, so the channel keeps it.
        channel->document = std::move(document);
        const QuietGenericErrors quiet;
        xmlTextReaderPtr reader =
            xmlReaderForMemory(channel->document.data(), static_cast<int>(channel->document.size()), nullptr,
                               nullptr, ParserOptions);
        return Start(std::move(channel), reader);
    }

    ~TextReaderChannel() override {
        if (reader != nullptr) {
            xmlFreeTextReader(reader);
        }
        if (fd != -1) {
            CloseFile(fd);
        }
    }

    TextReaderChannel(const TextReaderChannel&) = delete;
    TextReaderChannel& operator=(const TextReaderChannel&) = delete;

    int ReadStartTagName(Zelk::UniString& name) override {
        if (started) {
            return Unreadable;
        }
        started = true;
        while (Advance()) {
            if (xmlTextReaderNodeType(reader) == XML_READER_TYPE_ELEMENT) {
                name = CurrentName();
                EnterCurrentNode();
                return StartTag;
            }
        }
        return Unreadable;
    }

    int PeekNextTagName(Zelk::UniString& name) override {
        const int next = PeekNext();
        if (next == StartTag) {
            name = CurrentName();
        }
        return next;
    }

    // PeekNextTagName without making the name: StartTag when the reader is on the next child
    // element.
    int PeekNext() {
        if (failed || elements.empty()) {
            return Unreadable;
        }
        const Element& current = elements.back();
        if (onCurrentStart && current.isEmpty) {
            return EndOfElement;
        }
        for (;;) {
            if (!onNextNode && !Advance()) {
                return Unreadable;
            }
            onNextNode = true;
            const int type = xmlTextReaderNodeType(reader);
            const int depth = xmlTextReaderDepth(reader);
            if (type == XML_READER_TYPE_ELEMENT && depth == current.depth + 1) {
                return StartTag;
            }
            if (type == XML_READER_TYPE_END_ELEMENT && depth == current.depth) {
                return EndOfElement;
            }
            if (depth <= current.depth) {
                // Past the element without meeting its end tag: the reads lost their place.
                Fail("The XML reader lost its place in the document");
                return Unreadable;
            }
            // Text, white space, CDATA, comments, processing instructions, entity references.
            onNextNode = false;
        }
    }

    bool HasAttribute(const char* name) override { return FindAttribute(name) != nullptr; }

    int ReadAttribute(const char* name, Zelk::UniString& value) override {
        const Attribute* attribute = FindAttribute(name);
        if (attribute == nullptr) {
            return 1;
        }
        value = Zelk::UniString(attribute->GetValue());
        return 0;
    }

    bool ReadAttributeView(const char* name, std::string_view& value) override {
        const Attribute* attribute = FindAttribute(name);
        if (attribute == nullptr) {
            return false;
        }
        value = attribute->GetValue();
        return true;
    }

    int RecordError(const Zelk::UniString& message) override {
        Record(message.ToCStr());
        return errorCount > INT_MAX ? INT_MAX : static_cast<int>(errorCount);
    }

    // The first error only: the rest are counted, not kept.
    std::vector<std::string> GetRecordedErrors() const override {
        return errorCount == 0 ? std::vector<std::string>() : std::vector<std::string>{firstError};
    }

    // Scopes nest; the outermost sets the thread up for the reads.
    void OpenReadingScope() {
        if (readingScopes++ == 0 && reader != nullptr) {
            threadState.emplace(reader);
        }
    }
    void CloseReadingScope() noexcept {
        if (--readingScopes == 0) {
            threadState.reset();
        }
    }

    int GetCurrentLineNumber() const {
        // After a parser error the reader's node is not to be trusted; the error has its own line.
        const xmlNodePtr node = reader != nullptr && !failed ? xmlTextReaderCurrentNode(reader) : nullptr;
        const long line = node != nullptr ? GetElementLine(node) : 0;
        return line > 0 && line <= INT_MAX ? static_cast<int>(line) : 0;
    }

protected:
    bool EnterElement(const char* tagName) override {
        const xmlChar* name = PeekNext() == StartTag ? xmlTextReaderConstName(reader) : nullptr;
        if (name == nullptr || tagName == nullptr || std::strcmp(AsChars(name), tagName) != 0) {
            return false;
        }
        EnterCurrentNode();
        return true;
    }

    void LeaveElement() override {
        if (elements.empty()) {
            return;
        }
        const int depth = elements.back().depth;
        const bool isEmpty = elements.back().isEmpty;
        spareElements.push_back(std::move(elements.back()));
        elements.pop_back();
        if (failed || (onCurrentStart && isEmpty)) {
            onCurrentStart = false;
            return;
        }
        onCurrentStart = false;
        // Reads up to and including the element's end tag; deeper end tags are at other depths.
        for (;;) {
            if (!onNextNode && !Advance()) {
                return;
            }
            onNextNode = false;
            if (xmlTextReaderNodeType(reader) == XML_READER_TYPE_END_ELEMENT &&
                xmlTextReaderDepth(reader) == depth) {
                return;
            }
        }
    }

private:
    // An attribute of an entered element. While the reader stays on the element, its name and
    // text are libxml2's own (both end with a zero byte); before the reader moves inside, they are
    // copied, so that they can still be read there.
    struct Attribute {
        const char* name = "";
        const char* value = "";
        std::string nameCopy;
        std::string valueCopy;
        bool copied = false;

        const char* GetName() const { return copied ? nameCopy.c_str() : name; }
        const char* GetValue() const { return copied ? valueCopy.c_str() : value; }
        void Copy(const char* nameText, const char* valueText) {
            nameCopy.assign(nameText);
            valueCopy.assign(valueText);
            copied = true;
        }
    };

    struct Element {
        int depth = 0;
        bool isEmpty = false;
        // Whether some attribute still points into libxml2's element.
        bool attributesBorrowed = false;
        // Only the first attributeCount are this element's: an element left is kept for the next
        // one entered, with its strings, so that a file of many elements reads without allocating.
        std::size_t attributeCount = 0;
        std::vector<Attribute> attributes;
    };

    TextReaderChannel() = default;

    // Null, or the channel, now reading with `newReader`.
    static Zelk::XMLIChannel* Start(std::unique_ptr<TextReaderChannel> channel, xmlTextReaderPtr newReader) {
        if (newReader == nullptr) {
            return nullptr;
        }
        channel->reader = newReader;
        xmlTextReaderSetStructuredErrorHandler(newReader, &TextReaderChannel::OnParserError, channel.get());
        return channel.release();
    }

    static int ReadFromFile(void* context, char* buffer, int length) noexcept {
        const int read = ReadSome(static_cast<TextReaderChannel*>(context)->fd, buffer, length);
        return read < 0 ? -1 : read;
    }

    // Called by libxml2: nothing may be thrown from here.
    static void OnParserError(void* context, ParserError error) noexcept {
        if (error == nullptr || error->level < XML_ERR_ERROR) {
            return;
        }
        auto* channel = static_cast<TextReaderChannel*>(context);
        try {
            if (channel->errorCount == 0) {
                std::string message = error->message != nullptr ? error->message : "XML parser error";
                while (!message.empty() && (message.back() == '\n' || message.back() == ' ')) {
                    message.pop_back();
                }
                channel->Record("line " + std::to_string(error->line) + ": " + message);
            } else {
                ++channel->errorCount;
            }
        } catch (...) {
            // Out of memory: the read fails like one with too many errors.
            channel->errorCount = MaxParserErrors + 1;
        }
        const bool fromParser = error->domain == XML_FROM_PARSER || error->domain == XML_FROM_NAMESPACE;
        if (channel->errorCount > MaxParserErrors && fromParser && error->ctxt != nullptr) {
            xmlStopParser(static_cast<xmlParserCtxtPtr>(error->ctxt));
        }
    }

    void Record(std::string message) {
        if (errorCount == 0) {
            firstError = std::move(message);
        }
        ++errorCount;
    }

    // Moves the reader to the next node: true, or false (for good) at the end of the document or
    // at an error.
    bool Advance() {
        if (failed) {
            return false;
        }
        // Elements further out were copied when the reader moved into them.
        if (!elements.empty() && elements.back().attributesBorrowed) {
            CopyAttributes(elements.back());
        }
        const std::size_t errorsBefore = errorCount;
        int result = -1;
        if (threadState.has_value()) {
            result = xmlTextReaderRead(reader);
        } else {
            const ReadingThreadState readingState(reader);
            result = xmlTextReaderRead(reader);
        }
        // A stopped parser may still hand out what it made before it stopped.
        if (result == 1 && errorCount <= MaxParserErrors) {
            return true;
        }
        if (result >= 0 && errorCount > MaxParserErrors) {
            result = -1;
        }
        if (result < 0 && errorCount == errorsBefore) {
            Record("The XML document cannot be read");
        }
        failed = true;
        return false;
    }

    void Fail(const char* message) {
        Record(message);
        failed = true;
    }

    Zelk::UniString CurrentName() const {
        const xmlChar* name = xmlTextReaderConstName(reader);
        return Zelk::UniString(name != nullptr ? AsChars(name) : "");
    }

    // Makes the element whose start tag the reader is on the current element.
    void EnterCurrentNode() {
        Element element;
        if (!spareElements.empty()) {
            element = std::move(spareElements.back());
            spareElements.pop_back();
        }
        element.depth = xmlTextReaderDepth(reader);
        element.isEmpty = xmlTextReaderIsEmptyElement(reader) == 1;
        element.attributeCount = 0;
        element.attributesBorrowed = false;
        if (BorrowPlainAttributes(element)) {
            // Read straight from the element.
        } else if (xmlTextReaderMoveToFirstAttribute(reader) == 1) {
            do {
                if (element.attributeCount == element.attributes.size()) {
                    element.attributes.emplace_back();
                }
                Attribute& attribute = element.attributes[element.attributeCount++];
                const xmlChar* name = xmlTextReaderConstName(reader);
                const xmlChar* value = xmlTextReaderConstValue(reader);
                const char* nameText = name != nullptr ? AsChars(name) : "";
                const char* valueText = value != nullptr ? AsChars(value) : "";
                if (IsValueOfNode(value)) {
                    attribute.name = nameText;
                    attribute.value = valueText;
                    attribute.copied = false;
                    element.attributesBorrowed = true;
                } else {
                    attribute.Copy(nameText, valueText);
                }
            } while (xmlTextReaderMoveToNextAttribute(reader) == 1);
            xmlTextReaderMoveToElement(reader);
        }
        elements.push_back(std::move(element));
        onCurrentStart = true;
        onNextNode = false;
    }

    // The usual element: no namespace declarations, no prefixed attributes, and each attribute's
    // text one text node. Its attributes are then what the reader's attribute walk gives, in the
    // same order, and are taken from the element directly. False, with nothing taken, otherwise.
    bool BorrowPlainAttributes(Element& element) {
        const xmlNodePtr node = xmlTextReaderCurrentNode(reader);
        if (node == nullptr || node->type != XML_ELEMENT_NODE || node->nsDef != nullptr) {
            return false;
        }
        for (xmlAttrPtr attribute = node->properties; attribute != nullptr; attribute = attribute->next) {
            const xmlNodePtr text = attribute->children;
            if ((attribute->ns != nullptr && attribute->ns->prefix != nullptr) ||
                attribute->name == nullptr || text == nullptr || text->type != XML_TEXT_NODE ||
                text->next != nullptr || text->content == nullptr) {
                return false;
            }
        }
        for (xmlAttrPtr attribute = node->properties; attribute != nullptr; attribute = attribute->next) {
            if (element.attributeCount == element.attributes.size()) {
                element.attributes.emplace_back();
            }
            Attribute& borrowed = element.attributes[element.attributeCount++];
            borrowed.name = AsChars(attribute->name);
            borrowed.value = AsChars(attribute->children->content);
            borrowed.copied = false;
            element.attributesBorrowed = true;
        }
        return true;
    }

    // Whether `value`, the text of the attribute the reader is on, lives in the attribute's node
    // (and so as long as the element) rather than in the reader's scratch buffer, which the next
    // text made there overwrites.
    bool IsValueOfNode(const xmlChar* value) const {
        const xmlNodePtr node = xmlTextReaderCurrentNode(reader);
        if (value == nullptr || node == nullptr) {
            return false;
        }
        if (node->type == XML_NAMESPACE_DECL) {
            return value == reinterpret_cast<xmlNsPtr>(node)->href;
        }
        return node->type == XML_ATTRIBUTE_NODE && node->children != nullptr &&
               value == node->children->content;
    }

    static void CopyAttributes(Element& element) {
        for (std::size_t index = 0; index < element.attributeCount; ++index) {
            Attribute& attribute = element.attributes[index];
            if (!attribute.copied) {
                attribute.Copy(attribute.name, attribute.value);
            }
        }
        element.attributesBorrowed = false;
    }

    const Attribute* FindAttribute(const char* name) const {
        if (elements.empty() || name == nullptr) {
            return nullptr;
        }
        const Element& current = elements.back();
        for (std::size_t index = 0; index < current.attributeCount; ++index) {
            if (std::strcmp(current.attributes[index].GetName(), name) == 0) {
                return &current.attributes[index];
            }
        }
        return nullptr;
    }

    xmlTextReaderPtr reader = nullptr;
    int fd = -1;
    std::string document;
    std::vector<Element> elements;
    std::vector<Element> spareElements;
    std::string firstError;
    std::size_t errorCount = 0;
    int readingScopes = 0;
    std::optional<ReadingThreadState> threadState;
    bool started = false;
    bool failed = false;
    bool onCurrentStart = false;
    bool onNextNode = false;
};

}  // namespace

XercescInitializer::XercescInitializer() {
    xmlInitParser();
}

// No xmlCleanupParser here: other users of libxml2 in the process may still need it.
XercescInitializer::~XercescInitializer() = default;

Zelk::XMLIChannel* CreateXMLIChannel(const IO::Location& location, Zelk::XMLNoTopLevelTagType,
                                     ExceptionPolicy) {
    if (location.IsEmpty() || !location.IsUtf8()) {
        return nullptr;
    }
    // Opened here rather than by libxml2, so that the path is taken as it is (never as a URI)
    // and a FIFO or a device is refused before it is read.
    const int fd = OpenForReading(location.GetPath());
    if (fd == -1) {
        return nullptr;
    }
    if (!IsRegularFile(fd)) {
        CloseFile(fd);
        return nullptr;
    }
    return TextReaderChannel::OverFile(fd, ZelkPaths::Utf8FromPath(location.GetPath()));
}

Zelk::XMLIChannel* CreateXMLIChannelFromMemory(const char* document, std::size_t length) {
    if (document == nullptr || length > static_cast<std::size_t>(INT_MAX)) {
        return nullptr;
    }
    return TextReaderChannel::OverMemory(std::string(document, length));
}

ChannelReadingScope::ChannelReadingScope(Zelk::XMLIChannel& channel)
    : channel(dynamic_cast<TextReaderChannel*>(&channel)) {
    if (this->channel != nullptr) {
        static_cast<TextReaderChannel*>(this->channel)->OpenReadingScope();
    }
}

ChannelReadingScope::~ChannelReadingScope() {
    if (channel != nullptr) {
        static_cast<TextReaderChannel*>(channel)->CloseReadingScope();
    }
}

int GetCurrentLineNumber(const Zelk::XMLIChannel& channel) {
    const auto* reading = dynamic_cast<const TextReaderChannel*>(&channel);
    return reading != nullptr ? reading->GetCurrentLineNumber() : 0;
}

namespace Detail {

namespace {

bool IsCBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// "0x" or "0X", blanks, a sign, a second "0x" and hexadecimal digits up to the first character that
// is not one. False when the digits' value does not fit 32 bits; a minus negates it in 32 bits.
bool ParseHexNumber(const char* text, UInt32& value) {
    if (text[0] != '0' || (text[1] != 'x' && text[1] != 'X')) {
        return false;
    }
    const char* at = text + 2;
    while (IsCBlank(*at)) {
        ++at;
    }
    const bool negative = *at == '-';
    if (*at == '-' || *at == '+') {
        ++at;
    }
    // A second prefix; its 0 is a digit when nothing follows it.
    bool anyDigit = false;
    if (at[0] == '0' && (at[1] == 'x' || at[1] == 'X')) {
        at += 2;
        anyDigit = true;
    }
    std::uint64_t magnitude = 0;
    for (int digit = HexDigitValue(*at); digit >= 0; digit = HexDigitValue(*++at)) {
        anyDigit = true;
        magnitude = magnitude * 16 + static_cast<std::uint64_t>(digit);
        if (magnitude > 0xFFFFFFFFu) {
            return false;
        }
    }
    if (!anyDigit) {
        return false;
    }
    const auto fitting = static_cast<UInt32>(magnitude);
    value = negative ? static_cast<UInt32>(0u - fitting) : fitting;
    return true;
}

}  // namespace

bool IsPlainName(const char* name, const char* separator) {
    const std::size_t nameLength = std::char_traits<char>::length(name);
    const bool hasSeparator =
        separator != nullptr && separator[0] != '\0' && std::strstr(name, separator) != nullptr;
    return nameLength != 0 && std::isgraph(static_cast<unsigned char>(name[0])) &&
           std::isgraph(static_cast<unsigned char>(name[nameLength - 1])) && !hasSeparator;
}

bool ParseNamedEnumText(const Zelk::UniString& text, const char* separator, const char* const* names,
                        const UInt32* values, std::size_t count, UInt32& value) {
    const std::size_t separatorLength = separator != nullptr ? std::char_traits<char>::length(separator) : 0;
    // The usual text is one of the names exactly, which is then its only piece and a value. A name
    // that holds the separator or begins or ends with a blank takes the general way below.
    for (std::size_t i = 0; i < count; ++i) {
        if (IsPlainName(names[i], separator) && text == names[i]) {
            value = values[i];
            return true;
        }
    }
    std::size_t found = 0;
    UInt32 parsed = 0;
    std::size_t from = 0;
    for (;;) {
        const std::size_t at =
            separatorLength != 0 ? text.FindFirst(separator, from) : std::size_t{Zelk::UniString::MaxUSize};
        Zelk::UniString piece = text.GetSubstring(
            from, at == Zelk::UniString::MaxUSize ? std::size_t{Zelk::UniString::MaxUSize} : at - from);
        piece.Trim();
        if (!piece.IsEmpty()) {
            bool isValue = false;
            for (std::size_t i = 0; i < count && !isValue; ++i) {
                if (piece == names[i]) {
                    parsed = values[i];
                    isValue = true;
                }
            }
            if (!isValue) {
                isValue = ParseHexNumber(piece.ToCStr(), parsed);
            }
            if (!isValue) {
                UInt32 decimal = 0;
                if (Zelk::strtovalue(piece, decimal, Zelk::WholeTextIsNumber, Zelk::NoWhiteSpaceTrimming)) {
                    parsed = decimal;
                    isValue = true;
                }
            }
            if (isValue) {
                ++found;
            }
        }
        if (at == Zelk::UniString::MaxUSize) {
            break;
        }
        from = at + separatorLength;
    }
    if (found != 1) {
        return false;
    }
    value = parsed;
    return true;
}

}  // namespace Detail

}  // namespace ZelkXML
