// ZelkRoot/Testing.hpp: the preference store's fault injection and counters, for tests only. Not
// installed: a host has no business with them.
#pragma once

#include <optional>

#include "ZelkRoot/Preferences.hpp"

namespace ZelkPref::Host {

// Forgets every value and every test setting below.
ZELKROOT_EXPORT void Reset();

// Makes OpenRootKey return null for the domain.
ZELKROOT_EXPORT void SetDomainUnavailable(RootKeyDomain domain, bool unavailable);
// Makes every ReadBool return `code` without touching its out-parameter; empty to stop.
ZELKROOT_EXPORT void ForceReadResult(std::optional<UInt32> code);

struct Statistics {
    int rootsOpened = 0;
    int closeCalls = 0;  // CloseRootKey calls, with a null root or not
};
ZELKROOT_EXPORT Statistics GetStatistics();

}  // namespace ZelkPref::Host
