// ZelkRoot: the core platform layer the feature toggle library runs on.
//
// Strings, memory, the application log, error reports, preferences, atomics and the
// spin lock, XML input channels and the containers. Everything a host or a test needs
// to steer (where log entries, error reports and preferences go) sits in the `Host`
// parts of each section.
//
// Each section has a header of its own under ZelkRoot/; code that needs one section includes
// that header alone, and this one gathers them all.
#pragma once

#include "ZelkRoot/Containers.hpp"
#include "ZelkRoot/Environment.hpp"
#include "ZelkRoot/ErrorReports.hpp"
#include "ZelkRoot/Exceptions.hpp"
#include "ZelkRoot/Log.hpp"
#include "ZelkRoot/Memory.hpp"
#include "ZelkRoot/Portability.hpp"
#include "ZelkRoot/Preferences.hpp"
#include "ZelkRoot/Strings.hpp"
#include "ZelkRoot/Synchronisation.hpp"
#include "ZelkRoot/Templates.hpp"
#include "ZelkRoot/Types.hpp"
#include "ZelkRoot/XMLInput.hpp"
