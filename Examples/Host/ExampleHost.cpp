// The example host: a small stand-in for a desktop application. It sets up the platform (where
// the log and error reports go, the preference file, the override folder), loads its plug-in
// modules, has the library load the release toggle overrides, shows what each module's toggles
// say, writes the toggle report, and unloads the modules before it exits.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "FeatureToggle/Diagnostics/DumpToggleInfo.hpp"
#include "FeatureToggle/Diagnostics/LiveToggles.hpp"
#include "FeatureToggle/FeatureToggle.hpp"
#include "FeatureToggle/Toggles/ReleaseOverrideLoadOutcome.hpp"
#include "FeatureToggle/Toggles/StartupOverrides.hpp"
#include "Fenlo.hpp"
#include "ModuleLoader.hpp"
#include "Modules/ExampleModule.hpp"
#include "ZelkRoot.hpp"
#include "ZelkRoot/Utf8Path.hpp"

namespace {

namespace fs = std::filesystem;

// Where the host's own account goes: standard output, or standard error when standard output
// carries the JSON listing alone.
std::FILE* textOut = stdout;

const char* const moduleNames[] = {"FeatureToggleExampleRendering", "FeatureToggleExampleImporter"};

// Paths are printed and handed to the platform as UTF-8 on every system.
using ZelkPaths::PathFromUtf8;
using ZelkPaths::Utf8FromPath;

struct Options {
    // As given: the platform's location says whether it can be looked at.
    std::string overrideFolder;
    fs::path preferenceFile;
    bool listAllToggles = false;
    bool listTogglesJson = false;
    fs::path knownTogglesFile;
};

void PrintUsage(std::FILE* stream, const char* program) {
    std::fprintf(stream,
                 "Usage: %s [--override-dir FOLDER] [--preferences FILE] [--list-all-toggles]\n"
                 "          [--list-toggles-json] [--write-known-toggles FILE]\n"
                 "          [--enable-toggles=NAME[,NAME...]] [--disable-toggles=NAME[,NAME...]]\n"
                 "\n"
                 "Runs the example application: loads its two plug-in modules, loads the release toggle\n"
                 "overrides, shows every module's toggles and writes the toggle report.\n"
                 "\n"
                 "  --override-dir FOLDER  the folder that holds ReleaseToggleOverrides.xml\n"
                 "                         (default: the Config folder next to this program)\n"
                 "  --preferences FILE     the preference file that debug toggles read\n"
                 "                         (default: Config/Preferences.xml next to this program)\n"
                 "  --list-all-toggles     list every toggle in the report, not only the overridden ones\n"
                 "  --list-toggles-json    write the live toggles as JSON instead of the report, alone on\n"
                 "                         standard output (the rest goes to standard error)\n"
                 "  --write-known-toggles FILE\n"
                 "                         write the release toggle names to FILE, one per line, for\n"
                 "                         featuretoggle-check --known-toggles\n"
                 "  --enable-toggles=NAME[,NAME...], --disable-toggles=NAME[,NAME...]\n"
                 "                         switch release toggles for this run, over the override file\n"
                 "                         and the environment's FEATURETOGGLE_ENABLE and\n"
                 "                         FEATURETOGGLE_DISABLE (read by the library)\n"
                 "  --help                 show this text\n",
                 program);
}

// Parses the command line, UTF-8 on every system; false (after saying why) when it cannot be run
// as asked.
bool ParseOptions(const std::vector<std::string>& arguments, const fs::path& programFolder, Options& options,
                  int& exitCode) {
    options.overrideFolder = Utf8FromPath(programFolder / "Config");
    options.preferenceFile = programFolder / "Config" / "Preferences.xml";
    const char* program = arguments.empty() ? "FeatureToggleExampleHost" : arguments[0].c_str();
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (argument == "--help" || argument == "-h") {
            PrintUsage(stdout, program);
            exitCode = 0;
            return false;
        }
        // The library reads these itself.
        if (argument.rfind("--enable-toggles", 0) == 0 || argument.rfind("--disable-toggles", 0) == 0) {
            continue;
        }
        if (argument == "--list-all-toggles") {
            options.listAllToggles = true;
        } else if (argument == "--list-toggles-json") {
            options.listTogglesJson = true;
        } else if (argument == "--write-known-toggles" && hasValue) {
            options.knownTogglesFile = PathFromUtf8(arguments[++i]);
        } else if (argument == "--override-dir" && hasValue) {
            options.overrideFolder = arguments[++i];
        } else if (argument == "--preferences" && hasValue) {
            options.preferenceFile = PathFromUtf8(arguments[++i]);
        } else {
            std::fprintf(stderr, "%s: %s '%s'\n\n", program,
                         argument.rfind("--", 0) == 0 && !hasValue ? "missing value for" : "unknown option",
                         argument.c_str());
            PrintUsage(stderr, program);
            exitCode = 2;
            return false;
        }
    }
    return true;
}

