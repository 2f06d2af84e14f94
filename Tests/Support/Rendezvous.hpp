// Where test threads meet, round after round: a count of arrivals, waited on by yielding, so that
// no wake-up can be missed (the standard barrier, latch and atomic waits miss some on MinGW-w64).
#pragma once

#include <atomic>
#include <thread>

namespace FeatureToggleTests {

class Rendezvous {
public:
    explicit Rendezvous(int parties) : parties(parties) {}
    Rendezvous(const Rendezvous&) = delete;
    Rendezvous& operator=(const Rendezvous&) = delete;

    // Returns once all parties have arrived. Meeting k is complete at (k + 1) * parties arrivals.
    void ArriveAndWait() {
        const int meeting = arrivals.fetch_add(1) / parties;
        while (arrivals.load() < (meeting + 1) * parties) {
            std::this_thread::yield();
        }
    }

private:
    const int parties;
    std::atomic<int> arrivals{0};
};

}  // namespace FeatureToggleTests
