#include <gtest/gtest.h>

#include <thread>
#include <type_traits>
#include <vector>

#include "Support/TestSupport.hpp"
#include "ZelkRoot.hpp"

namespace {

struct PasskeyHolder {};
static_assert(!std::is_default_constructible_v<Zelk::Friend<PasskeyHolder>>);
static_assert(std::is_copy_constructible_v<Zelk::Friend<PasskeyHolder>>);

// Five hash values for all keys, so chains are long and removals unlink heads, middles and tails.
struct ClusteredKey {
    int id;
    Zelk::UInt32 GenerateHashValue() const noexcept { return static_cast<Zelk::UInt32>(id % 5); }
    friend bool operator==(const ClusteredKey&, const ClusteredKey&) = default;
};

TEST(ZelkRoot, HashTableLookupsAndPositionsAgreeThroughGrowthAndRemoval) {
    Zelk::HashTable<ClusteredKey, int> table;
    for (int i = 0; i < 300; ++i) {
        ASSERT_TRUE(table.Add(ClusteredKey{i}, i));
    }
    EXPECT_FALSE(table.Add(ClusteredKey{7}, -1));  // an existing entry keeps its value
    for (int i = 0; i < 300; i += 3) {
        ASSERT_TRUE(table.Remove(ClusteredKey{i}));
    }
    EXPECT_FALSE(table.Remove(ClusteredKey{0}));
    EXPECT_EQ(table.GetSize(), 200u);
    for (int i = 0; i < 300; ++i) {
        const int* value = table.Get(ClusteredKey{i});
        EXPECT_EQ(value == nullptr ? -1 : *value, i % 3 == 0 ? -1 : i) << i;
    }
    for (std::size_t i = 0; i < table.GetSize(); ++i) {
        EXPECT_EQ(table.GetKeyAt(i).id, table.GetValueAt(i));
    }
}

// Other tests count live allocations through these figures.
TEST(ZelkRoot, MemoryManagerCountsAllocationsAndFrees) {
    const Zelk::MemoryManager::Statistics before = Zelk::MemoryManager::GetStatistics();
    Zelk::MemoryManager::Free(Zelk::MemoryManager::Allocate(100));
    Zelk::MemoryManager::Free(nullptr);
    const Zelk::MemoryManager::Statistics after = Zelk::MemoryManager::GetStatistics();
    EXPECT_EQ(after.allocations - before.allocations, 1u);
    EXPECT_EQ(after.frees - before.frees, 1u);
    EXPECT_EQ(after.bytesAllocated - before.bytesAllocated, 100u);
}

TEST(ZelkRoot, SpinLockExcludesOtherThreads) {
    Zelk::SpinLock lock;
    long counter = 0;  // not atomic: the lock alone protects it
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 20000; ++i) {
                lock.Acquire(true);
                const long seen = counter;
                if (i % 1000 == 0) {
                    Zelk::Thread::Yield();  // hold the lock across a reschedule now and then
                }
                counter = seen + 1;
                lock.Release();
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(counter, 80000);
}

TEST(ZelkRoot, LogFillsPlaceholdersInOrderAndWritesToStandardErrorUnlessCaptured) {
    // Missing arguments leave their '%', extra ones are dropped, an argument's own '%' is text.
    EXPECT_EQ(Zelk::FastLogger::Compose("% of % set", {"3"}), "3 of % set");
    EXPECT_EQ(Zelk::FastLogger::Compose("%:%", {"50%", "b", "c"}), "50%:b");

    static const Zelk::InfoLogLine line("entry %", "FeatureToggle", "test");
    {
        FeatureToggleTests::ScopedLogCapture log;
        FeatureToggleTests::ScopedBugReportCapture reports;
    }
    testing::internal::CaptureStderr();
    {
        Zelk::FastLogger::LogComposer composer;
        Zelk::logger.Append(line, composer).Append(9u);
    }
    BugRep_ReportError("report", 0x80000000u, 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "entry 9\nreport\n");
}

}  // namespace
