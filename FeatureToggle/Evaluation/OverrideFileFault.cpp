#include "FeatureToggle/Evaluation/OverrideFileFault.hpp"

#include "FeatureToggle/Evaluation/Internal/OverrideFileFormat.hpp"

namespace FeatureToggle {

namespace {

std::string Quoted(const std::string& text) {
    return '"' + text + '"';
}

bool Contains(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

// The parser's faults that people meet most, in their words; the parser's own follow as a detail.
std::string DescribeMalformedDocument(const std::string& parserMessage) {
    if (parserMessage.empty()) {
        return "the file has no top element";
    }
    const std::string detail = " (XML parser: " + parserMessage + ")";
    if (Contains(parserMessage, "Document is empty") || Contains(parserMessage, "Start tag expected")) {
        return "the file is not XML at all" + detail;
    }
    if (Contains(parserMessage, "not proper UTF-8") || Contains(parserMessage, "Unsupported encoding") ||
        Contains(parserMessage, "encoding error")) {
        return "the file is not UTF-8: save it as UTF-8" + detail;
    }
    if (Contains(parserMessage, "Premature end") || Contains(parserMessage, "expected") ||
        Contains(parserMessage, "not finished") || Contains(parserMessage, "EndTag: '</' not found")) {
        return "the file ends early, before its XML is complete" + detail;
    }
    return "the file is not well-formed XML: " + parserMessage;
}

}  // namespace

std::string DescribeOverrideFileFault(const OverrideFileReadFault& fault) {
    using namespace OverrideFileFormat;
    const std::string name = Quoted(fault.toggleName);
    switch (fault.fault) {
        case OverrideFileFault::None:
            return {};
        case OverrideFileFault::AlreadyLoaded:
            return "the overrides were loaded before; a second load reads nothing";
        case OverrideFileFault::FileSystemQueryFailed:
            return "the file system cannot tell whether the file exists";
        case OverrideFileFault::LocationNotUtf8:
            return "the file's path is not valid UTF-8 text, so the file system cannot look it up";
        case OverrideFileFault::CannotOpen:
            return "the file cannot be opened for reading";
        case OverrideFileFault::MalformedDocument:
            return DescribeMalformedDocument(fault.parserMessage);
        case OverrideFileFault::WrongTopElement:
            return "the top element is <" + fault.topElement + ">; it must be <" + TopElement + ">";
        case OverrideFileFault::MissingToggleName:
            return std::string("<") + OverrideElement + "> has no " + ToggleNameAttribute + " attribute";
        case OverrideFileFault::UnreadableToggleName:
            return std::string("the ") + ToggleNameAttribute + " attribute cannot be read";
        case OverrideFileFault::NonAsciiToggleName:
            return "the toggle name " + name +
                   " has characters outside ASCII, which toggle names cannot have";
        case OverrideFileFault::DuplicateToggleName:
            return "the toggle name " + name + " appears a second time" +
                   (fault.firstLine > 0 ? " (first at line " + std::to_string(fault.firstLine) + ')' : "");
        case OverrideFileFault::MissingStatus:
            return "the override of " + name + " has no " + StatusAttribute + " attribute";
        case OverrideFileFault::UnreadableStatus:
            return std::string("the ") + StatusAttribute + " attribute of " + name + " cannot be read";
        case OverrideFileFault::InvalidStatus:
            return "the status " + Quoted(fault.statusText) + " of " + name +
                   " is not valid: write exactly one of Enabled, Disabled or a number (such as 0x1)";
    }
    return "the library rejects the file here";
}

}  // namespace FeatureToggle
