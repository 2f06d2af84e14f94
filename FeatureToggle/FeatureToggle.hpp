// Everything a client module or a host application includes: the toggles and IsToggleEnabled,
// the evaluators and identities, the test aids (OverrideToggleValueGuard, ReportGuard) and the
// toggle report (DumpToggleInfo). The platform headers ZelkRoot.hpp and Fenlo.hpp come with it.
#pragma once

#include "FeatureToggle/Diagnostics/DumpToggleInfo.hpp"
#include "FeatureToggle/Diagnostics/OverrideToggleValueGuard.hpp"
#include "FeatureToggle/Diagnostics/ReportGuard.hpp"
#include "FeatureToggle/Evaluation/FileBasedToggleStatusEvaluator.hpp"
#include "FeatureToggle/Evaluation/MappingBasedToggleStatusEvaluator.hpp"
#include "FeatureToggle/Evaluation/RegistryBasedToggleStatusEvaluator.hpp"
#include "FeatureToggle/Evaluation/ToggleStatusEvaluator.hpp"
#include "FeatureToggle/Identity/FileBasedToggleIdData.hpp"
#include "FeatureToggle/Identity/RegistryBasedToggleIdData.hpp"
#include "FeatureToggle/Identity/ToggleId.hpp"
#include "FeatureToggle/Identity/ToggleIdData.hpp"
#include "FeatureToggle/ToggleAccessor.hpp"
#include "FeatureToggle/ToggleStatus.hpp"
#include "FeatureToggle/Toggles/AutomaticallyEvaluatedToggle.hpp"
#include "FeatureToggle/Toggles/DebugToggle.hpp"
#include "FeatureToggle/Toggles/OnDemandEvaluatedToggle.hpp"
#include "FeatureToggle/Toggles/ReleaseToggle.hpp"
#include "FeatureToggle/Toggles/Toggle.hpp"
