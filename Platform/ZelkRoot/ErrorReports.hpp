// ZelkRoot: the application's error report facility.
#pragma once

#include <functional>

#include "ZelkRoot/Types.hpp"
#include "ZelkRoot/ZelkRootExport.hpp"

// Hands `message` to the application's error report facility.
ZELKROOT_EXPORT void BugRep_ReportError(const char* message, Zelk::UInt32 flags, Zelk::Int32 reserved);

// The facility itself: the default handler writes the message as one line to standard error;
// an empty function restores it.
using BugRep_Handler = std::function<void(const char* message, Zelk::UInt32 flags)>;
ZELKROOT_EXPORT void BugRep_SetHandler(BugRep_Handler handler);
