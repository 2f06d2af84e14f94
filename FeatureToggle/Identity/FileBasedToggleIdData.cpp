#include "FeatureToggle/Identity/FileBasedToggleIdData.hpp"

namespace FeatureToggle {

FileBasedToggleIdData::FileBasedToggleIdData(const Zelk::String& kindName, const Zelk::String& idString)
    : kindName(kindName), idString(idString) {}

FileBasedToggleIdData::FileBasedToggleIdData(const FileBasedToggleIdData& other) = default;
FileBasedToggleIdData::FileBasedToggleIdData(FileBasedToggleIdData&& other) noexcept = default;
FileBasedToggleIdData& FileBasedToggleIdData::operator=(const FileBasedToggleIdData& other) = default;
FileBasedToggleIdData& FileBasedToggleIdData::operator=(FileBasedToggleIdData&& other) noexcept = default;
FileBasedToggleIdData::~FileBasedToggleIdData() = default;

const Zelk::String& FileBasedToggleIdData::GetIdString() const {
    return idString;
}

Zelk::UInt32 FileBasedToggleIdData::GenerateHashValue() const {
    constexpr Zelk::UInt32 multiplier = 65599;
    return kindName.GenerateHashValue() + multiplier * idString.GenerateHashValue();
}

bool FileBasedToggleIdData::Equals(const ToggleIdData& other) const {
    const auto* const otherData = dynamic_cast<const FileBasedToggleIdData*>(&other);
    return otherData != nullptr && kindName == otherData->kindName && idString == otherData->idString;
}

Zelk::String FileBasedToggleIdData::GetDisplayString() const {
    return "[" + kindName + "]  name=\"" + idString + "\"";
}

ToggleIdData* FileBasedToggleIdData::Clone() const {
    return new FileBasedToggleIdData(*this);
}

}  // namespace FeatureToggle
