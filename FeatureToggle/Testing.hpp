// The aids for tests of code that uses toggles: forcing a toggle's status while a scope lives
// (OverrideToggleValueGuard), and counting the library's error reports instead of sending them
// (ReportGuard). A test program that forces toggles does not load the override file.
#pragma once

#include "FeatureToggle/Diagnostics/OverrideToggleValueGuard.hpp"
#include "FeatureToggle/Diagnostics/ReportGuard.hpp"
#include "FeatureToggle/FeatureToggle.hpp"
