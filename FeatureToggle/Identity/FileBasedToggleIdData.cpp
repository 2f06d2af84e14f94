#include "FeatureToggle/Identity/FileBasedToggleIdData.hpp"
#include "ZelkRoot/Strings.hpp"

#include <string_view>
#include <typeinfo>

namespace FeatureToggle {

namespace {

std::string_view ViewOf(const Zelk::String& text) {
    return {text.ToCStr(), text.GetLength()};
}

}  // namespace

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
    constexpr Zelk::UInt32 Multiplier = 65599;
    return kindName.GenerateHashValue() + Multiplier * idString.GenerateHashValue();
}

bool FileBasedToggleIdData::Equals(const ToggleIdData& other) const {
    // Comparing with a payload of the very same kind is the common case, and needs no dynamic_cast.
    const auto* const otherData = typeid(other) == typeid(FileBasedToggleIdData)
                                      ? static_cast<const FileBasedToggleIdData*>(&other)
                                      : dynamic_cast<const FileBasedToggleIdData*>(&other);
    return otherData != nullptr && kindName == otherData->kindName && idString == otherData->idString;
}

Zelk::String FileBasedToggleIdData::GetDisplayString() const {
    // In one piece: the log and the report ask for it once per toggle.
    return Zelk::String::Join({"[", ViewOf(kindName), "]  name=\"", ViewOf(idString), "\""});
}

ToggleIdData* FileBasedToggleIdData::Clone() const {
    return new FileBasedToggleIdData(*this);
}

}  // namespace FeatureToggle
