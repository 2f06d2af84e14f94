// ZelkXMLUtils: opening XML documents as Zelk::XMLIChannel readers, and named enumerations.
#pragma once

#include <cstdio>
#include <string_view>
#include <vector>

#include "Fenlo.hpp"
#include "ZelkRoot/Strings.hpp"
#include "ZelkRoot/Types.hpp"
#include "ZelkRoot/XMLInput.hpp"
#include "ZelkXMLUtils/ZelkXMLUtilsExport.hpp"

namespace ZelkXML {

using Zelk::Int32;
using Zelk::UInt32;

// Keeps XML reading possible while it lives. Make one per library that reads XML.
class ZELKXMLUTILS_EXPORT XercescInitializer {
public:
    XercescInitializer();
    ~XercescInitializer();
    XercescInitializer(const XercescInitializer&) = delete;
    XercescInitializer& operator=(const XercescInitializer&) = delete;
};

enum ExceptionPolicy : Int32 {
    ReturnErrorCodes = 0,
};

// A new channel over the XML file at `location`, or null when the file cannot be opened for
// reading (or the location was made from text that is not UTF-8). The caller owns the channel. The parser
// never reaches the network, never loads external entities or DTDs, and bounds entity expansion; a malformed
// document makes reads fail. The first error the parser meets is kept on the channel (GetRecordedErrors),
// with its line number, and the others counted; past a thousand the parser stops and reads fail.
ZELKXMLUTILS_EXPORT Zelk::XMLIChannel* CreateXMLIChannel(const IO::Location& location,
                                                         Zelk::XMLNoTopLevelTagType topLevelTagType,
                                                         ExceptionPolicy exceptionPolicy);
// The same over a document held in memory (tests, tools).
ZELKXMLUTILS_EXPORT Zelk::XMLIChannel* CreateXMLIChannelFromMemory(const char* document, std::size_t length);

// The line of the node a channel made here is on: the element just read, peeked at or entered
// (the line where its start tag ends). 0 for any other channel, before the first read and
// after a parser error (the error message carries its own line).
ZELKXMLUTILS_EXPORT int GetCurrentLineNumber(const Zelk::XMLIChannel& channel);

// While it lives, the reads of `channel` (one made here) share one setting-up of the parser's
// thread-wide state, instead of one per node read. Its reads must then stay on this thread, and
// nothing else on the thread may parse XML meanwhile. Nothing for another channel.
class ZELKXMLUTILS_EXPORT ChannelReadingScope {
public:
    explicit ChannelReadingScope(Zelk::XMLIChannel& channel);
    ~ChannelReadingScope();
    ChannelReadingScope(const ChannelReadingScope&) = delete;
    ChannelReadingScope& operator=(const ChannelReadingScope&) = delete;

private:
    Zelk::XMLIChannel* channel;
};

// The failure code of NamedEnumType::Read.
inline constexpr int InvalidValueCode = Zelk::ErrorInvalidData;

template <typename T>
struct NamedEnumItem {
    T value;
    const char* name;
};

namespace Detail {
// Parses `text` by the grammar of NamedEnumType; names[i] stands for values[i].
ZELKXMLUTILS_EXPORT bool ParseNamedEnumText(const Zelk::UniString& text, const char* separator,
                                            const char* const* names, const UInt32* values, std::size_t count,
                                            UInt32& value);
// Whether a text equal to `name` is that name's value and nothing else: the name is not empty, does
// not hold the separator, and neither begins nor ends with a blank.
ZELKXMLUTILS_EXPORT bool IsPlainName(const char* name, const char* separator);
}  // namespace Detail

// An enumeration read from XML attribute text, by name or by number.
//
// The text is cut into pieces at every separator; each piece is trimmed of white space and
// empty pieces are skipped. A piece is a value when it is one of the names, or "0x" or "0X"
// followed by hexadecimal digits of a 32-bit value (what follows the digits is ignored), or
// an unsigned decimal number. The text is valid when exactly one piece is a value. Numbers need not be
// the value of a listed item.
template <typename T>
class NamedEnumType {
public:
    template <std::size_t Count>
    NamedEnumType(const NamedEnumItem<T> (&items)[Count], const char* separator) : separator(separator) {
        for (const NamedEnumItem<T>& item : items) {
            names.push_back(item.name);
            values.push_back(static_cast<UInt32>(item.value));
            plainNames.push_back(Detail::IsPlainName(item.name, separator));
        }
    }

    // Reads and parses attribute `attributeName` of the channel's current element into `out`:
    // 0, the attribute's read code when it cannot be read, or InvalidValueCode for an invalid
    // text (a message is then recorded on the channel).
    int Read(Zelk::XMLIChannel& channel, const char* attributeName, T& out) const {
        out = static_cast<T>(values.front());
        // The usual text is one of the names exactly: no copy of it is needed then.
        if (std::string_view view; channel.ReadAttributeView(attributeName, view)) {
            for (std::size_t i = 0; i < names.size(); ++i) {
                if (plainNames[i] && view == names[i]) {
                    out = static_cast<T>(values[i]);
                    return 0;
                }
            }
        }
        Zelk::UniString text;
        if (const int code = channel.ReadAttribute(attributeName, text); code != 0) {
            return code;
        }
        UInt32 value = 0;
        if (!Detail::ParseNamedEnumText(text, separator, names.data(), values.data(), names.size(), value)) {
            channel.RecordError(
                Zelk::UniString::Printf("Invalid value for NamedEnumType: \"%s\"", text.ToCStr()));
            return InvalidValueCode;
        }
        out = static_cast<T>(value);
        return 0;
    }

private:
    std::vector<const char*> names;
    std::vector<UInt32> values;
    std::vector<bool> plainNames;
    const char* separator;
};

}  // namespace ZelkXML
