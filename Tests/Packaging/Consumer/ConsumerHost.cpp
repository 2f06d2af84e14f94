// A small application built against an installed FeatureToggle; README's "Using it" shows its
// parts. Run with the folder of its configuration files, it exits 0 when the toggles say what
// those files set.
#include <cstdio>
#include <string>

#include "FeatureToggle/Diagnostics/DumpToggleInfo.hpp"
#include "FeatureToggle/FeatureToggle.hpp"
#include "FeatureToggle/Toggles/ReleaseOverrideLoadOutcome.hpp"
#include "Fenlo.hpp"
#include "ZelkRoot/ErrorReports.hpp"
#include "ZelkRoot/Log.hpp"
#include "ZelkRoot/Preferences.hpp"
#include "ZelkRoot/Strings.hpp"

// In a module: toggles are static objects, declared next to the feature they guard.
namespace {

// Off unless the override file switches it on.
FeatureToggle::ReleaseToggle newImporter("NewImporter", FeatureToggle::ToggleDefaultStatus::Disabled);
// The boolean preference ShowFrameRate under Debug/Rendering; off when it is not set.
FeatureToggle::DebugToggle showFrameRate("Debug/Rendering", "ShowFrameRate");

}  // namespace

const char* ChooseImporter() {
    return FeatureToggle::IsToggleEnabled(newImporter) ? "new importer" : "old importer";
}

// In the host, at start-up, before any toggle is queried.
void StartUp(const std::string& configFolder) {
    // Where log entries and error reports go (by default: standard error).
    Zelk::logger.SetSink([](const char* entry) { std::printf("log: %s\n", entry); });
    BugRep_SetHandler(
        [](const char* message, Zelk::UInt32) { std::fprintf(stderr, "error: %s\n", message); });
    // The preferences that debug toggles read.
    ZelkPref::Host::LoadPreferenceFile((configFolder + "/Preferences.xml").c_str());
    // The folder of ReleaseToggleOverrides.xml; then the one load of the process.
    IO::fileSystem.SetSpecialLocation(IO::ReleaseToggleOverridesFolder, IO::Location(configFolder.c_str()));
    FeatureToggle::ReleaseToggle::LoadReleaseToggleCustomStatusFromConfigFile();
    // What the load found: where it looked, and why it failed if it did.
    const FeatureToggle::ReleaseOverrideLoadOutcome outcome = FeatureToggle::GetReleaseOverrideLoadOutcome();
    std::printf("Overrides: %s, %zu applied%s%s\n", outcome.file.c_str(), outcome.entriesApplied,
                outcome.result != 0 ? ": " : "", outcome.reason.c_str());
}

// The toggle report, one line at a time, wherever the host wants it.
void WriteToggleReport() {
    FeatureToggle::DumpToggleInfo([](const Zelk::UniString& line) { std::printf("%s\n", line.ToCStr()); });
}

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "Usage: %s CONFIG_FOLDER\n", argv[0]);
        return 2;
    }
    StartUp(argv[1]);
    std::printf("Importing with the %s\n", ChooseImporter());
    const bool frameRateShown = FeatureToggle::IsToggleEnabled(showFrameRate);
    std::printf("Frame rate %s\n", frameRateShown ? "shown" : "hidden");
    WriteToggleReport();
    return FeatureToggle::IsToggleEnabled(newImporter) && frameRateShown ? 0 : 1;
}
