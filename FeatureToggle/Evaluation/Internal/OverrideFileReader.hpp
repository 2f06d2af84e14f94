// The override file loads of FileBasedToggleStatusEvaluator, keeping what the reader met on the
// way: why it gave up, where it stopped, and, for featuretoggle-check, where each entry came from.
#pragma once

#include <string>
#include <vector>

#include "FeatureToggle/Evaluation/FileBasedToggleStatusEvaluator.hpp"
#include "FeatureToggle/Evaluation/OverrideFileFault.hpp"
#include "ZelkRoot/XMLInput.hpp"

namespace FeatureToggle {

struct OverrideFileReadRecord {
    // Where an entry of the table came from.
    struct EntrySource {
        std::string toggleName;
        int line = 0;
        std::string statusText;  // as written
    };

    // Set by the caller: keep `entries` too (the load itself needs only the lines).
    bool keepEntrySources = false;

    bool fileExists = false;
    OverrideFileReadFault fault;
    // The element of another name at which reading stopped without a fault, and its line.
    std::string unreadElement;
    int unreadElementLine = 0;
    // One line per entry added, in table order.
    std::vector<int> entryLines;
    std::vector<EntrySource> entries;
};

// A MalformedDocument fault from the first error the channel's parser recorded.
OverrideFileReadFault ReadParserFault(const Zelk::XMLIChannel& channel);

class OverrideFileReader {
public:
    static int ReadFromXMLFileIfExists(FileBasedToggleStatusEvaluator& evaluator,
                                       const IO::Location& location, OverrideFileReadRecord& record) {
        return evaluator.LoadFile(location, &record);
    }
    static int ReadFromXMLChannel(FileBasedToggleStatusEvaluator& evaluator, Zelk::XMLIChannel& channel,
                                  OverrideFileReadRecord& record) {
        return evaluator.LoadChannel(channel, &record);
    }
};

}  // namespace FeatureToggle
