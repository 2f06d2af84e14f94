// Feeds any bytes to the override file reader and checks what must hold for every input: the
// result is 0 or -7003, every name kept is ASCII and unique, and a second load is refused and
// changes nothing. Crashes, leaks and undefined behaviour are the sanitizers' to find.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "FeatureToggle/Evaluation/FileBasedToggleStatusEvaluator.hpp"
#include "FeatureToggle/Identity/FileBasedToggleIdData.hpp"
#include "ZelkRoot/Strings.hpp"
#include "ZelkRoot/Templates.hpp"
#include "ZelkRoot/XMLInput.hpp"
#include "ZelkXMLUtils.hpp"

namespace {

using FeatureToggle::FileBasedToggleIdData;
using FeatureToggle::FileBasedToggleStatusEvaluator;
using FeatureToggle::ToggleId;
using FeatureToggle::ToggleStatus;
using Entries = std::vector<std::pair<std::string, ToggleStatus>>;

void Check(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "Broken: %s\n", what);
        std::abort();
    }
}

Entries EntriesOf(const FileBasedToggleStatusEvaluator& evaluator) {
    Entries entries;
    evaluator.EnumerateMappedToggleIds([&entries](const ToggleId& id, ToggleStatus status) {
        const auto& data = dynamic_cast<const FileBasedToggleIdData&>(*id.GetData());
        entries.emplace_back(std::string(data.GetIdString().ToCStr(), data.GetIdString().GetLength()),
                             status);
    });
    return entries;
}

std::unique_ptr<Zelk::XMLIChannel> Open(const std::uint8_t* data, std::size_t size) {
    return std::unique_ptr<Zelk::XMLIChannel>(
        ZelkXML::CreateXMLIChannelFromMemory(reinterpret_cast<const char*>(data), size));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::unique_ptr<Zelk::XMLIChannel> channel = Open(data, size);
    Check(channel != nullptr, "a document in memory always gets a channel");

    FileBasedToggleStatusEvaluator evaluator("Release");
    const int code = evaluator.ReadFromXMLChannel(*channel);
    Check(code == 0 || code == FileBasedToggleStatusEvaluator::LoadFailed, "the result is 0 or -7003");
    Check(evaluator.IsContentLoadExecuted(), "a load was attempted");
    Check(!evaluator.GetXMLPath().HasValue(), "a channel load keeps no path");

    const Entries entries = EntriesOf(evaluator);
    std::set<std::string> names;
    for (const auto& [name, status] : entries) {
        for (const char c : name) {
            Check(static_cast<unsigned char>(c) < 0x80, "every name is ASCII");
        }
        Check(names.insert(name).second, "every name is unique");
        const ToggleId id(FileBasedToggleIdData("Release", Zelk::String(name.data(), name.size())));
        Check(evaluator.EvaluateToggleStatus(id) == Zelk::Optional<ToggleStatus>(status),
              "every entry answers for its name");
    }

    // Neither the same channel, now partly read, nor a fresh one over the same bytes is read again.
    Check(evaluator.ReadFromXMLChannel(*channel) == FileBasedToggleStatusEvaluator::LoadFailed,
          "a second load is refused");
    const std::unique_ptr<Zelk::XMLIChannel> again = Open(data, size);
    Check(evaluator.ReadFromXMLChannel(*again) == FileBasedToggleStatusEvaluator::LoadFailed,
          "a third load is refused");
    Check(EntriesOf(evaluator) == entries, "a refused load changes nothing");
    return 0;
}