struct LoadedModule {
    ModuleLoader::LoadedModule library;
    const ExampleModule* module;
};

void SetUpPlatform(const Options& options) {
    Zelk::logger.SetSink([](const char* entry) { std::fprintf(textOut, "log: %s\n", entry); });
    BugRep_SetHandler([](const char* message, Zelk::UInt32) {
        std::fflush(textOut);
        std::fprintf(stderr, "error report: %s\n", message);
    });

    if (!fs::exists(options.preferenceFile)) {
        std::fprintf(textOut, "No preference file at %s: debug toggles keep their defaults.\n",
                     Utf8FromPath(options.preferenceFile).c_str());
    }
    ZelkPref::Host::LoadPreferenceFile(Utf8FromPath(options.preferenceFile).c_str());
    if (options.listAllToggles) {
        ZelkPref::Host::SetValue(ZelkPref::ApplicationDomain, "FeatureToggle", "AllowDumpingUnpublishedData",
                                 "true");
    }
    IO::fileSystem.SetSpecialLocation(IO::ReleaseToggleOverridesFolder,
                                      IO::Location(options.overrideFolder.c_str()));
}

bool LoadModules(const fs::path& programFolder, std::vector<LoadedModule>& modules) {
    for (const char* name : moduleNames) {
        const fs::path path = programFolder / ModuleLoader::ModuleFileName(name);
        ModuleLoader::LoadedModule library(path);
        if (!library.IsLoaded()) {
            std::fprintf(stderr, "Cannot load module %s: %s\n", Utf8FromPath(path).c_str(),
                         library.GetError().c_str());
            return false;
        }
        using EntryPoint = const ExampleModule* (*)();
        auto entryPoint = library.FindFunction<EntryPoint>(EXAMPLE_MODULE_ENTRY_POINT);
        if (entryPoint == nullptr) {
            std::fprintf(stderr, "Module %s has no entry point %s\n", Utf8FromPath(path).c_str(),
                         EXAMPLE_MODULE_ENTRY_POINT);
            return false;
        }
        const ExampleModule* module = entryPoint();
        modules.push_back({std::move(library), module});
        std::fprintf(textOut, "Loaded module %s: %zu toggles\n", modules.back().module->name,
                     modules.back().module->toggleCount);
    }
    return true;
}

void PrintStartupOverrides(const char* label, const FeatureToggle::StartupOverrideSource& source) {
    const auto join = [](const std::vector<std::string>& names) {
        std::string text;
        for (const std::string& name : names) {
            text += (text.empty() ? "" : ", ") + name;
        }
        return text;
    };
    if (!source.enabled.empty()) {
        std::fprintf(textOut, "  %-8s enables %s\n", label, join(source.enabled).c_str());
    }
    if (!source.disabled.empty()) {
        std::fprintf(textOut, "  %-8s disables %s\n", label, join(source.disabled).c_str());
    }
    if (!source.givenBothWays.empty()) {
        std::fprintf(textOut, "  %-8s both enables and disables, so disables, %s\n", label,
                     join(source.givenBothWays).c_str());
    }
}

void LoadReleaseToggleOverrides(const std::vector<std::string>& arguments) {
    // Beside the file: the command line, then the environment, which the host opts in to. The
    // arguments are UTF-8, as the platform reads them, so that no name is lost to a code page.
    std::vector<const char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(argument.c_str());
    }
    FeatureToggle::ReadToggleOverridesFromCommandLine(static_cast<int>(argv.size()), argv.data());
    FeatureToggle::ReadToggleOverridesFromEnvironment();
    FeatureToggle::ReleaseToggle::LoadReleaseToggleCustomStatusFromConfigFile();
    std::fflush(textOut);

    const FeatureToggle::ReleaseOverrideLoadOutcome outcome = FeatureToggle::GetReleaseOverrideLoadOutcome();
    std::fprintf(textOut, "\nRelease toggle overrides\n");
    std::fprintf(textOut, "  folder:  %s\n",
                 outcome.folder.empty() ? "(none: no override folder is set)" : outcome.folder.c_str());
    std::fprintf(textOut, "  file:    %s (%s)\n", outcome.file.c_str(),
                 outcome.fileExists ? "found" : "not found");
    std::fprintf(textOut, "  applied: %zu %s\n", outcome.entriesApplied,
                 outcome.entriesApplied == 1 ? "override" : "overrides");
    if (!outcome.unreadElement.empty()) {
        std::fprintf(textOut,
                     "  stopped: line %d: <%s> is not an override; the rest of the file is ignored\n",
                     outcome.unreadElementLine, outcome.unreadElement.c_str());
    }
    if (outcome.result != 0) {
        std::fprintf(textOut, "  failed:  %d", outcome.result);
        if (outcome.fault.line > 0) {
            std::fprintf(textOut, ", line %d", outcome.fault.line);
        }
        std::fprintf(textOut, ": %s\n", outcome.reason.c_str());
    }
    PrintStartupOverrides("command:", outcome.commandLine);
    PrintStartupOverrides("environ:", outcome.environment);
    for (const std::string& name : outcome.unmatchedStartupOverrides) {
        std::fprintf(textOut, "  unknown: %s names no release toggle\n", name.c_str());
    }
}

