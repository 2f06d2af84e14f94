#include "OverrideFileChecker.hpp"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "FeatureToggle/Evaluation/FileBasedToggleStatusEvaluator.hpp"
#include "FeatureToggle/Evaluation/Internal/OverrideFileFormat.hpp"
#include "FeatureToggle/Evaluation/Internal/OverrideFileReader.hpp"
#include "FeatureToggle/Toggles/Internal/ReleaseOverrideLoad.hpp"
#include "ZelkRoot/Strings.hpp"
#include "ZelkRoot/Utf8Path.hpp"
#include "ZelkRoot/XMLInput.hpp"
#include "ZelkXMLUtils.hpp"

namespace FeatureToggleCheck {

namespace {

using namespace FeatureToggle::OverrideFileFormat;

std::string Quoted(const std::string& text) {
    return '"' + PrintableText(text) + '"';
}

std::string CountOf(std::size_t count, const char* one, const char* many) {
    return std::to_string(count) + ' ' + (count == 1 ? one : many);
}

std::string CountOfEntries(std::size_t count) {
    return CountOf(count, "entry", "entries");
}

bool HasOuterWhiteSpace(const std::string& name) {
    Zelk::UniString trimmed(name.c_str());
    trimmed.Trim();
    return trimmed.GetLength() != name.size();
}

std::size_t EditDistance(const std::string& from, const std::string& to) {
    std::vector<std::size_t> row(to.size() + 1);
    for (std::size_t j = 0; j < row.size(); ++j) {
        row[j] = j;
    }
    for (std::size_t i = 1; i <= from.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= to.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (from[i - 1] == to[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row.back();
}

}  // namespace

std::string PrintableText(const std::string& text) {
    constexpr char hexDigits[] = "0123456789ABCDEF";
    std::string printable;
    printable.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t start = at;
        char32_t codePoint = 0;
        if (!ZelkPaths::DecodeUtf8(text, at, codePoint)) {
            const auto byte = static_cast<unsigned char>(text[start]);
            printable += {'\\', 'x', hexDigits[byte >> 4], hexDigits[byte & 0xFU]};
        } else if (codePoint == '\n') {
            printable += "\\n";
        } else if (codePoint == '\r') {
            printable += "\\r";
        } else if (codePoint == '\t') {
            printable += "\\t";
        } else if (codePoint < 0x20 || codePoint == 0x7F) {
            printable += {'\\', 'x', hexDigits[codePoint >> 4], hexDigits[codePoint & 0xFU]};
        } else if (codePoint >= 0x80 && codePoint <= 0x9F) {
            printable += {'\\', 'u', '0', '0', hexDigits[codePoint >> 4], hexDigits[codePoint & 0xFU]};
        } else {
            printable.append(text, start, at - start);
        }
    }
    return printable;
}

std::string SuggestKnownName(const std::string& name, const std::set<std::string>& knownNames) {
    // A third of the name may be wrong, and at least two characters of a short one.
    const std::size_t limit = std::max<std::size_t>(2, name.size() / 3);
    std::string best;
    std::size_t bestDistance = limit + 1;
    for (const std::string& known : knownNames) {
        const std::size_t distance = EditDistance(name, known);
        if (distance < bestDistance) {
            best = known;
            bestDistance = distance;
        }
    }
    return best;
}

OverrideFileChecker::Verdict OverrideFileChecker::Check(const IO::Location& file,
                                                        const std::string& displayName,
                                                        const CheckOptions& options, std::ostream& out,
                                                        std::ostream& diagnostics) {
    OverrideFileChecker checker(displayName, options, out, diagnostics);
    return checker.Read(file);
}

OverrideFileChecker::OverrideFileChecker(const std::string& displayName, const CheckOptions& options,
                                         std::ostream& out, std::ostream& diagnostics)
    : displayName(PrintableText(displayName)), options(options), out(out), diagnostics(diagnostics) {}

OverrideFileChecker::Verdict OverrideFileChecker::Read(const IO::Location& file) {
    // Asked as the library asks, so that a file it cannot look at fails for the same reason here.
    bool exists = false;
    FeatureToggle::OverrideFileReadFault queryFault;
    queryFault.fault = FeatureToggle::QueryOverrideFileLocation(file, exists);
    if (queryFault.fault != FeatureToggle::OverrideFileFault::None) {
        Error(0) << FeatureToggle::DescribeOverrideFileFault(queryFault) << '\n';
        return Verdict::Unreadable;
    }
    if (!exists) {
        Error(0) << "no such file\n";
        return Verdict::Unreadable;
    }
    std::error_code error;
    if (!std::filesystem::is_regular_file(file.GetPath(), error)) {
        Error(0) << "not a regular file\n";
        return Verdict::Unreadable;
    }
    const std::unique_ptr<Zelk::XMLIChannel> channel(
        ZelkXML::CreateXMLIChannel(file, Zelk::TopLevelTagRequired, ZelkXML::ReturnErrorCodes));
    if (channel == nullptr) {
        Error(0) << "cannot be opened for reading\n";
        return Verdict::Unreadable;
    }
    const bool fileIsEmpty = std::filesystem::file_size(file.GetPath(), error) == 0;

    FeatureToggle::FileBasedToggleStatusEvaluator evaluator("Release");
    FeatureToggle::OverrideFileReadRecord record;
    record.keepEntrySources = true;
    const int result = evaluator.ReadFromXMLChannel(*channel, record);

    std::vector<FeatureToggle::ToggleStatus> statuses;
    evaluator.EnumerateMappedToggleIds(
        [&statuses](const FeatureToggle::ToggleId&, FeatureToggle::ToggleStatus status) {
            statuses.push_back(status);
        });
    for (std::size_t i = 0; i < record.entries.size() && i < statuses.size(); ++i) {
        const FeatureToggle::OverrideFileReadRecord::EntrySource& entry = record.entries[i];
        const char* statusName = FeatureToggle::GetStatusName(statuses[i]);
        At(out, entry.line) << Quoted(entry.toggleName) << ' ' << statusName;
        const auto value = static_cast<std::int32_t>(statuses[i]);
        if (value != 0 && value != 1) {
            out << " (written " << Quoted(entry.statusText) << ": only the value 1 is Enabled)";
        } else if (entry.statusText != statusName) {
            out << " (written " << Quoted(entry.statusText) << ')';
        }
        out << '\n';
        if (HasOuterWhiteSpace(entry.toggleName)) {
            Warning(entry.line) << "the toggle name " << Quoted(entry.toggleName)
                                << " begins or ends with white space, which is part of the name\n";
        }
        CheckKnownName(entry.toggleName, entry.line);
    }
    const std::size_t count = statuses.size();

    if (result != 0) {
        Error(fileIsEmpty ? 0 : record.fault.line)
            << (fileIsEmpty ? std::string("the file is empty")
                            : PrintableText(FeatureToggle::DescribeOverrideFileFault(record.fault)))
            << '\n';
        At(out, 0) << "invalid: the library reports " << Quoted(FeatureToggle::InvalidOverrideFileReport)
                   << " and applies "
                   << (count == 0 ? "none of it" : "only the " + CountOfEntries(count) + " above") << '\n';
        return Verdict::Invalid;
    }
    // The reader accepts a file when it meets the end of the top element, or an element of another
    // name: it never reads what follows that element, however broken.
    if (!record.unreadElement.empty() &&
        !ReportIgnoredRest(*channel, record.unreadElement, record.unreadElementLine)) {
        At(out, 0) << "invalid: the library applies "
                   << (count == 0 ? "nothing" : "the " + CountOfEntries(count) + " above")
                   << " and ignores the rest without reporting it\n";
        return Verdict::Invalid;
    }
    if (unknownNames > 0) {
        At(out, 0) << "invalid: " << CountOf(unknownNames, "toggle name matches", "toggle names match")
                   << " no toggle of the application\n";
        return Verdict::Invalid;
    }
    if (options.strict && warnings > 0) {
        At(out, 0) << "invalid: " << CountOf(warnings, "warning", "warnings") << " under --strict\n";
        return Verdict::Invalid;
    }
    At(out, 0) << "valid, " << CountOfEntries(count) << '\n';
    return Verdict::Valid;
}

void OverrideFileChecker::CheckKnownName(const std::string& name, int line) {
    if (options.knownToggles.empty() || options.knownToggles.count(name) != 0) {
        return;
    }
    ++unknownNames;
    Error(line) << "the toggle name " << Quoted(name) << " matches no toggle of the application";
    const std::string suggestion = SuggestKnownName(name, options.knownToggles);
    if (!suggestion.empty()) {
        diagnostics << "; did you mean " << Quoted(suggestion) << '?';
    }
    diagnostics << '\n';
}

bool OverrideFileChecker::ReportIgnoredRest(Zelk::XMLIChannel& channel, const std::string& name, int line) {
    Warning(line) << "<" << PrintableText(name) << "> is not <" << OverrideElement
                  << ">: the library stops reading here and ignores the rest of the file\n";
    // The reader only peeked at that element: the walk starts with it.
    return ReportIgnoredChildren(channel);
}

// Walks the children of the element the channel is in, and everything in them.
bool OverrideFileChecker::ReportIgnoredChildren(Zelk::XMLIChannel& channel) {
    const FeatureToggle::ChildWalkEnd end =
        FeatureToggle::WalkChildElements(channel, [this, &channel](const Zelk::UniString& child) {
            return ReportIgnoredElement(channel, child.ToCStr(), ZelkXML::GetCurrentLineNumber(channel));
        });
    if (end == FeatureToggle::ChildWalkEnd::Malformed) {
        ReportMalformed(channel);
    }
    return end == FeatureToggle::ChildWalkEnd::EndOfElement;
}

// Walks the element the channel has just peeked at, and everything in it.
bool OverrideFileChecker::ReportIgnoredElement(Zelk::XMLIChannel& channel, const std::string& name,
                                               int line) {
    const Zelk::XMLITag tag(channel, name.c_str());
    if (!tag.IsEntered()) {
        ReportMalformed(channel);
        return false;
    }
    if (name == OverrideElement) {
        Zelk::UniString toggleName;
        if (channel.ReadAttribute(ToggleNameAttribute, toggleName) == 0) {
            Warning(line) << "the override of " << Quoted(toggleName.ToCStr()) << " is ignored\n";
        }
    }
    return ReportIgnoredChildren(channel);
}

// The parser's words, read the way the library's reader reads them.
void OverrideFileChecker::ReportMalformed(const Zelk::XMLIChannel& channel) {
    const FeatureToggle::OverrideFileReadFault fault = FeatureToggle::ReadParserFault(channel);
    Error(fault.line) << PrintableText(FeatureToggle::DescribeOverrideFileFault(fault)) << '\n';
}

std::ostream& OverrideFileChecker::At(std::ostream& stream, int line) {
    stream << displayName;
    if (line > 0) {
        stream << ':' << line;
    }
    return stream << ": ";
}

std::ostream& OverrideFileChecker::Error(int line) {
    return At(diagnostics, line) << "error: ";
}

std::ostream& OverrideFileChecker::Warning(int line) {
    ++warnings;
    return At(diagnostics, line) << "warning: ";
}

}  // namespace FeatureToggleCheck
