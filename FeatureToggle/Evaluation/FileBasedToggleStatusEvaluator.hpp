#pragma once

#include "FeatureToggle/Evaluation/MappingBasedToggleStatusEvaluator.hpp"
#include "FeatureToggle/FeatureToggleExport.hpp"
#include "Fenlo.hpp"
#include "ZelkRoot/Strings.hpp"
#include "ZelkRoot/Templates.hpp"
#include "ZelkRoot/Types.hpp"
#include "ZelkRoot/XMLInput.hpp"

namespace FeatureToggle {

struct OverrideFileReadRecord;

// An evaluator filled, once, from an override file:
//
//   <ReleaseToggleOverrides>
//     <OverriddenValue toggleName="NewImporter" status="Enabled"/>
//   </ReleaseToggleOverrides>
//
// Each entry's identity is the evaluator's kind name and the toggleName. The load operations
// return 0 for success (a missing file included) and -7003 for every failure; a failed load
// keeps the entries read before the fault.
class FEATURETOGGLE_EXPORT FileBasedToggleStatusEvaluator : public MappingBasedToggleStatusEvaluator {
public:
    // What both loads return for every failure, whatever the platform said.
    static constexpr int LoadFailed = Zelk::ErrorInvalidData;

    explicit FileBasedToggleStatusEvaluator(const Zelk::String& name);
    FileBasedToggleStatusEvaluator(const FileBasedToggleStatusEvaluator& other);
    ~FileBasedToggleStatusEvaluator() override;

    // Loads the file at `location` if something is there.
    int ReadFromXMLFileIfExists(const IO::Location& location);
    // Loads from a channel the caller opened; the path stays empty.
    int ReadFromXMLChannel(Zelk::XMLIChannel& channel);
    // The same loads, also keeping in `record` what the reader met on the way. The record is the
    // library's own (the load of the release toggles, featuretoggle-check).
    int ReadFromXMLFileIfExists(const IO::Location& location, OverrideFileReadRecord& record);
    int ReadFromXMLChannel(Zelk::XMLIChannel& channel, OverrideFileReadRecord& record);

    // The location of the file that was opened, even if reading it then failed.
    Zelk::Optional<IO::Location> GetXMLPath() const;
    // True once a load was attempted, whatever its outcome.
    bool IsContentLoadExecuted() const;

private:
    // A null record keeps nothing.
    int LoadFile(const IO::Location& location, OverrideFileReadRecord* record);
    int LoadChannel(Zelk::XMLIChannel& channel, OverrideFileReadRecord* record);

    int ReadXML(Zelk::XMLIChannel& channel);
    int ReadXML(Zelk::XMLIChannel& channel, OverrideFileReadRecord* record);
    int ReadOverriddenValue(Zelk::XMLIChannel& channel, OverrideFileReadRecord* record);

    Zelk::Optional<IO::Location> xmlPath;
    bool contentLoadExecuted;
    Zelk::String kindName;
};

}  // namespace FeatureToggle
