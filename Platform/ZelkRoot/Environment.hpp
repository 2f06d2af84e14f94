// ZelkRoot: the process environment.
#pragma once

#include <string>

#include "ZelkRoot/ZelkRootExport.hpp"

namespace Zelk {

// The environment variable `name` as UTF-8 text (read as UTF-16 on Windows, so that any text
// comes through); empty when it is not set.
ZELKROOT_EXPORT std::string ReadEnvironmentText(const char* name);

}  // namespace Zelk
