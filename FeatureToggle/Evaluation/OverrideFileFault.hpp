// Why the reader of a release toggle override file gave up, for people: hosts show it after a
// failed load, featuretoggle-check prints it.
#pragma once

#include <string>

#include "FeatureToggle/FeatureToggleExport.hpp"

namespace FeatureToggle {

enum class OverrideFileFault {
    None,
    AlreadyLoaded,          // the evaluator had loaded before: nothing was read
    FileSystemQueryFailed,  // the file system could not tell whether the file exists
    LocationNotUtf8,        // the location was made from text that is not UTF-8: nothing to look at
    CannotOpen,
    MalformedDocument,  // the XML parser gave up (parserMessage), or there is no top element
    WrongTopElement,
    MissingToggleName,
    UnreadableToggleName,
    NonAsciiToggleName,
    DuplicateToggleName,
    MissingStatus,
    UnreadableStatus,
    InvalidStatus,
};

struct OverrideFileReadFault {
    OverrideFileFault fault = OverrideFileFault::None;
    // The line of the element at fault, or of the parser's error; 0 when it is about the whole file.
    int line = 0;
    std::string topElement;     // WrongTopElement
    std::string toggleName;     // the faults of an override element, once its name was read
    std::string statusText;     // InvalidStatus
    int firstLine = 0;          // DuplicateToggleName: the line of the name's first override
    std::string parserMessage;  // MalformedDocument: the XML parser's own words, on one line
};

// What a read of an override file met, as far as the host needs to know.
struct OverrideFileReadSummary {
    bool fileExists = false;
    // Why the read failed: fault.fault is None when it did not.
    OverrideFileReadFault fault;
    // The element of another name at which reading stopped, quietly, ignoring the rest; its line.
    std::string unreadElement;
    int unreadElementLine = 0;
};

// The fault in plain English, without the file name or the line: "the toggle name "X" appears a
// second time (first at line 3)". Empty for OverrideFileFault::None.
FEATURETOGGLE_EXPORT std::string DescribeOverrideFileFault(const OverrideFileReadFault& fault);

}  // namespace FeatureToggle
