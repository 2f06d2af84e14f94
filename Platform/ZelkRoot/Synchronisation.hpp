// ZelkRoot: atomic operations on 32-bit integers, the spin lock, and yielding the thread.
#pragma once

#include "ZelkRoot/Portability.hpp"
#include "ZelkRoot/Types.hpp"
#include "ZelkRoot/ZelkRootExport.hpp"

namespace Zelk {

// Stores `newValue` into `*target` if it holds `expected`; says whether it did. A full barrier.
inline bool AtomicCompareAndSwap(volatile Int32* target, Int32 newValue, Int32 expected) noexcept {
    return Compiler::CompareAndSwap32(target, newValue, expected);
}
// Reads `*source` with acquire ordering.
inline Int32 AtomicLoadAcquire(const volatile Int32* source) noexcept {
    return Compiler::LoadAcquire32(source);
}
// Writes `*target` with release ordering.
inline void AtomicStoreRelease(volatile Int32* target, Int32 value) noexcept {
    Compiler::StoreRelease32(target, value);
}

// The processor's spin-wait hint.
inline void SpinWaitHint() noexcept {
    Compiler::SpinWaitHint();
}

// <windows.h> defines Yield() as an empty macro, which would swallow the declaration below.
#if defined(_WIN32) && defined(Yield)
#undef Yield
#endif

class ZELKROOT_EXPORT Thread {
public:
    // Gives up the processor to another ready thread.
    static void Yield() noexcept;
};

class ZELKROOT_EXPORT SpinLock {
public:
    SpinLock() noexcept = default;
    SpinLock(const SpinLock&) = delete;
    SpinLock& operator=(const SpinLock&) = delete;

    // Spins with the processor's pause hint; with `yieldWhileWaiting` it also yields the thread
    // now and then, so that a waiter does not starve the holder on a busy machine.
    void Acquire(bool yieldWhileWaiting) noexcept;
    void Release() noexcept;

private:
    volatile Int32 state = 0;
};

}  // namespace Zelk
