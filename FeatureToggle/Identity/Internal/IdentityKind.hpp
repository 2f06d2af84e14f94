// What the library's kinds of identity share. It is no base class: each kind derives from
// ToggleIdData directly and keeps its own access and the order in which it destroys its fields.
#pragma once

#include <string_view>
#include <typeinfo>

#include "FeatureToggle/Identity/ToggleIdData.hpp"

namespace FeatureToggle::IdentityKind {

// A field, for Zelk::String::Join.
inline std::string_view ViewOf(const Zelk::String& text) {
    return {text.ToCStr(), text.GetLength()};
}

// `other` as a payload of `Kind` or of a kind derived from it, else null: the first step of Equals.
// Comparing with a payload of the very same kind is the common case, and needs no dynamic_cast.
template <typename Kind>
const Kind* AsKind(const ToggleIdData& other) {
    return typeid(other) == typeid(Kind) ? static_cast<const Kind*>(&other)
                                         : dynamic_cast<const Kind*>(&other);
}

}  // namespace FeatureToggle::IdentityKind

// Defines what FEATURETOGGLE_IDENTITY_KIND_SPECIAL_MEMBERS declares, field by field in
// declaration order (the destructor in reverse), out of line so that the library exports them.
#define FEATURETOGGLE_DEFINE_IDENTITY_KIND_SPECIAL_MEMBERS(Kind) \
    Kind::Kind(const Kind& other) = default;                     \
    Kind::Kind(Kind&& other) noexcept = default;                 \
    Kind& Kind::operator=(const Kind& other) = default;          \
    Kind& Kind::operator=(Kind&& other) noexcept = default;      \
    Kind::~Kind() = default
