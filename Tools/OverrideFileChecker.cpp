#include "OverrideFileChecker.hpp"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <utility>
#include <vector>

#include "FeatureToggle/Evaluation/FileBasedToggleStatusEvaluator.hpp"
#include "FeatureToggle/Identity/FileBasedToggleIdData.hpp"
#include "RecordingXMLIChannel.hpp"
#include "ZelkXMLUtils.hpp"

namespace FeatureToggleCheck {

namespace {

constexpr const char* TopElement = "ReleaseToggleOverrides";
constexpr const char* OverrideElement = "OverriddenValue";

std::string Quoted(const std::string& text) {
    return '"' + text + '"';
}

std::string CountOfEntries(std::size_t count) {
    return std::to_string(count) + (count == 1 ? " entry" : " entries");
}

bool HasOuterWhiteSpace(const std::string& name) {
    Zelk::UniString trimmed(name.c_str());
    trimmed.Trim();
    return trimmed.GetLength() != name.size();
}

}  // namespace

OverrideFileChecker::Verdict OverrideFileChecker::Check(const std::filesystem::path& path,
                                                        const std::string& displayName, std::ostream& out) {
    OverrideFileChecker checker(displayName, out);
    return checker.Read(path);
}

OverrideFileChecker::OverrideFileChecker(const std::string& displayName, std::ostream& out)
    : displayName(displayName), out(out) {}

OverrideFileChecker::Verdict OverrideFileChecker::Read(const std::filesystem::path& path) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (!std::filesystem::exists(status)) {
        At(0) << "error: no such file\n";
        return Verdict::Unreadable;
    }
    if (!std::filesystem::is_regular_file(status)) {
        At(0) << "error: not a regular file\n";
        return Verdict::Unreadable;
    }
    const std::unique_ptr<Zelk::XMLIChannel> channel(
        ZelkXML::CreateXMLIChannel(IO::Location(path), Zelk::TopLevelTagRequired, ZelkXML::ReturnErrorCodes));
    if (channel == nullptr) {
        At(0) << "error: cannot be opened for reading\n";
        return Verdict::Unreadable;
    }
    fileIsEmpty = std::filesystem::file_size(path, error) == 0;

    RecordingXMLIChannel recording(*channel);
    FeatureToggle::FileBasedToggleStatusEvaluator evaluator("Release");
    const int result = evaluator.ReadFromXMLChannel(recording);
    const std::size_t count = PrintEntries(evaluator, recording);

    if (result != 0) {
        ExplainRejection(recording);
        At(0) << "invalid: the library reports \"Invalid Release Toggle override file\" and applies "
              << (count == 0 ? "none of it" : "only the " + CountOfEntries(count) + " above") << '\n';
        return Verdict::Invalid;
    }
    // The reader accepts a file when it meets the end of the top element, or an element of another
    // name: it never reads what follows that element, however broken.
    const std::optional<RecordingXMLIChannel::TagRead>& peek = recording.GetLastPeek();
    bool wellFormed = true;
    if (peek.has_value() && peek->result == 1) {
        wellFormed = ReportIgnoredRest(recording);
    } else if (peek.has_value() && peek->result != 2) {
        ReportMalformed(recording);
        wellFormed = false;
    }
    if (!wellFormed) {
        At(0) << "invalid: the library applies "
              << (count == 0 ? "nothing" : "the " + CountOfEntries(count) + " above")
              << " and ignores the rest without reporting it\n";
        return Verdict::Invalid;
    }
    At(0) << "valid, " << CountOfEntries(count) << '\n';
    return Verdict::Valid;
}

std::size_t OverrideFileChecker::PrintEntries(const FeatureToggle::FileBasedToggleStatusEvaluator& evaluator,
                                              const RecordingXMLIChannel& channel) {
    std::vector<std::pair<std::string, FeatureToggle::ToggleStatus>> entries;
    evaluator.EnumerateMappedToggleIds(
        [&entries](const FeatureToggle::ToggleId& id, FeatureToggle::ToggleStatus status) {
            const auto* data = dynamic_cast<const FeatureToggle::FileBasedToggleIdData*>(id.GetData());
            entries.emplace_back(data != nullptr ? data->GetIdString().ToCStr() : "", status);
        });

    for (const auto& [name, status] : entries) {
        // The element the entry came from: the first of that name, since a second one fails.
        int line = 0;
        std::string written;
        for (const RecordingXMLIChannel::Element& element : channel.GetEnteredElements()) {
            const RecordingXMLIChannel::Attribute* toggleName = element.FindAttribute("toggleName");
            if (toggleName != nullptr && toggleName->readResult == 0 && toggleName->value == name) {
                line = element.line;
                if (const RecordingXMLIChannel::Attribute* text = element.FindAttribute("status")) {
                    written = text->value;
                }
                break;
            }
        }
        const char* statusName = FeatureToggle::GetStatusName(status);
        At(line) << Quoted(name) << ' ' << statusName;
        const auto value = static_cast<std::int32_t>(status);
        if (value != 0 && value != 1) {
            out << " (written " << Quoted(written) << ": only the value 1 is Enabled)";
        } else if (written != statusName) {
            out << " (written " << Quoted(written) << ')';
        }
        out << '\n';
        if (HasOuterWhiteSpace(name)) {
            At(line) << "warning: the toggle name " << Quoted(name)
                     << " begins or ends with white space, which is part of the name\n";
        }
    }
    return entries.size();
}

