#pragma once

#include <new>
#include <utility>
#include "ZelkRoot/Portability.hpp"
#include "ZelkRoot/Synchronisation.hpp"
#include "ZelkRoot/Types.hpp"

namespace FeatureToggle {

// A value computed at most once, by whichever thread asks first (a toggle's queried latch, a
// status evaluated once; see the contract of a toggle kind in Toggle.hpp). Other threads that ask while
// it is being computed spin with the processor's pause hint, 33 attempts in a row, then yield
// and start over. Once computed, a read is one acquire load: no lock, no write.
template <typename T>
class OnceValue {
public:
    OnceValue() noexcept : state(NotComputed) {}
    ~OnceValue() {
        if (state == Computed) {
            value.~T();
        }
    }
    OnceValue(const OnceValue&) = delete;
    OnceValue& operator=(const OnceValue&) = delete;

    // The value, computing it with `compute` if nobody has. An exception that reaches this
    // protocol ends the process: a half-computed value must never be published.
    template <typename Compute>
    T& GetOrCompute(Compute&& compute) noexcept {
        // Inline and alone, so that callers need no frame for the protocol below.
        if (Zelk::AtomicLoadAcquire(&state) == Computed) {
            return value;
        }
        return ComputeOnce(std::forward<Compute>(compute));
    }

    // The value if it has been computed, else null.
    const T* TryGet() const noexcept {
        return Zelk::AtomicLoadAcquire(&state) == Computed ? &value : nullptr;
    }

    // True once some thread has begun the computation, whether or not it has finished.
    bool HasStarted() const noexcept { return Zelk::AtomicLoadAcquire(&state) != NotComputed; }

private:
    static constexpr Zelk::Int32 NotComputed = 0;
    static constexpr Zelk::Int32 Computed = 1;
    static constexpr Zelk::Int32 BeingComputed = 2;
    static constexpr int SpinAttempts = 32;

    // By value: a computation that captures a pointer then travels in a register, not in memory
    // that the fast path would have to set up.
    template <typename Compute>
    FEATURETOGGLE_NOINLINE T& ComputeOnce(Compute compute) noexcept {
        for (;;) {
            for (int budget = SpinAttempts; budget >= 0; --budget) {
                if (Zelk::AtomicLoadAcquire(&state) == Computed) {
                    return value;
                }
                if (Zelk::AtomicCompareAndSwap(&state, BeingComputed, NotComputed)) {
                    new (&value) T(compute());
                    Zelk::AtomicStoreRelease(&state, Computed);
                    return value;
                }
                if (budget > 0) {
                    Zelk::SpinWaitHint();
                }
            }
            Zelk::Thread::Yield();
        }
    }

    union {
        T value;
    };
    volatile Zelk::Int32 state;
};

}  // namespace FeatureToggle