void ShowToggles(const std::vector<LoadedModule>& modules) {
    for (const LoadedModule& loaded : modules) {
        std::fprintf(textOut, "\nModule %s:\n", loaded.module->name);
        for (std::size_t i = 0; i < loaded.module->toggleCount; ++i) {
            const ExampleModuleToggle& entry = loaded.module->toggles[i];
            std::fprintf(textOut, "  %-8s %-34s %-9s %s\n",
                         FeatureToggle::GetToggleKindName(FeatureToggle::GetToggleKind(*entry.toggle)),
                         entry.name, FeatureToggle::IsToggleEnabled(*entry.toggle) ? "enabled" : "disabled",
                         FeatureToggle::GetToggleDescription(*entry.toggle));
        }
    }
}

void WriteToggleListJson() {
    nlohmann::ordered_json toggles = nlohmann::ordered_json::array();
    for (const FeatureToggle::LiveToggleRecord& record : FeatureToggle::ListLiveToggles()) {
        toggles.push_back({
            {"kind", FeatureToggle::GetToggleKindName(record.kind)},
            {"name", record.name},
            {"displayName", record.displayName},
            {"default", FeatureToggle::GetStatusName(record.defaultStatus)},
            {"defaultsDisagree", record.defaultsDisagree},
            {"status", FeatureToggle::GetStatusName(record.currentStatus)},
            {"queried", record.wasQueried},
            {"overriddenByFile", record.overriddenByFile},
            {"overriddenByTest", record.overriddenByTest},
            {"source", FeatureToggle::GetToggleStatusSourceName(record.source)},
            {"description", record.description},
        });
    }
    std::fputs((toggles.dump(2) + "\n").c_str(), stdout);
}

// The names featuretoggle-check takes with --known-toggles.
bool WriteKnownToggles(const fs::path& file) {
    std::ofstream out(file);
    for (const FeatureToggle::LiveToggleRecord& record : FeatureToggle::ListLiveToggles()) {
        if (record.kind == FeatureToggle::ToggleKind::Release) {
            out << record.name << '\n';
        }
    }
    out.close();
    if (!out) {
        std::fprintf(stderr, "Cannot write %s\n", Utf8FromPath(file).c_str());
        return false;
    }
    return true;
}

void WriteToggleReport() {
    FeatureToggle::DumpToggleInfo(
        [](const Zelk::UniString& line) { std::fprintf(textOut, "%s\n", line.ToCStr()); });
}

// Unloading a module destroys its toggles, which leave the registry.
void UnloadModules(std::vector<LoadedModule>& modules) {
    while (!modules.empty()) {
        modules.back().library.Unload();
        modules.pop_back();
    }
}

}  // namespace

int main(int argc, char** argv) {
    const fs::path programFolder = ModuleLoader::GetProgramFolder();

    Options options;
    int exitCode = 0;
    const std::vector<std::string> arguments = IO::GetProgramArguments(argc, argv);
    if (!ParseOptions(arguments, programFolder, options, exitCode)) {
        return exitCode;
    }
    if (options.listTogglesJson) {
        textOut = stderr;
    }

    std::fprintf(textOut, "FeatureToggle example host\n");
    std::fprintf(textOut, "Override folder: %s\nPreference file: %s\n\n",
                 ZelkPaths::ToValidUtf8(options.overrideFolder).c_str(),
                 Utf8FromPath(options.preferenceFile).c_str());
    SetUpPlatform(options);

    std::vector<LoadedModule> modules;
    if (!LoadModules(programFolder, modules)) {
        UnloadModules(modules);
        return 1;
    }
    LoadReleaseToggleOverrides(arguments);
    ShowToggles(modules);
    if (!options.knownTogglesFile.empty() && !WriteKnownToggles(options.knownTogglesFile)) {
        exitCode = 1;
    }
    if (options.listTogglesJson) {
        WriteToggleListJson();
    } else {
        WriteToggleReport();
    }
    UnloadModules(modules);
    return exitCode;
}
