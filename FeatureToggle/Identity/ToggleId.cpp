#include "FeatureToggle/Identity/ToggleId.hpp"
#include "ZelkRoot/Strings.hpp"

#include <utility>

namespace FeatureToggle {

ToggleId::ToggleId(const ToggleIdData& idData) : data(idData.Clone()) {}

ToggleId::ToggleId(const ToggleId& other) : data(other.data != nullptr ? other.data->Clone() : nullptr) {}

ToggleId::ToggleId(ToggleId&& other) noexcept : data(std::exchange(other.data, nullptr)) {}

ToggleId& ToggleId::operator=(const ToggleId& other) {
    if (this == &other) {
        return *this;
    }
    // Clone before deleting: if the clone throws, this identity keeps its own payload.
    ToggleIdData* const copy = other.data != nullptr ? other.data->Clone() : nullptr;
    delete data;
    data = copy;
    return *this;
}

ToggleId& ToggleId::operator=(ToggleId&& other) noexcept {
    delete data;
    data = std::exchange(other.data, nullptr);
    return *this;
}

ToggleId::~ToggleId() {
    delete data;
}

bool ToggleId::Equals(const ToggleId& other) const {
    // Both sides are asked, always: a payload only knows its own kind, so one side alone could
    // take a payload of a derived kind for one of its own.
    const bool thisEqualsOther = data->Equals(*other.data);
    const bool otherEqualsThis = other.data->Equals(*data);
    return thisEqualsOther && otherEqualsThis;
}

Zelk::UInt32 ToggleId::GenerateHashValue() const {
    return data->GenerateHashValue();
}

Zelk::String ToggleId::GetDisplayString() const {
    return data->GetDisplayString();
}

bool operator==(const ToggleId& left, const ToggleId& right) {
    return left.Equals(right);
}

bool operator!=(const ToggleId& left, const ToggleId& right) {
    return !left.Equals(right);
}

}  // namespace FeatureToggle
