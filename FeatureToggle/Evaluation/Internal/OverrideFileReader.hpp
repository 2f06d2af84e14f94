// What the override file reader of FileBasedToggleStatusEvaluator keeps on the way: why it gave
// up, where it stopped, and, for featuretoggle-check, where each entry came from.
#pragma once

#include <string>
#include <vector>

#include "FeatureToggle/Evaluation/FileBasedToggleStatusEvaluator.hpp"
#include "FeatureToggle/Evaluation/OverrideFileFault.hpp"
#include "ZelkRoot/XMLInput.hpp"

namespace FeatureToggle {

struct OverrideFileReadRecord : OverrideFileReadSummary {
    // Where an entry of the table came from.
    struct EntrySource {
        std::string toggleName;
        int line = 0;
        std::string statusText;  // as written
    };

    // Set by the caller: keep `entries` too (the load itself needs only the lines).
    bool keepEntrySources = false;

    // One line per entry added, in table order.
    std::vector<int> entryLines;
    std::vector<EntrySource> entries;
};

// Asks the file system whether a file is at `location`: None, with `exists` set, or the fault at
// which a load stops there. featuretoggle-check asks through it too, so both give one reason.
OverrideFileFault QueryOverrideFileLocation(const IO::Location& location, bool& exists);

// A MalformedDocument fault from the first error the channel's parser recorded.
OverrideFileReadFault ReadParserFault(const Zelk::XMLIChannel& channel);

enum class ChildWalkEnd {
    EndOfElement,
    Stopped,    // `visit` returned false
    Malformed,  // the document cannot be read further (malformed, truncated)
};

// Peeks at each child element of the element the channel is in, in document order, and hands its
// name to `visit`, which enters it with a Zelk::XMLITag, or returns false to stop before it. The
// reader and featuretoggle-check walk the file this one way.
template <typename Visit>
ChildWalkEnd WalkChildElements(Zelk::XMLIChannel& channel, Visit&& visit) {
    for (;;) {
        Zelk::UniString name;
        const int next = channel.PeekNextTagName(name);
        if (next == Zelk::XMLIChannel::EndOfElement) {
            return ChildWalkEnd::EndOfElement;
        }
        if (next != Zelk::XMLIChannel::StartTag) {
            return ChildWalkEnd::Malformed;
        }
        if (!visit(static_cast<const Zelk::UniString&>(name))) {
            return ChildWalkEnd::Stopped;
        }
    }
}

}  // namespace FeatureToggle
