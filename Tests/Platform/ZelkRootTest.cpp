#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "ZelkRoot.hpp"

namespace {

TEST(ZelkRoot, MemoryManagerCountsAllocations) {
    const Zelk::MemoryManager::Statistics before = Zelk::MemoryManager::GetStatistics();
    void* block = Zelk::MemoryManager::Allocate(100);
    ASSERT_NE(block, nullptr);
    void* empty = Zelk::MemoryManager::Allocate(0);
    EXPECT_NE(empty, nullptr);
    Zelk::MemoryManager::Free(block);
    Zelk::MemoryManager::Free(empty);
    Zelk::MemoryManager::Free(nullptr);
    const Zelk::MemoryManager::Statistics after = Zelk::MemoryManager::GetStatistics();
    EXPECT_EQ(after.allocations - before.allocations, 2u);
    EXPECT_EQ(after.frees - before.frees, 2u);
    EXPECT_EQ(after.bytesAllocated - before.bytesAllocated, 100u);

    // The layer's strings allocate through it.
    const std::string longText(200, 'x');
    const Zelk::String text(longText.c_str());
    EXPECT_GT(Zelk::MemoryManager::GetStatistics().allocations, after.allocations);
}

TEST(ZelkRoot, SpinLockExcludesOtherThreads) {
    for (const bool yieldWhileWaiting : {false, true}) {
        Zelk::SpinLock lock;
        long counter = 0;  // deliberately not atomic: the lock alone protects it
        int inside = 0;
        bool overlapped = false;
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t) {
            threads.emplace_back([&] {
                for (int i = 0; i < 20000; ++i) {
                    lock.Acquire(yieldWhileWaiting);
                    overlapped = overlapped || ++inside != 1;
                    ++counter;
                    if (i % 1000 == 0) {
                        Zelk::Thread::Yield();  // hold the lock across a reschedule now and then
                    }
                    --inside;
                    lock.Release();
                }
            });
        }
        for (std::thread& thread : threads) {
            thread.join();
        }
        EXPECT_EQ(counter, 80000) << yieldWhileWaiting;
        EXPECT_FALSE(overlapped) << yieldWhileWaiting;
    }
}

class RecordingChannel : public Zelk::XMLIChannel {
public:
    int ReadStartTagName(Zelk::UniString&) override { return 0; }
    int PeekNextTagName(Zelk::UniString&) override { return 0; }
    bool HasAttribute(const char*) override { return false; }
    int ReadAttribute(const char*, Zelk::UniString&) override { return 1; }
    int RecordError(const Zelk::UniString&) override { return 0; }
    std::vector<std::string> GetRecordedErrors() const override { return {}; }

    std::vector<std::string> calls;
    std::string nextElement;

protected:
    bool EnterElement(const char* tagName) override {
        calls.push_back(std::string("enter ") + tagName);
        return nextElement == tagName;
    }
    void LeaveElement() override { calls.emplace_back("leave"); }
};

TEST(ZelkRoot, XMLITagLeavesOnlyWhatItEntered) {
    RecordingChannel channel;
    channel.nextElement = "Toggle";
    {
        const Zelk::XMLITag tag(channel, "Toggle");
        EXPECT_TRUE(tag.IsEntered());
    }
    {
        const Zelk::XMLITag tag(channel, "Other");
        EXPECT_FALSE(tag.IsEntered());
    }
    EXPECT_EQ(channel.calls, (std::vector<std::string>{"enter Toggle", "leave", "enter Other"}));
}

}  // namespace
