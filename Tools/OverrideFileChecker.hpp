// Checks a release toggle override file the way the library reads it, and says what it found:
// the entries the library would apply, the names it would ignore, and why it would reject the file.
#pragma once

#include <filesystem>
#include <ostream>
#include <string>

namespace FeatureToggle {
class FileBasedToggleStatusEvaluator;
}

namespace FeatureToggleCheck {

class RecordingXMLIChannel;

class OverrideFileChecker {
public:
    // Ordered by severity: the checker's exit code is the worst verdict among its files.
    enum class Verdict {
        Valid = 0,
        Invalid = 1,
        Unreadable = 2,
    };

    // Reads the file at `path` (called `displayName` in the output) with the library's reader and
    // writes to `out` one line per entry, warning and error, then a line with the verdict.
    static Verdict Check(const std::filesystem::path& path, const std::string& displayName,
                         std::ostream& out);

private:
    OverrideFileChecker(const std::string& displayName, std::ostream& out);

    Verdict Read(const std::filesystem::path& path);
    // Lists what the reader put in `evaluator`; returns the number of entries.
    std::size_t PrintEntries(const FeatureToggle::FileBasedToggleStatusEvaluator& evaluator,
                             const RecordingXMLIChannel& channel);
    // Says why the reader gave up, from what it asked of the channel.
    void ExplainRejection(const RecordingXMLIChannel& channel);
    // Once the reader stopped quietly at an element that is not an override, lists the overrides
    // it leaves unread. False if the rest of the document is malformed.
    bool ReportIgnoredRest(RecordingXMLIChannel& channel);
    bool ReportIgnoredElement(RecordingXMLIChannel& channel, const std::string& name, int line);
    void ReportMalformed(const RecordingXMLIChannel& channel);

    // The start of a message about `line` (0: about the whole file).
    std::ostream& At(int line);

    std::string displayName;
    std::ostream& out;
    bool fileIsEmpty = false;
};

}  // namespace FeatureToggleCheck
