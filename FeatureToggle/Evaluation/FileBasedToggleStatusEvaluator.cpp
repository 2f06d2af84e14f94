#include "FeatureToggle/Evaluation/FileBasedToggleStatusEvaluator.hpp"

#include <memory>
#include <utility>

#include "FeatureToggle/Evaluation/Internal/LibraryStatics.hpp"
#include "FeatureToggle/Identity/FileBasedToggleIdData.hpp"
#include "ZelkXMLUtils.hpp"

namespace FeatureToggle {

FileBasedToggleStatusEvaluator::FileBasedToggleStatusEvaluator(const Zelk::String& name)
    : contentLoadExecuted(false), kindName(name) {}

FileBasedToggleStatusEvaluator::FileBasedToggleStatusEvaluator(const FileBasedToggleStatusEvaluator& other) =
    default;

FileBasedToggleStatusEvaluator::~FileBasedToggleStatusEvaluator() = default;

int FileBasedToggleStatusEvaluator::ReadFromXMLFileIfExists(const IO::Location& location) {
    if (contentLoadExecuted) {
        return LoadFailed;
    }
    contentLoadExecuted = true;

    bool exists = false;
    if (IO::fileSystem.Contains(location, exists) != 0) {
        return LoadFailed;
    }
    if (!exists) {
        return 0;
    }

    const std::unique_ptr<Zelk::XMLIChannel> channel(
        ZelkXML::CreateXMLIChannel(location, Zelk::TopLevelTagRequired, ZelkXML::ReturnErrorCodes));
    if (channel == nullptr) {
        return LoadFailed;
    }
    // Set before reading: the report shows which file was used even when its content is bad.
    xmlPath = location;
    return ReadXML(*channel);
}

int FileBasedToggleStatusEvaluator::ReadFromXMLChannel(Zelk::XMLIChannel& channel) {
    if (contentLoadExecuted) {
        return LoadFailed;
    }
    contentLoadExecuted = true;
    return ReadXML(channel);
}

Zelk::Optional<IO::Location> FileBasedToggleStatusEvaluator::GetXMLPath() const {
    return xmlPath;
}

bool FileBasedToggleStatusEvaluator::IsContentLoadExecuted() const {
    return contentLoadExecuted;
}

int FileBasedToggleStatusEvaluator::ReadXML(Zelk::XMLIChannel& channel) {
    Zelk::UniString topLevelName;
    if (channel.ReadStartTagName(topLevelName) != 1 || topLevelName != "ReleaseToggleOverrides") {
        return LoadFailed;
    }

    constexpr int NextElement = 1;
    constexpr int ElementEnds = 2;
    for (;;) {
        Zelk::UniString childName;
        // Reading stops quietly at the end, or at the first element that is not an override; a
        // document that cannot be read further (malformed, truncated) is a failed load.
        const int next = channel.PeekNextTagName(childName);
        if (next != NextElement && next != ElementEnds) {
            return LoadFailed;
        }
        if (next == ElementEnds || childName != "OverriddenValue") {
            return 0;
        }
        const Zelk::XMLITag element(channel, "OverriddenValue");

        Zelk::UniString toggleName;
        if (!channel.HasAttribute("toggleName") || channel.ReadAttribute("toggleName", toggleName) != 0 ||
            !toggleName.IsASCII()) {
            return LoadFailed;
        }
        ToggleId id(
            FileBasedToggleIdData(kindName, Zelk::String(toggleName.ToCStr(), toggleName.GetLength())));
        if (Contains(id)) {
            return LoadFailed;
        }

        if (!channel.HasAttribute("status")) {
            return LoadFailed;
        }
        ToggleStatus status = ToggleStatus::Enabled;
        if (ToggleStatusEnumType.Read(channel, "status", status) != 0) {
            return LoadFailed;
        }
        Add(std::move(id), status);
    }
}

}  // namespace FeatureToggle
