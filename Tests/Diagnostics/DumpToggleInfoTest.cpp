#include "FeatureToggle/Diagnostics/DumpToggleInfo.hpp"
#include "FeatureToggle/Testing.hpp"
#include "FeatureToggle/Toggles/ReleaseOverrideLoadOutcome.hpp"
#include "Support/TestSupport.hpp"
#include "Support/ToggleTestAids.hpp"

using namespace FeatureToggle;
using namespace FeatureToggleTests;
using Strings = std::vector<std::string>;

namespace {

std::string Release(const std::string& name) {
    return "[Release]  name=\"" + name + "\"";
}

// A table row: the toggle padded to 65 characters, then the columns as written out.
std::string Row(const std::string& name, const std::string& columns) {
    const std::string shown = Release(name);
    return "  " + shown + std::string(shown.size() < 65 ? 65 - shown.size() : 0, ' ') + columns;
}

Strings ExpectedReport(const std::string& configLine, const Strings& unmatched, const Strings& rows) {
    Strings lines{"", "F E A T U R E   T O G G L E   R E P O R T", std::string(41, '='),
                  "", "Config file for [Release] toggles:",        configLine,
                  ""};
    if (!unmatched.empty()) {
        lines.push_back(
            "Warning! The following toggle names in the config file are not associated with any "
            "currently existing toggles.");
        lines.push_back("They do not toggle anything.");
        for (const std::string& name : unmatched) {
            lines.push_back("    - " + name);
        }
    }
    lines.insert(lines.end(), {"", "Feature Toggle" + std::string(53, ' ') + "Queried  Default  Override",
                               std::string(95, '-')});
    lines.insert(lines.end(), rows.begin(), rows.end());
    lines.insert(lines.end(), {"", "   Number of registered toggles: " + std::to_string(rows.size()), ""});
    return lines;
}

Strings DumpReport() {
    Strings lines;
    DumpToggleInfo([&lines](const Zelk::UniString& line) { lines.emplace_back(line.ToCStr()); });
    return lines;
}

void AllowUnpublishedData() {
    ZelkPref::Host::SetValue(ZelkPref::ApplicationDomain, "FeatureToggle", "AllowDumpingUnpublishedData",
                             "1");
}

// Loads `entries` as the release override file, swallowing reports and log; returns its config line.
std::string LoadOverrideFile(const TemporaryDirectory& folder, const std::string& entries) {
    folder.WriteFile("ReleaseToggleOverrides.xml",
                     "<ReleaseToggleOverrides>" + entries + "</ReleaseToggleOverrides>");
    ScopedOverrideFolder overrideFolder(folder.GetPath());
    ScopedLogCapture log;
    ErrorReporter::ReportGuard reports;
    ReleaseToggle::LoadReleaseToggleCustomStatusFromConfigFile();
    return std::string("    ") + folder.GetLocation("ReleaseToggleOverrides.xml").ToDisplayText().ToCStr();
}

}  // namespace

TEST(DumpToggleInfo, FileWithAnUnmatchedNameAndTogglesSharingIdentities) {
    ScopedPreferences preferences;
    TemporaryDirectory folder;
    ReleaseToggle known("Known", Off), queriedKnown("Known", Off), plain("Plain", Off),
        queriedPlain("Plain", Off);
    const std::string pathLine =
        LoadOverrideFile(folder, R"(<OverriddenValue toggleName="Known" status="Enabled"/>
        <OverriddenValue toggleName="Ghost" status="Disabled"/>)");
    IsToggleEnabled(queriedKnown);
    IsToggleEnabled(queriedPlain);

    // Unpublished toggles stay out until the preference allows them; it is read at each report.
    EXPECT_EQ(DumpReport(),
              ExpectedReport(pathLine, {Release("Ghost")}, {Row("Known", "Yes      Disabled Enabled  ")}));
    AllowUnpublishedData();
    EXPECT_EQ(DumpReport(), ExpectedReport(pathLine, {Release("Ghost")},
                                           {Row("Known", "Yes      Disabled Enabled  "),
                                            Row("Plain", "Yes      Disabled -        ")}));
}

// The entries before the fault stay; the load's outcome says where the fault is and why, with true
// lines past 65,535.
TEST(DumpToggleInfo, FileThatFailedToLoadStillShowsItsPath) {
    ScopedPreferences preferences;
    TemporaryDirectory folder;
    const std::string pathLine = LoadOverrideFile(
        folder, "\n  <OverriddenValue toggleName=\"Kept\" status=\"Enabled\"/>" + std::string(70000, '\n') +
                    "<OverriddenValue toggleName=\"Kept\" status=\"Disabled\"/>");
    EXPECT_EQ(DumpReport(), ExpectedReport(pathLine, {Release("Kept")}, {}));

    const ReleaseOverrideLoadOutcome outcome = GetReleaseOverrideLoadOutcome();
    EXPECT_EQ(outcome.result, -7003);
    EXPECT_EQ(outcome.entriesApplied, 1u);
    EXPECT_EQ(outcome.fault.fault, OverrideFileFault::DuplicateToggleName);
    EXPECT_EQ(outcome.fault.line, 70002);
    EXPECT_EQ(outcome.fault.firstLine, 2);
    EXPECT_EQ(outcome.reason, "the toggle name \"Kept\" appears a second time (first at line 2)");
}

TEST(DumpToggleInfo, RowsSortCaseInsensitivelyAndLongNamesPushTheColumns) {
    ScopedPreferences preferences;
    AllowUnpublishedData();
    ReleaseToggle beta("beta", ToggleDefaultStatus::Enabled);
    ReleaseToggle gamma("GAMMA", ToggleDefaultStatus::Disabled);
    ReleaseToggle alpha("Alpha", ToggleDefaultStatus::Disabled);
    ReleaseToggle last(std::string(47, 'z').c_str(), ToggleDefaultStatus::Disabled);
    ReleaseToggle wide(std::string(52, 'y').c_str(), ToggleDefaultStatus::Disabled);
    Testing::OverrideToggleValueGuard forced(gamma, ToggleStatus::Enabled);
    ReleaseToggle gammaTwin("GAMMA", ToggleDefaultStatus::Disabled);  // made forced, then queried
    IsToggleEnabled(gammaTwin);

    EXPECT_EQ(DumpReport(),
              ExpectedReport(
                  "    No loaded config file", {},
                  {
                      Row("Alpha", "No       Disabled -        "), Row("beta", "No       Enabled  -        "),
                      Row("GAMMA", "Yes      Disabled Enabled  "),
                      Row(std::string(52, 'y'), "No       Disabled -        "),
                      Row(std::string(47, 'z'), "No       Disabled -        "),  // exactly 65 wide
                  }));
}
