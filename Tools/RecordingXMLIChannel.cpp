#include "RecordingXMLIChannel.hpp"

#include <algorithm>

#include "ZelkXMLUtils.hpp"

namespace FeatureToggleCheck {

const RecordingXMLIChannel::Attribute* RecordingXMLIChannel::Element::FindAttribute(
    const std::string& attributeName) const {
    const auto found = std::find_if(attributes.begin(), attributes.end(), [&](const Attribute& attribute) {
        return attribute.name == attributeName;
    });
    return found != attributes.end() ? &*found : nullptr;
}

RecordingXMLIChannel::RecordingXMLIChannel(Zelk::XMLIChannel& inner) : inner(inner) {}

// Leaves what is still entered, innermost first, before the inner channel can go.
RecordingXMLIChannel::~RecordingXMLIChannel() {
    while (!openTags.empty()) {
        openTags.pop_back();
    }
}

int RecordingXMLIChannel::ReadStartTagName(Zelk::UniString& name) {
    const int result = inner.ReadStartTagName(name);
    startTag = TagRead{result, result == 1 ? name.ToCStr() : "", ZelkXML::GetCurrentLineNumber(inner)};
    return result;
}

int RecordingXMLIChannel::PeekNextTagName(Zelk::UniString& name) {
    const int result = inner.PeekNextTagName(name);
    lastPeek = TagRead{result, result == 1 ? name.ToCStr() : "", ZelkXML::GetCurrentLineNumber(inner)};
    return result;
}

bool RecordingXMLIChannel::HasAttribute(const char* name) {
    const bool present = inner.HasAttribute(name);
    AttributeOfCurrentElement(name).present = present;
    return present;
}

int RecordingXMLIChannel::ReadAttribute(const char* name, Zelk::UniString& value) {
    const int result = inner.ReadAttribute(name, value);
    Attribute& attribute = AttributeOfCurrentElement(name);
    attribute.readResult = result;
    attribute.value = result == 0 ? value.ToCStr() : "";
    return result;
}

int RecordingXMLIChannel::RecordError(const Zelk::UniString& message) {
    handedIn.emplace_back(message.ToCStr());
    if (!openElements.empty()) {
        elements[openElements.back()].recordedErrors.emplace_back(message.ToCStr());
    }
    return inner.RecordError(message);
}

std::vector<std::string> RecordingXMLIChannel::GetRecordedErrors() const {
    return inner.GetRecordedErrors();
}

std::vector<std::string> RecordingXMLIChannel::GetParserErrors() const {
    std::vector<std::string> errors = inner.GetRecordedErrors();
    for (const std::string& message : handedIn) {
        const auto found = std::find(errors.begin(), errors.end(), message);
        if (found != errors.end()) {
            errors.erase(found);
        }
    }
    return errors;
}

bool RecordingXMLIChannel::EnterElement(const char* tagName) {
    auto tag = std::make_unique<Zelk::XMLITag>(inner, tagName);
    if (!tag->IsEntered()) {
        return false;
    }
    openTags.push_back(std::move(tag));
    elements.push_back(Element{tagName, ZelkXML::GetCurrentLineNumber(inner), {}, {}});
    openElements.push_back(elements.size() - 1);
    return true;
}

void RecordingXMLIChannel::LeaveElement() {
    if (!openTags.empty()) {
        openTags.pop_back();
        openElements.pop_back();
    }
}

RecordingXMLIChannel::Attribute& RecordingXMLIChannel::AttributeOfCurrentElement(const char* name) {
    if (openElements.empty()) {
        // Asked outside any entered element (of the top element): nothing to explain there.
        unrecordedAttribute = Attribute{};
        return unrecordedAttribute;
    }
    std::vector<Attribute>& attributes = elements[openElements.back()].attributes;
    const auto found = std::find_if(attributes.begin(), attributes.end(),
                                    [&](const Attribute& attribute) { return attribute.name == name; });
    if (found != attributes.end()) {
        return *found;
    }
    attributes.push_back(Attribute{name, {}, {}, {}});
    return attributes.back();
}

}  // namespace FeatureToggleCheck
