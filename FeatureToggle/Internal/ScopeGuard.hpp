#pragma once

#include <utility>

namespace FeatureToggle {

// Runs its callable once, when it goes out of scope, also when an exception leaves the scope.
template <typename Callable>
class ScopeGuard {
public:
    explicit ScopeGuard(Callable callable) : callable(std::move(callable)) {}
    ~ScopeGuard() { callable(); }
    ScopeGuard(const ScopeGuard&) = delete;
    ScopeGuard& operator=(const ScopeGuard&) = delete;

private:
    Callable callable;
};

}  // namespace FeatureToggle
