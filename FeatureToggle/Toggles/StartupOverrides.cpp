#include "FeatureToggle/Toggles/StartupOverrides.hpp"

#include <algorithm>
#include <atomic>
#include <string_view>
#include <unordered_map>

#include "FeatureToggle/Diagnostics/Core/Internal/ErrorReporter.hpp"
#include "FeatureToggle/Evaluation/Internal/ReleaseEvaluator.hpp"
#include "FeatureToggle/Identity/FileBasedToggleIdData.hpp"
#include "FeatureToggle/Registry/Internal/ToggleRegistry.hpp"
#include "FeatureToggle/Toggles/Internal/StartupOverrideLayer.hpp"
#include "ZelkRoot.hpp"

namespace FeatureToggle {

namespace {

// The command line comes first: it wins over the environment.
constexpr int CommandLine = 0;
constexpr int Environment = 1;

struct GivenNames {
    std::vector<std::string> enabled;
    std::vector<std::string> disabled;
};

struct StartupOverrideLayer {
    GivenNames given[2];
    // Made once, at the first load; only read afterwards.
    std::unordered_map<std::string, ToggleStatus> statuses[2];
    bool statusesMade = false;
};

StartupOverrideLayer& GetLayer() {
    static StartupOverrideLayer layer;
    return layer;
}

// Set by the load when a source gave a name: publishes the statuses to every later evaluation.
// Until then, and when nothing was given, the evaluations never look at the layer.
std::atomic<bool> layerActive{false};

void Report(std::string_view argument, const char* reason) {
    const std::string message = "Toggle override \"" + std::string(argument) + "\" ignored: " + reason;
    ErrorReporter::ReportError(message.c_str());
}

std::vector<std::string_view> SplitNames(std::string_view list) {
    std::vector<std::string_view> names;
    for (std::size_t start = 0;;) {
        const std::size_t end = list.find(',', start);
        names.push_back(list.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos) {
            return names;
        }
        start = end + 1;
    }
}

// Why the list of names cannot be taken, or null when it can.
const char* FindFault(const std::vector<std::string_view>& names) {
    for (const std::string_view name : names) {
        if (name.empty()) {
            return "a toggle name is empty";
        }
        // The override file holds ASCII names only, and no control characters can stand in it.
        if (std::any_of(name.begin(), name.end(), [](char c) { return c < 0x20 || c > 0x7e; })) {
            return "a toggle name has a character other than printable ASCII";
        }
    }
    return nullptr;
}

// Takes all the names of one argument or variable, or none of them.
void Take(int source, bool enable, std::string_view argument, std::string_view list) {
    if (GetReleaseToggleStatusEvaluator().IsContentLoadExecuted()) {
        Report(argument, "given after the release toggle overrides were loaded");
        return;
    }
    const std::vector<std::string_view> names = SplitNames(list);
    if (const char* fault = FindFault(names)) {
        Report(argument, fault);
        return;
    }
    GivenNames& given = GetLayer().given[source];
    std::vector<std::string>& into = enable ? given.enabled : given.disabled;
    for (const std::string_view name : names) {
        if (std::find(into.begin(), into.end(), name) == into.end()) {
            into.emplace_back(name);
        }
    }
}

bool Contains(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

// What one source sets, a name given both ways disabled.
StartupOverrideSource Resolve(const GivenNames& given) {
    StartupOverrideSource resolved;
    for (const std::string& name : given.enabled) {
        (Contains(given.disabled, name) ? resolved.givenBothWays : resolved.enabled).push_back(name);
    }
    resolved.disabled = given.disabled;
    return resolved;
}

ToggleId ReleaseToggleId(const Zelk::String& name) {
    return ToggleId(FileBasedToggleIdData(GetReleaseToggleKind(), name));
}

StartupOverrideOrigin Find(const ToggleId& id, ToggleStatus& status) {
    const auto* data = dynamic_cast<const FileBasedToggleIdData*>(id.GetData());
    if (data == nullptr) {
        return StartupOverrideOrigin::None;
    }
    const StartupOverrideLayer& layer = GetLayer();
    const std::string name = data->GetIdString().ToCStr();
    for (const int source : {CommandLine, Environment}) {
        const auto found = layer.statuses[source].find(name);
        if (found != layer.statuses[source].end()) {
            // Release toggles only, not another kind that has a name.
            if (ReleaseToggleId(data->GetIdString()) != id) {
                return StartupOverrideOrigin::None;
            }
            status = found->second;
            return source == CommandLine ? StartupOverrideOrigin::CommandLine
                                         : StartupOverrideOrigin::Environment;
        }
    }
    return StartupOverrideOrigin::None;
}

}  // namespace

void ReadToggleOverridesFromCommandLine(int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i] != nullptr ? argv[i] : "";
        for (const bool enable : {true, false}) {
            const std::string_view option = enable ? "--enable-toggles" : "--disable-toggles";
            if (argument.substr(0, option.size()) != option) {
                continue;
            }
            const std::string_view rest = argument.substr(option.size());
            if (rest.empty()) {
                Report(argument, enable ? "expected --enable-toggles=NAME[,NAME...]"
                                        : "expected --disable-toggles=NAME[,NAME...]");
            } else if (rest.front() == '=') {
                Take(CommandLine, enable, argument, rest.substr(1));
            }
        }
    }
}

