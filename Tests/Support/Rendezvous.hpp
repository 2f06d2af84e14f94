// Where test threads meet, round after round: an atomic count of arrivals, waited on by spinning
// and yielding. No wait here can miss its wake-up, as std::barrier, std::latch and
// std::atomic::wait can with MinGW-w64's libstdc++ 12.
#pragma once

#include <atomic>
#include <thread>

namespace FeatureToggleTests {

class Rendezvous {
public:
    explicit Rendezvous(int parties) : parties(parties) {}
    Rendezvous(const Rendezvous&) = delete;
    Rendezvous& operator=(const Rendezvous&) = delete;

    // Returns once all parties have arrived at this meeting. The count only grows: meeting k is
    // complete when it reaches (k + 1) * parties, whoever has already gone on to the next.
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
