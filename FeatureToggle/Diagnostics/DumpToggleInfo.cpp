#include "FeatureToggle/Diagnostics/DumpToggleInfo.hpp"

#include <algorithm>

#include "FeatureToggle/Diagnostics/Internal/ToggleInfo.hpp"
#include "FeatureToggle/Evaluation/Internal/ReleaseEvaluator.hpp"
#include "FeatureToggle/Registry/Internal/ToggleRegistry.hpp"
#include "ZelkRoot/Containers.hpp"
#include "ZelkRoot/Preferences.hpp"
#include "ZelkRoot/Strings.hpp"
#include "ZelkRoot/Templates.hpp"

namespace FeatureToggle {

namespace {

// Taken by value throughout: every section writes through a copy of its own.
using LineWriter = std::function<void(const Zelk::UniString&)>;

Zelk::UniString FixedLine(const char* text) {
    return Zelk::UniString(text, Zelk::CC_UTF8);
}

void WriteBlankLine(LineWriter writeLine) {
    writeLine(FixedLine(""));
}

void WriteTitle(LineWriter writeLine) {
    writeLine(FixedLine("F E A T U R E   T O G G L E   R E P O R T"));
    writeLine(FixedLine("========================================="));
}

void WriteOverrideFilePath(LineWriter writeLine, const FileBasedToggleStatusEvaluator& evaluator) {
    writeLine(FixedLine("Config file for [Release] toggles:"));
    const Zelk::Optional<IO::Location> xmlPath = evaluator.GetXMLPath();
    if (xmlPath.HasValue()) {
        writeLine("    " + xmlPath.Get().ToDisplayText());
    } else {
        writeLine(FixedLine("    No loaded config file"));
    }
}

// The identities of the file's entries that no live toggle has, in the order of the set.
Zelk::Array<ToggleId> FindUnmatchedFileIds(const FileBasedToggleStatusEvaluator& evaluator) {
    Zelk::HashSet<ToggleId> fileIds;
    evaluator.EnumerateMappedToggleIds([&fileIds](const ToggleId& id, ToggleStatus) { fileIds.Add(id); });
    const Zelk::HashSet<ToggleId> liveIds = ToggleRegistry::GetInstance().GetRegisteredToggleIds();

    Zelk::Array<ToggleId> unmatched;
    for (const ToggleId& id : fileIds) {
        if (!liveIds.Contains(id)) {
            unmatched.Push(id);
        }
    }
    return unmatched;
}

void WriteUnmatchedFileIds(LineWriter writeLine, const Zelk::Array<ToggleId>& unmatched) {
    if (unmatched.IsEmpty()) {
        return;
    }
    writeLine(
        FixedLine("Warning! The following toggle names in the config file are not associated with any "
                  "currently existing toggles."));
    writeLine(FixedLine("They do not toggle anything."));
    for (const ToggleId& id : unmatched) {
        writeLine(Zelk::UniString::Printf("    - %s", id.GetDisplayString().ToCStr()));
    }
}

// Toggles whose default is not overridden are unpublished unless the preference allows them.
Zelk::Array<ToggleInfo> FilterToggleInfos(Zelk::Array<ToggleInfo> infos) {
    const bool allowUnpublished = ZelkPref::GetBoolValue("FeatureToggle", "AllowDumpingUnpublishedData",
                                                         false, ZelkPref::IRoot::NoWriteBack);
    if (allowUnpublished) {
        return infos;
    }
    Zelk::Array<ToggleInfo> published;
    for (ToggleInfo& info : infos) {
        if (info.isDefaultValueOverridden) {
            published.Push(std::move(info));
        }
    }
    return published;
}

// A record with its display string, made once: sorting compares its lower-cased form, and the
// row prints it.
struct ReportRow {
    Zelk::String sortKey;
    Zelk::String displayString;
    const ToggleInfo* info;
};

// Ascending by the lower-cased display string; rows whose keys are equal come in any order.
Zelk::Array<ReportRow> SortToggleInfos(const Zelk::Array<ToggleInfo>& infos) {
    Zelk::Array<ReportRow> rows;
    rows.EnsureCapacity(infos.GetSize());
    for (const ToggleInfo& info : infos) {
        Zelk::String displayString = info.toggleId.GetDisplayString();
        Zelk::String sortKey = displayString.ToLowerCase();
        rows.Push(ReportRow{std::move(sortKey), std::move(displayString), &info});
    }
    std::sort(rows.begin(), rows.end(),
              [](const ReportRow& left, const ReportRow& right) { return left.sortKey < right.sortKey; });
    return rows;
}

void WriteToggleRow(LineWriter writeLine, const ReportRow& row) {
    const ToggleInfo& info = *row.info;
    const bool showOverride =
        info.isDefaultValueOverridden || info.currentStatus != ToStatus(info.defaultStatus);
    writeLine(Zelk::UniString::Printf("  %-65s%-9s%-9s%-9s", row.displayString.ToCStr(),
                                      info.wasQueried ? "Yes" : "No", GetStatusName(info.defaultStatus),
                                      showOverride ? GetStatusName(info.currentStatus) : "-"));
}

void WriteToggleTable(LineWriter writeLine) {
    writeLine(FixedLine(
        "Feature Toggle                                                     Queried  Default  Override"));
    writeLine(FixedLine(
        "-----------------------------------------------------------------------------------------------"));

    const Zelk::Array<ToggleInfo> infos = FilterToggleInfos(ToggleInfo::CollectLiveToggles());
    const Zelk::Array<ReportRow> rows = SortToggleInfos(infos);

    for (const ReportRow& row : rows) {
        WriteToggleRow(writeLine, row);
    }
    WriteBlankLine(writeLine);
    writeLine(Zelk::UniString::Printf("   Number of registered toggles: %u",
                                      static_cast<unsigned>(infos.GetSize())));
}

}  // namespace

void DumpToggleInfo(std::function<void(const Zelk::UniString&)> writeLine) {
    const FileBasedToggleStatusEvaluator& evaluator = GetReleaseToggleStatusEvaluator();

    WriteBlankLine(writeLine);
    WriteTitle(writeLine);
    WriteBlankLine(writeLine);
    WriteOverrideFilePath(writeLine, evaluator);
    WriteBlankLine(writeLine);
    WriteUnmatchedFileIds(writeLine, FindUnmatchedFileIds(evaluator));
    WriteBlankLine(writeLine);
    WriteToggleTable(writeLine);
    WriteBlankLine(writeLine);
}

}  // namespace FeatureToggle
