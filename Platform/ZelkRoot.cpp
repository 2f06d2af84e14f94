// Memory, exceptions, synchronisation, error reports and XML tags of the core platform layer.
#include "ZelkRoot.hpp"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

#include "ZelkRoot/Utf8Path.hpp"

namespace Zelk {

namespace {

// A thread counts in a block that only it writes, so counting needs no locked instruction; the
// statistics add up every block. A block outlives its thread and is taken over by a later one,
// whose counts simply add to it.
struct AllocationCounts {
    std::atomic<UInt64> allocations{0};
    std::atomic<UInt64> frees{0};
    std::atomic<UInt64> bytes{0};
    std::atomic<bool> inUse{true};
    AllocationCounts* next = nullptr;
};

std::atomic<AllocationCounts*> allCounts{nullptr};

AllocationCounts* TakeCounts() {
    for (AllocationCounts* counts = allCounts.load(std::memory_order_acquire); counts != nullptr;
         counts = counts->next) {
        bool free = false;
        if (counts->inUse.compare_exchange_strong(free, true, std::memory_order_acquire)) {
            return counts;
        }
    }
    auto* const counts = new AllocationCounts;
    counts->next = allCounts.load(std::memory_order_relaxed);
    while (!allCounts.compare_exchange_weak(counts->next, counts, std::memory_order_release,
                                            std::memory_order_relaxed)) {
    }
    return counts;
}

// Plain pointer, so that it stays readable while the thread's other objects are destroyed;
// initial-exec, so that reading it costs no call.
thread_local AllocationCounts* threadCounts FEATURETOGGLE_INITIAL_EXEC_TLS = nullptr;

// Gives the thread's block back when the thread ends. Where thread-local variables are emulated
// (MinGW-w64), the pointer may already be gone by then; the block then simply stays taken.
struct ThreadCountsRelease {
    ~ThreadCountsRelease() {
        if (AllocationCounts* const counts = threadCounts) {
            counts->inUse.store(false, std::memory_order_release);
        }
    }
};

AllocationCounts& GetThreadCounts() {
    if (threadCounts == nullptr) {
        threadCounts = TakeCounts();
        thread_local const ThreadCountsRelease release;
    }
    return *threadCounts;
}

void Count(std::atomic<UInt64>& counter, UInt64 amount) noexcept {
    counter.store(counter.load(std::memory_order_relaxed) + amount, std::memory_order_relaxed);
}

}  // namespace

void* MemoryManager::Allocate(std::size_t size) {
    // malloc(0) may return null, which would read as a failure.
    void* pointer = std::malloc(size == 0 ? 1 : size);
    if (pointer == nullptr) {
        throw std::bad_alloc();
    }
    AllocationCounts& counts = GetThreadCounts();
    Count(counts.allocations, 1);
    Count(counts.bytes, size);
    return pointer;
}

void MemoryManager::Free(void* pointer) noexcept {
    if (pointer == nullptr) {
        return;
    }
    Count(GetThreadCounts().frees, 1);
    std::free(pointer);
}

MemoryManager::Statistics MemoryManager::GetStatistics() {
    Statistics statistics;
    for (const AllocationCounts* counts = allCounts.load(std::memory_order_acquire); counts != nullptr;
         counts = counts->next) {
        statistics.allocations += counts->allocations.load(std::memory_order_relaxed);
        statistics.frees += counts->frees.load(std::memory_order_relaxed);
        statistics.bytesAllocated += counts->bytes.load(std::memory_order_relaxed);
    }
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
    constexpr unsigned SpinsBetweenYields = 64;
    unsigned spins = 0;
    for (;;) {
        if (AtomicCompareAndSwap(&state, 1, 0)) {
            return;
        }
        // Wait on plain reads so that waiters do not keep stealing the cache line from the holder.
        while (AtomicLoadAcquire(&state) != 0) {
            SpinWaitHint();
            if (yieldWhileWaiting && ++spins % SpinsBetweenYields == 0) {
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

namespace Zelk {

std::string ReadEnvironmentText(const char* name) {
#if defined(_WIN32)
    const std::wstring wideName(name, name + std::char_traits<char>::length(name));
    const wchar_t* text = ::_wgetenv(wideName.c_str());
    return text != nullptr ? ZelkPaths::Utf8FromPath(std::filesystem::path(text)) : std::string();
#else
    const char* text = std::getenv(name);
    return text != nullptr ? std::string(text) : std::string();
#endif
}

}  // namespace Zelk
