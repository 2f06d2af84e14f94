// ZelkRoot: the preference store: boolean values by section and key, and the roots a debug toggle reads.
#pragma once

#include "ZelkRoot/Types.hpp"
#include "ZelkRoot/ZelkRootExport.hpp"

namespace ZelkPref {

using Zelk::Int32;
using Zelk::UInt32;

// The roots of the preference store.
enum RootKeyDomain : Int32 {
    ApplicationDomain = 0,  // sections of GetBoolValue live here, the section being the path
    UserDomain = 1,         // debug toggles
};

// Result codes of IRoot reads.
inline constexpr UInt32 ResultOk = 0;
inline constexpr UInt32 ResultValueNotFound = 0x81000501;  // nothing stored at that path and name
inline constexpr UInt32 ResultValueEmpty = 0x81000502;   // stored, but empty: the out-parameter is left alone
inline constexpr UInt32 ResultNotABoolean = 0x81000503;  // stored, but not "true", "false", "1" or "0"

// An open preference root.
class IRoot {
public:
    enum WriteBackMode : Int32 {
        NoWriteBack = 0,
    };

    virtual ~IRoot() = default;
    // Reads the boolean `valueName` at `path`. The two trailing arguments are reserved (0).
    virtual UInt32 ReadBool(const char* path, const char* valueName, bool* value, Int32 reserved1,
                            Int32 reserved2) = 0;
};

// A root for the domain, or null when it cannot be opened. Close it with CloseRootKey.
ZELKROOT_EXPORT IRoot* OpenRootKey(RootKeyDomain domain);
// Releases the root `*root` holds (nothing if null) and sets `*root` to null.
ZELKROOT_EXPORT void CloseRootKey(IRoot** root);

// The stored boolean `key` of `section` (ApplicationDomain), or `defaultValue`.
ZELKROOT_EXPORT bool GetBoolValue(const char* section, const char* key, bool defaultValue,
                                  IRoot::WriteBackMode mode);

// What a host steers. The store's fault injection for tests is in ZelkRoot/Testing.hpp.
namespace Host {

// Loads the preference file at `path`, replacing what the store held. A missing file gives an
// empty store; a malformed or unreadable one, or one larger than 4 MiB, is reported once through
// BugRep_ReportError and gives an empty store. The format:
//   <Preferences>
//     <Value domain="1" path="Debug/Rendering" name="ShowFrameRate">true</Value>
//   </Preferences>
ZELKROOT_EXPORT void LoadPreferenceFile(const char* path);
// Sets one value in memory ("true", "false", "1", "0", or any other text to test bad values).
ZELKROOT_EXPORT void SetValue(RootKeyDomain domain, const char* path, const char* name, const char* text);

}  // namespace Host
}  // namespace ZelkPref
