#pragma once

#include <cstddef>

#include "FeatureToggle/FeatureToggleExport.hpp"
#include "ZelkRoot/Strings.hpp"
#include "ZelkRoot/Types.hpp"

namespace FeatureToggle {

// The payload of a toggle identity. A concrete kind of identity derives from it and keeps the
// contract: payloads equal by Equals have equal GenerateHashValue. Payloads are immutable, live
// on the platform's heap, and are reached only through the ToggleId that owns them.
class FEATURETOGGLE_EXPORT ToggleIdData {
public:
    ToggleIdData() = default;
    ToggleIdData(const ToggleIdData&) = default;
    ToggleIdData& operator=(const ToggleIdData&) = default;
    virtual ~ToggleIdData();

    virtual Zelk::UInt32 GenerateHashValue() const = 0;
    // False for a payload of another kind.
    virtual bool Equals(const ToggleIdData& other) const = 0;
    // What messages, the log and the report show for the identity.
    virtual Zelk::String GetDisplayString() const = 0;
    // A new payload of the same kind with equal content; the caller owns it.
    virtual ToggleIdData* Clone() const = 0;

    static void* operator new(std::size_t size);
    static void operator delete(void* pointer) noexcept;
};

// What a kind of identity declares, each under the access the kind chooses: its copy and move
// operations and destructor, which its source defines with
// FEATURETOGGLE_DEFINE_IDENTITY_KIND_SPECIAL_MEMBERS, and its overrides of the operations above.
#define FEATURETOGGLE_IDENTITY_KIND_SPECIAL_MEMBERS(Kind) \
    Kind(const Kind& other);                              \
    Kind(Kind&& other) noexcept;                          \
    Kind& operator=(const Kind& other);                   \
    Kind& operator=(Kind&& other) noexcept;               \
    ~Kind() override
#define FEATURETOGGLE_IDENTITY_KIND_OPERATIONS             \
    Zelk::UInt32 GenerateHashValue() const override;       \
    bool Equals(const ToggleIdData& other) const override; \
    Zelk::String GetDisplayString() const override;        \
    ToggleIdData* Clone() const override

}  // namespace FeatureToggle
