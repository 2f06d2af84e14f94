#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "FeatureToggle/Evaluation/MappingBasedToggleStatusEvaluator.hpp"
#include "Support/TestToggleIdData.hpp"

namespace {

using namespace FeatureToggle;
using Strings = std::vector<std::string>;

class TableEvaluator : public MappingBasedToggleStatusEvaluator {
public:
    using MappingBasedToggleStatusEvaluator::Remove;

    TableEvaluator& With(std::initializer_list<const char*> names,
                         ToggleStatus status = ToggleStatus::Enabled) {
        for (const char* name : names) {
            Add(Id(name), status);
        }
        return *this;
    }
    static ToggleId Id(const char* name) { return ToggleId(FeatureToggleTests::TestToggleIdData(name)); }
};

// "name=status" per entry, in entry order.
Strings Entries(const MappingBasedToggleStatusEvaluator& evaluator) {
    Strings entries;
    evaluator.EnumerateMappedToggleIds([&entries](const ToggleId& id, ToggleStatus status) {
        entries.push_back(std::string(id.GetDisplayString().ToCStr()) + "=" +
                          std::to_string(static_cast<int>(status)));
    });
    return entries;
}

TEST(MappingBasedToggleStatusEvaluator, AddKeepsTheFirstStatusAndRemovalMovesTheLastEntry) {
    TableEvaluator table;
    EXPECT_FALSE(table.EvaluateToggleStatus(TableEvaluator::Id("A")).HasValue());

    table.With({"A", "B", "C", "D"}).With({"B"}, ToggleStatus::Disabled);
    for (const char* name : {"X", "A", "C"}) {
        table.Remove(TableEvaluator::Id(name));
    }
    table.With({"E"}, ToggleStatus::Disabled);
    EXPECT_EQ(Entries(table), (Strings{"D=1", "B=1", "E=0"}));
}

// Copies are independent, moves empty the source, and a copy that fails part way leaves the
// target as it was.
TEST(MappingBasedToggleStatusEvaluator, CopiesMovesAndFailedCopies) {
    TableEvaluator source;
    source.With({"A"});
    TableEvaluator copy(source);
    source.With({"B"}, ToggleStatus::Disabled);
    EXPECT_EQ(Entries(copy), (Strings{"A=1"}));
    copy = source;
    EXPECT_EQ(Entries(copy), (Strings{"A=1", "B=0"}));

    TableEvaluator target;
    target.With({"X"}, ToggleStatus::Disabled);
    FeatureToggleTests::TestToggleIdData::FailNthClone(2);
    EXPECT_THROW(target = source, std::runtime_error);
    EXPECT_EQ(Entries(target), (Strings{"X=0"}));

    target = std::move(source);
    EXPECT_EQ(Entries(target), (Strings{"A=1", "B=0"}));
    EXPECT_TRUE(Entries(source).empty());
    TableEvaluator moved(std::move(target));
    EXPECT_EQ(Entries(moved), (Strings{"A=1", "B=0"}));
    EXPECT_TRUE(Entries(target).empty());
}

}  // namespace