void OverrideFileChecker::ExplainRejection(const RecordingXMLIChannel& channel) {
    const std::optional<RecordingXMLIChannel::TagRead>& start = channel.GetStartTag();
    if (!start.has_value() || start->result != 1) {
        if (fileIsEmpty) {
            At(0) << "error: the file is empty\n";
            return;
        }
        ReportMalformed(channel);
        return;
    }
    if (start->name != TopElement) {
        At(start->line) << "error: the top element is <" << start->name << ">; it must be <" << TopElement
                        << ">\n";
        return;
    }
    // A peek that finds neither an element nor the end: the document cannot be read further.
    const std::optional<RecordingXMLIChannel::TagRead>& peek = channel.GetLastPeek();
    if (peek.has_value() && peek->result != 1 && peek->result != 2) {
        ReportMalformed(channel);
        return;
    }
    const std::vector<RecordingXMLIChannel::Element>& elements = channel.GetEnteredElements();
    if (elements.empty()) {
        At(start->line) << "error: the library rejects the file here\n";
        return;
    }
    // The reader gives up inside the last element it entered.
    const RecordingXMLIChannel::Element& element = elements.back();
    const RecordingXMLIChannel::Attribute* toggleName = element.FindAttribute("toggleName");
    if (toggleName == nullptr || toggleName->present != true) {
        At(element.line) << "error: <" << OverrideElement << "> has no toggleName attribute\n";
        return;
    }
    if (toggleName->readResult != 0) {
        At(element.line) << "error: the toggleName attribute cannot be read\n";
        return;
    }
    const std::string& name = toggleName->value;
    if (!Zelk::UniString(name.c_str()).IsASCII()) {
        At(element.line) << "error: the toggle name " << Quoted(name)
                         << " has characters outside ASCII, which toggle names cannot have\n";
        return;
    }
    const RecordingXMLIChannel::Attribute* status = element.FindAttribute("status");
    if (status == nullptr) {
        // The reader looks for the status only once it knows the name is new.
        At(element.line) << "error: the toggle name " << Quoted(name) << " appears a second time";
        for (const RecordingXMLIChannel::Element& earlier : elements) {
            const RecordingXMLIChannel::Attribute* earlierName = earlier.FindAttribute("toggleName");
            if (&earlier != &element && earlierName != nullptr && earlierName->value == name) {
                out << " (first at line " << earlier.line << ')';
                break;
            }
        }
        out << '\n';
        return;
    }
    if (status->present != true) {
        At(element.line) << "error: the override of " << Quoted(name) << " has no status attribute\n";
        return;
    }
    if (status->readResult != 0) {
        At(element.line) << "error: the status attribute of " << Quoted(name) << " cannot be read\n";
        return;
    }
    if (!element.recordedErrors.empty()) {
        At(element.line)
            << "error: the status " << Quoted(status->value) << " of " << Quoted(name)
            << " is not valid: write exactly one of Enabled, Disabled or a number (such as 0x1)\n";
        return;
    }
    At(element.line) << "error: the library rejects the file here\n";
}

bool OverrideFileChecker::ReportIgnoredRest(RecordingXMLIChannel& channel) {
    RecordingXMLIChannel::TagRead peek = *channel.GetLastPeek();
    At(peek.line) << "warning: <" << peek.name << "> is not <" << OverrideElement
                  << ">: the library stops reading here and ignores the rest of the file\n";
    for (;;) {
        if (!ReportIgnoredElement(channel, peek.name, peek.line)) {
            return false;
        }
        Zelk::UniString next;
        const int result = channel.PeekNextTagName(next);
        if (result == 2) {
            return true;
        }
        if (result != 1) {
            ReportMalformed(channel);
            return false;
        }
        peek = *channel.GetLastPeek();
    }
}

// Walks the element the channel has just peeked at, and everything in it.
bool OverrideFileChecker::ReportIgnoredElement(RecordingXMLIChannel& channel, const std::string& name,
                                               int line) {
    const Zelk::XMLITag tag(channel, name.c_str());
    if (!tag.IsEntered()) {
        ReportMalformed(channel);
        return false;
    }
    if (name == OverrideElement) {
        Zelk::UniString toggleName;
        if (channel.ReadAttribute("toggleName", toggleName) == 0) {
            At(line) << "warning: the override of " << Quoted(toggleName.ToCStr()) << " is ignored\n";
        }
    }
    for (;;) {
        Zelk::UniString child;
        const int result = channel.PeekNextTagName(child);
        if (result == 2) {
            return true;
        }
        if (result != 1) {
            ReportMalformed(channel);
            return false;
        }
        if (!ReportIgnoredElement(channel, child.ToCStr(), channel.GetLastPeek()->line)) {
            return false;
        }
    }
}

void OverrideFileChecker::ReportMalformed(const RecordingXMLIChannel& channel) {
    const std::vector<std::string> errors = channel.GetParserErrors();
    if (errors.empty()) {
        At(0) << "error: the file has no top element\n";
        return;
    }
    // The channel starts each parser message with "line N: "; the first message is the cause.
    std::string message = errors.front();
    int line = 0;
    if (message.rfind("line ", 0) == 0) {
        char* end = nullptr;
        const long number = std::strtol(message.c_str() + 5, &end, 10);
        if (end != nullptr && end[0] == ':' && end[1] == ' ') {
            line = static_cast<int>(number);
            message.erase(0, static_cast<std::size_t>(end + 2 - message.c_str()));
        }
    }
    At(line) << "error: the file is not well-formed XML: " << message << '\n';
}

std::ostream& OverrideFileChecker::At(int line) {
    out << displayName;
    if (line > 0) {
        out << ':' << line;
    }
    return out << ": ";
}

}  // namespace FeatureToggleCheck
