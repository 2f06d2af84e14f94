// ZelkRoot: XML input: a channel that reads one document, and the tag that enters an element while it lives.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "ZelkRoot/Strings.hpp"
#include "ZelkRoot/Types.hpp"
#include "ZelkRoot/ZelkRootExport.hpp"

namespace Zelk {

// Reads one XML document, element by element.
class XMLIChannel {
public:
    // What ReadStartTagName and PeekNextTagName return.
    static constexpr int Unreadable = 0;    // the document cannot be read further
    static constexpr int StartTag = 1;      // a start tag is next; its name was read
    static constexpr int EndOfElement = 2;  // the current element ends next

    virtual ~XMLIChannel() = default;

    // Reads the document's first start tag: StartTag and its name, the channel then inside that
    // element before its first child; anything else when there is none.
    virtual int ReadStartTagName(UniString& name) = 0;
    // Looks at what comes next inside the current element without consuming it: EndOfElement
    // when the element ends next; StartTag and the name of the next child element; Unreadable
    // when the document cannot be read further. Text, comments and processing instructions are
    // passed over.
    virtual int PeekNextTagName(UniString& name) = 0;
    virtual bool HasAttribute(const char* name) = 0;
    // 0 and the attribute's text when it was read.
    virtual int ReadAttribute(const char* name, UniString& value) = 0;
    // ReadAttribute without a copy: the text stays the channel's, followed by a zero byte, and is
    // valid until the channel next moves. False when it cannot be read.
    virtual bool ReadAttributeView(const char* name, std::string_view& value) = 0;
    // Hands over a read error message; returns the number of messages so far. A channel may keep
    // only the first.
    virtual int RecordError(const UniString& message) = 0;
    virtual std::vector<std::string> GetRecordedErrors() const = 0;

protected:
    friend class XMLITag;
    // Enters the next child element, which must be named `tagName`; false if it is not next.
    virtual bool EnterElement(const char* tagName) = 0;
    // Leaves the current element, skipping whatever of it was not read.
    virtual void LeaveElement() = 0;
};

// Enters the next child element while it lives.
class ZELKROOT_EXPORT XMLITag {
public:
    XMLITag(XMLIChannel& channel, const char* tagName);
    ~XMLITag();
    XMLITag(const XMLITag&) = delete;
    XMLITag& operator=(const XMLITag&) = delete;

    bool IsEntered() const noexcept { return entered; }

private:
    XMLIChannel& channel;
    bool entered;
};

enum XMLNoTopLevelTagType : Int32 {
    TopLevelTagRequired = 0,
};

}  // namespace Zelk
