#pragma once

#include "FeatureToggle/FeatureToggleExport.hpp"
#include "FeatureToggle/Identity/ToggleIdData.hpp"
#include "ZelkRoot/Strings.hpp"
#include "ZelkRoot/Types.hpp"

namespace FeatureToggle {

// A toggle's identity: the key of every map and set of the library. It owns a clone of its
// payload and forwards hashing, equality and display to it. A moved-from ToggleId is empty and
// may only be destroyed or assigned to.
class FEATURETOGGLE_EXPORT ToggleId {
public:
    // Clones `idData`; the caller keeps its own.
    explicit ToggleId(const ToggleIdData& idData);
    ToggleId(const ToggleId& other);
    ToggleId(ToggleId&& other) noexcept;
    ToggleId& operator=(const ToggleId& other);
    // Self move-assignment is not supported.
    ToggleId& operator=(ToggleId&& other) noexcept;
    ~ToggleId();

    // Equal when both payloads say so, asked in both directions, so that identities of
    // different kinds are never equal.
    bool Equals(const ToggleId& other) const;
    Zelk::UInt32 GenerateHashValue() const;
    Zelk::String GetDisplayString() const;

    // The payload, or null for an empty identity.
    const ToggleIdData* GetData() const noexcept { return data; }

private:
    ToggleIdData* data;
};

FEATURETOGGLE_EXPORT bool operator==(const ToggleId& left, const ToggleId& right);
FEATURETOGGLE_EXPORT bool operator!=(const ToggleId& left, const ToggleId& right);

}  // namespace FeatureToggle
