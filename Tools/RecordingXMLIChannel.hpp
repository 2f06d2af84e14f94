// A channel that passes every read on to another channel and keeps what the reads found, so that
// after the library's reader has given up on an override file, the checker can tell where and why.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ZelkRoot.hpp"

namespace FeatureToggleCheck {

class RecordingXMLIChannel final : public Zelk::XMLIChannel {
public:
    // An attribute the reader asked about.
    struct Attribute {
        std::string name;
        std::optional<bool> present;    // HasAttribute's answer, if it was asked
        std::optional<int> readResult;  // ReadAttribute's result, if it was called
        std::string value;              // the text read, when readResult is 0
    };

    // An element the reader entered, in document order.
    struct Element {
        std::string name;
        int line = 0;
        std::vector<Attribute> attributes;
        std::vector<std::string> recordedErrors;  // messages the reader handed in while inside it

        // Null when the reader did not ask about the attribute.
        const Attribute* FindAttribute(const std::string& attributeName) const;
    };

    struct TagRead {
        int result = 0;
        std::string name;
        int line = 0;
    };

    // `inner` must be a channel made by ZelkXMLUtils for line numbers to be known.
    explicit RecordingXMLIChannel(Zelk::XMLIChannel& inner);
    ~RecordingXMLIChannel() override;
    RecordingXMLIChannel(const RecordingXMLIChannel&) = delete;
    RecordingXMLIChannel& operator=(const RecordingXMLIChannel&) = delete;

    int ReadStartTagName(Zelk::UniString& name) override;
    int PeekNextTagName(Zelk::UniString& name) override;
    bool HasAttribute(const char* name) override;
    int ReadAttribute(const char* name, Zelk::UniString& value) override;
    int RecordError(const Zelk::UniString& message) override;
    std::vector<std::string> GetRecordedErrors() const override;

    // Empty until ReadStartTagName was called.
    const std::optional<TagRead>& GetStartTag() const { return startTag; }
    // Empty until PeekNextTagName was called.
    const std::optional<TagRead>& GetLastPeek() const { return lastPeek; }
    const std::vector<Element>& GetEnteredElements() const { return elements; }
    // The errors of the parser itself: what the inner channel recorded, less what was handed in.
    std::vector<std::string> GetParserErrors() const;

protected:
    bool EnterElement(const char* tagName) override;
    void LeaveElement() override;

private:
    Attribute& AttributeOfCurrentElement(const char* name);

    Zelk::XMLIChannel& inner;
    // Entering and leaving are protected on the inner channel: tags held here do it.
    std::vector<std::unique_ptr<Zelk::XMLITag>> openTags;
    // Indexes into `elements` of the elements entered and not yet left, innermost last.
    std::vector<std::size_t> openElements;
    std::optional<TagRead> startTag;
    std::optional<TagRead> lastPeek;
    std::vector<Element> elements;
    std::vector<std::string> handedIn;
    Attribute unrecordedAttribute;
};

}  // namespace FeatureToggleCheck
