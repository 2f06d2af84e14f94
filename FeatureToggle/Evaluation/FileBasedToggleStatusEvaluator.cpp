#include "FeatureToggle/Evaluation/FileBasedToggleStatusEvaluator.hpp"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "FeatureToggle/Evaluation/Internal/LibraryStatics.hpp"
#include "FeatureToggle/Evaluation/Internal/OverrideFileFormat.hpp"
#include "FeatureToggle/Evaluation/Internal/OverrideFileReader.hpp"
#include "FeatureToggle/Identity/FileBasedToggleIdData.hpp"
#include "ZelkRoot/Strings.hpp"
#include "ZelkRoot/Templates.hpp"
#include "ZelkRoot/XMLInput.hpp"
#include "ZelkXMLUtils.hpp"

namespace FeatureToggle {

namespace {

int Fail(OverrideFileReadRecord* record, OverrideFileFault fault) {
    if (record != nullptr) {
        record->fault.fault = fault;
    }
    return FileBasedToggleStatusEvaluator::LoadFailed;
}

// A fault of the element the channel is in.
int Fail(OverrideFileReadRecord* record, OverrideFileFault fault, const Zelk::XMLIChannel& channel) {
    if (record != nullptr) {
        record->fault.line = ZelkXML::GetCurrentLineNumber(channel);
    }
    return Fail(record, fault);
}

// A fault of the override of `toggleName`: copied only here, so that reading copies no name.
int Fail(OverrideFileReadRecord* record, OverrideFileFault fault, const Zelk::XMLIChannel& channel,
         std::string_view toggleName) {
    if (record != nullptr) {
        record->fault.toggleName = toggleName;
    }
    return Fail(record, fault, channel);
}

int FailMalformed(OverrideFileReadRecord* record, const Zelk::XMLIChannel& channel) {
    if (record != nullptr) {
        record->fault = ReadParserFault(channel);
    }
    return FileBasedToggleStatusEvaluator::LoadFailed;
}

std::string ReadAttributeText(Zelk::XMLIChannel& channel, const char* name) {
    Zelk::UniString text;
    return channel.ReadAttribute(name, text) == 0 ? std::string(text.ToCStr()) : std::string();
}

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The line of the element that added `id`: entries and lines are both in file order.
int LineOfEntry(const MappingBasedToggleStatusEvaluator& table, const ToggleId& id,
                const std::vector<int>& entryLines) {
    std::size_t index = 0;
    int line = 0;
    table.EnumerateMappedToggleIds([&](const ToggleId& entry, ToggleStatus) {
        if (entry == id && index < entryLines.size()) {
            line = entryLines[index];
        }
        ++index;
    });
    return line;
}

}  // namespace

OverrideFileFault QueryOverrideFileLocation(const IO::Location& location, bool& exists) {
    if (IO::fileSystem.Contains(location, exists) == 0) {
        return OverrideFileFault::None;
    }
    return location.IsUtf8() ? OverrideFileFault::FileSystemQueryFailed : OverrideFileFault::LocationNotUtf8;
}

// The parser's first error says what went wrong, and where: "line N: message".
OverrideFileReadFault ReadParserFault(const Zelk::XMLIChannel& channel) {
    OverrideFileReadFault fault;
    fault.fault = OverrideFileFault::MalformedDocument;
    const std::vector<std::string> errors = channel.GetRecordedErrors();
    if (errors.empty()) {
        return fault;
    }
    std::string message = errors.front();
    if (message.rfind("line ", 0) == 0) {
        char* end = nullptr;
        const long line = std::strtol(message.c_str() + 5, &end, 10);
        if (end != nullptr && end[0] == ':' && end[1] == ' ' && line > 0 && line <= INT_MAX) {
            fault.line = static_cast<int>(line);
            message.erase(0, static_cast<std::size_t>(end + 2 - message.c_str()));
        }
    }
    // Some messages go on over a second line (the bytes that are not UTF-8).
    std::replace(message.begin(), message.end(), '\n', ' ');
    fault.parserMessage = message;
    return fault;
}

FileBasedToggleStatusEvaluator::FileBasedToggleStatusEvaluator(const Zelk::String& name)
    : contentLoadExecuted(false), kindName(name) {}

FileBasedToggleStatusEvaluator::FileBasedToggleStatusEvaluator(const FileBasedToggleStatusEvaluator& other) =
    default;

FileBasedToggleStatusEvaluator::~FileBasedToggleStatusEvaluator() = default;

int FileBasedToggleStatusEvaluator::ReadFromXMLFileIfExists(const IO::Location& location) {
    return LoadFile(location, nullptr);
}

int FileBasedToggleStatusEvaluator::ReadFromXMLChannel(Zelk::XMLIChannel& channel) {
    return LoadChannel(channel, nullptr);
}

int FileBasedToggleStatusEvaluator::ReadFromXMLFileIfExists(const IO::Location& location,
                                                            OverrideFileReadRecord& record) {
    return LoadFile(location, &record);
}

int FileBasedToggleStatusEvaluator::ReadFromXMLChannel(Zelk::XMLIChannel& channel,
                                                       OverrideFileReadRecord& record) {
    return LoadChannel(channel, &record);
}

int FileBasedToggleStatusEvaluator::LoadFile(const IO::Location& location, OverrideFileReadRecord* record) {
    if (contentLoadExecuted) {
        return Fail(record, OverrideFileFault::AlreadyLoaded);
    }
    contentLoadExecuted = true;

    bool exists = false;
    if (const OverrideFileFault fault = QueryOverrideFileLocation(location, exists);
        fault != OverrideFileFault::None) {
        return Fail(record, fault);
    }
    if (!exists) {
        return 0;
    }
    if (record != nullptr) {
        record->fileExists = true;
    }

    const std::unique_ptr<Zelk::XMLIChannel> channel(
        ZelkXML::CreateXMLIChannel(location, Zelk::TopLevelTagRequired, ZelkXML::ReturnErrorCodes));
    if (channel == nullptr) {
        return Fail(record, OverrideFileFault::CannotOpen);
    }
    // Set before reading: the report shows which file was used even when its content is bad.
    xmlPath = location;
    return ReadXML(*channel, record);
}

int FileBasedToggleStatusEvaluator::LoadChannel(Zelk::XMLIChannel& channel, OverrideFileReadRecord* record) {
    if (contentLoadExecuted) {
        return Fail(record, OverrideFileFault::AlreadyLoaded);
    }
    contentLoadExecuted = true;
    return ReadXML(channel, record);
}

Zelk::Optional<IO::Location> FileBasedToggleStatusEvaluator::GetXMLPath() const {
    return xmlPath;
}

bool FileBasedToggleStatusEvaluator::IsContentLoadExecuted() const {
    return contentLoadExecuted;
}

int FileBasedToggleStatusEvaluator::ReadXML(Zelk::XMLIChannel& channel) {
    return ReadXML(channel, nullptr);
}

int FileBasedToggleStatusEvaluator::ReadXML(Zelk::XMLIChannel& channel, OverrideFileReadRecord* record) {
    using namespace OverrideFileFormat;

    const ZelkXML::ChannelReadingScope scope(channel);
    Zelk::UniString topLevelName;
    if (channel.ReadStartTagName(topLevelName) != Zelk::XMLIChannel::StartTag) {
        return FailMalformed(record, channel);
    }
    if (topLevelName != TopElement) {
        if (record != nullptr) {
            record->fault.topElement = topLevelName.ToCStr();
        }
        return Fail(record, OverrideFileFault::WrongTopElement, channel);
    }

    int result = 0;
    const ChildWalkEnd end = WalkChildElements(channel, [&](const Zelk::UniString& childName) {
        // Reading stops quietly at the first element that is not an override.
        if (childName != OverrideElement) {
            if (record != nullptr) {
                record->unreadElement = childName.ToCStr();
                record->unreadElementLine = ZelkXML::GetCurrentLineNumber(channel);
            }
            return false;
        }
        result = ReadOverriddenValue(channel, record);
        return result == 0;
    });
    // A document that cannot be read further (malformed, truncated) is a failed load.
    return end == ChildWalkEnd::Malformed ? FailMalformed(record, channel) : result;
}

int FileBasedToggleStatusEvaluator::ReadOverriddenValue(Zelk::XMLIChannel& channel,
                                                        OverrideFileReadRecord* record) {
    using namespace OverrideFileFormat;

    const Zelk::XMLITag element(channel, OverrideElement);

    // The channel's own text, valid while it stays on this element.
    std::string_view toggleName;
    if (!channel.HasAttribute(ToggleNameAttribute)) {
        return Fail(record, OverrideFileFault::MissingToggleName, channel);
    }
    if (!channel.ReadAttributeView(ToggleNameAttribute, toggleName)) {
        return Fail(record, OverrideFileFault::UnreadableToggleName, channel);
    }
    if (!IsAscii(toggleName)) {
        return Fail(record, OverrideFileFault::NonAsciiToggleName, channel, toggleName);
    }
    ToggleId id(FileBasedToggleIdData(kindName, Zelk::String(toggleName.data(), toggleName.size())));
    // One look-up serves both the duplicate check and the Add below.
    const LookUp lookUp = LookUpForAdd(id);
    if (lookUp.IsPresent()) {
        if (record != nullptr) {
            record->fault.firstLine = LineOfEntry(*this, id, record->entryLines);
        }
        return Fail(record, OverrideFileFault::DuplicateToggleName, channel, toggleName);
    }

    if (!channel.HasAttribute(StatusAttribute)) {
        return Fail(record, OverrideFileFault::MissingStatus, channel, toggleName);
    }
    ToggleStatus status = ToggleStatus::Enabled;
    if (const int code = ToggleStatusEnumType.Read(channel, StatusAttribute, status); code != 0) {
        if (code != ZelkXML::InvalidValueCode) {
            return Fail(record, OverrideFileFault::UnreadableStatus, channel, toggleName);
        }
        if (record != nullptr) {
            record->fault.statusText = ReadAttributeText(channel, StatusAttribute);
        }
        return Fail(record, OverrideFileFault::InvalidStatus, channel, toggleName);
    }
    Add(std::move(id), status, lookUp);
    if (record != nullptr) {
        const int line = ZelkXML::GetCurrentLineNumber(channel);
        record->entryLines.push_back(line);
        if (record->keepEntrySources) {
            record->entries.push_back(
                {std::string(toggleName), line, ReadAttributeText(channel, StatusAttribute)});
        }
    }
    return 0;
}

}  // namespace FeatureToggle
