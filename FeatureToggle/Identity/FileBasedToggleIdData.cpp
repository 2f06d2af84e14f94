#include "FeatureToggle/Identity/FileBasedToggleIdData.hpp"
#include "ZelkRoot/Strings.hpp"

#include "FeatureToggle/Identity/Internal/IdentityKind.hpp"

namespace FeatureToggle {

using IdentityKind::ViewOf;

FileBasedToggleIdData::FileBasedToggleIdData(const Zelk::String& kindName, const Zelk::String& idString)
    : kindName(kindName), idString(idString) {}

FEATURETOGGLE_DEFINE_IDENTITY_KIND_SPECIAL_MEMBERS(FileBasedToggleIdData);

const Zelk::String& FileBasedToggleIdData::GetIdString() const {
    return idString;
}

Zelk::UInt32 FileBasedToggleIdData::GenerateHashValue() const {
    constexpr Zelk::UInt32 Multiplier = 65599;
    return kindName.GenerateHashValue() + Multiplier * idString.GenerateHashValue();
}

bool FileBasedToggleIdData::Equals(const ToggleIdData& other) const {
    const auto* const otherData = IdentityKind::AsKind<FileBasedToggleIdData>(other);
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
