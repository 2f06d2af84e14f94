// ZelkRoot: the platform's integer types and its one shared error code.
#pragma once

#include <cstdint>

namespace Zelk {

using Int32 = std::int32_t;
using UInt32 = std::uint32_t;
using UInt64 = std::uint64_t;

// The platform's error code for data that cannot be used: an unreadable file, an invalid value.
inline constexpr Int32 ErrorInvalidData = -7003;

}  // namespace Zelk
