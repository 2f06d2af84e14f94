// Checks a release toggle override file the way the library reads it, and says what it found:
// the entries the library would apply, the names it would ignore, and why it would reject the file.
#pragma once

#include <cstddef>
#include <ostream>
#include <set>
#include <string>
#include "ZelkRoot/XMLInput.hpp"

#include "Fenlo.hpp"

namespace Zelk {
class XMLIChannel;
}

namespace FeatureToggleCheck {

struct CheckOptions {
    // The toggle names of the application; empty: any name is taken as known.
    std::set<std::string> knownToggles;
    // Warnings make the file invalid.
    bool strict = false;
};

class OverrideFileChecker {
public:
    // Ordered by severity: the checker's exit code is the worst verdict among its files.
    enum class Verdict {
        Valid = 0,
        Invalid = 1,
        Unreadable = 2,
    };

    // Reads the file at `file` (called `displayName` in the output) with the library's reader.
    // Writes the entries and the verdict to `out`, the errors and warnings to `diagnostics`.
    static Verdict Check(const IO::Location& file, const std::string& displayName,
                         const CheckOptions& options, std::ostream& out, std::ostream& diagnostics);

private:
    OverrideFileChecker(const std::string& displayName, const CheckOptions& options, std::ostream& out,
                        std::ostream& diagnostics);

    Verdict Read(const IO::Location& file);
    // Once the reader stopped quietly at an element that is not an override, lists the overrides
    // it leaves unread. False if the rest of the document is malformed.
    bool ReportIgnoredRest(Zelk::XMLIChannel& channel, const std::string& name, int line);
    bool ReportIgnoredChildren(Zelk::XMLIChannel& channel);
    bool ReportIgnoredElement(Zelk::XMLIChannel& channel, const std::string& name, int line);
    void ReportMalformed(const Zelk::XMLIChannel& channel);
    void CheckKnownName(const std::string& name, int line);

    // The start of a line about `line` (0: about the whole file).
    std::ostream& At(std::ostream& stream, int line);
    std::ostream& Error(int line);
    std::ostream& Warning(int line);

    std::string displayName;
    const CheckOptions& options;
    std::ostream& out;
    std::ostream& diagnostics;
    std::size_t warnings = 0;
    std::size_t unknownNames = 0;
};

// `text` fit for one line of output: control characters (C0, DEL and C1) are written as escapes
// (\n, \t, \x7F, \u0085), and so is every byte that is not part of well-formed UTF-8.
std::string PrintableText(const std::string& text);

// The known name nearest to `name`, if one is near enough to be a likely misspelling.
std::string SuggestKnownName(const std::string& name, const std::set<std::string>& knownNames);

}  // namespace FeatureToggleCheck
