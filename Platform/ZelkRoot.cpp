// Memory, exceptions, synchronisation, error reports and XML tags of the core platform layer.
#include "ZelkRoot.hpp"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

namespace Zelk {

namespace {

std::atomic<UInt64> allocationCount{0};
std::atomic<UInt64> freeCount{0};
std::atomic<UInt64> allocatedBytes{0};

}  // namespace

void* MemoryManager::Allocate(std::size_t size) {
    // malloc(0) may return null, which would read as a failure.
    void* pointer = std::malloc(size == 0 ? 1 : size);
    if (pointer == nullptr) {
        throw std::bad_alloc();
    }
    allocationCount.fetch_add(1, std::memory_order_relaxed);
    allocatedBytes.fetch_add(size, std::memory_order_relaxed);
    return pointer;
}

void MemoryManager::Free(void* pointer) noexcept {
    if (pointer == nullptr) {
        return;
    }
    freeCount.fetch_add(1, std::memory_order_relaxed);
    std::free(pointer);
}

MemoryManager::Statistics MemoryManager::GetStatistics() {
    Statistics statistics;
    statistics.allocations = allocationCount.load(std::memory_order_relaxed);
    statistics.frees = freeCount.load(std::memory_order_relaxed);
    statistics.bytesAllocated = allocatedBytes.load(std::memory_order_relaxed);
    return statistics;
}

ZelkException::ZelkException(const char* message)
    : message(std::make_shared<const std::string>(message == nullptr ? "" : message)) {}

const char* ZelkException::what() const noexcept {
    return message->c_str();
}

void Thread::Yield() noexcept {
    std::this_thread::yield();
}

void SpinLock::Acquire(bool yieldWhileWaiting) noexcept {
    // Yielding every spin would cost a system call per look; every so often is enough to let a
    // descheduled holder run.
    constexpr unsigned spinsBetweenYields = 64;
    unsigned spins = 0;
    for (;;) {
        if (AtomicCompareAndSwap(&state, 1, 0)) {
            return;
        }
        // Wait on plain reads so that waiters do not keep stealing the cache line from the holder.
        while (AtomicLoadAcquire(&state) != 0) {
            SpinWaitHint();
            if (yieldWhileWaiting && ++spins % spinsBetweenYields == 0) {
                Thread::Yield();
            }
        }
    }
}

void SpinLock::Release() noexcept {
    AtomicStoreRelease(&state, 0);
}

XMLITag::XMLITag(XMLIChannel& channel, const char* tagName)
    : channel(channel), entered(channel.EnterElement(tagName)) {}

XMLITag::~XMLITag() {
    if (entered) {
        channel.LeaveElement();
    }
}

}  // namespace Zelk

namespace {

// Recursive so that a handler which itself reports does not deadlock.
std::recursive_mutex bugRepMutex;
BugRep_Handler bugRepHandler;

}  // namespace

void BugRep_ReportError(const char* message, Zelk::UInt32 flags, Zelk::Int32) {
    const char* text = message == nullptr ? "" : message;
    std::lock_guard<std::recursive_mutex> lock(bugRepMutex);
    if (bugRepHandler) {
        bugRepHandler(text, flags);
        return;
    }
    const std::string line = std::string(text) + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
}

void BugRep_SetHandler(BugRep_Handler handler) {
    std::lock_guard<std::recursive_mutex> lock(bugRepMutex);
    bugRepHandler = std::move(handler);
}