void ReadToggleOverridesFromEnvironment() {
    for (const bool enable : {true, false}) {
        const char* const variable = enable ? "FEATURETOGGLE_ENABLE" : "FEATURETOGGLE_DISABLE";
        const std::string list = Zelk::ReadEnvironmentText(variable);
        if (!list.empty()) {
            Take(Environment, enable, std::string(variable) + "=" + list, list);
        }
    }
}

Zelk::Optional<ToggleStatus> ApplyStartupOverrides(const ToggleId& id,
                                                   const Zelk::Optional<ToggleStatus>& fileAnswer) {
    ToggleStatus status{};
    if (layerActive.load(std::memory_order_acquire) && Find(id, status) != StartupOverrideOrigin::None) {
        return status;
    }
    return fileAnswer;
}

StartupOverrideOrigin FindStartupOverrideOrigin(const ToggleId& id) {
    ToggleStatus status{};
    return layerActive.load(std::memory_order_acquire) ? Find(id, status) : StartupOverrideOrigin::None;
}

void ActivateStartupOverrides(ReleaseOverrideLoadOutcome& outcome) {
    StartupOverrideLayer& layer = GetLayer();
    outcome.commandLine = Resolve(layer.given[CommandLine]);
    outcome.environment = Resolve(layer.given[Environment]);
    outcome.unmatchedStartupOverrides.clear();
    const Zelk::HashSet<ToggleId> liveIds = ToggleRegistry::GetInstance().GetRegisteredToggleIds();
    bool anyGiven = false;
    for (const int source : {CommandLine, Environment}) {
        const StartupOverrideSource& resolved =
            source == CommandLine ? outcome.commandLine : outcome.environment;
        for (const auto* names : {&resolved.enabled, &resolved.disabled}) {
            for (const std::string& name : *names) {
                anyGiven = true;
                if (!layer.statusesMade) {
                    layer.statuses[source][name] =
                        names == &resolved.enabled ? ToggleStatus::Enabled : ToggleStatus::Disabled;
                }
                if (!liveIds.Contains(ReleaseToggleId(Zelk::String(name.c_str()))) &&
                    !Contains(outcome.unmatchedStartupOverrides, name)) {
                    outcome.unmatchedStartupOverrides.push_back(name);
                }
            }
        }
    }
    layer.statusesMade = true;
    layerActive.store(anyGiven, std::memory_order_release);
}

}  // namespace FeatureToggle
