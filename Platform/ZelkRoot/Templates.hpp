// ZelkRoot: Optional, the platform's optional value, and Friend, its passkey.
#pragma once

#include <optional>
#include <utility>

namespace Zelk {

template <typename T>
class Optional {
public:
    Optional() = default;
    Optional(const T& value) : storage(value) {}
    Optional(T&& value) : storage(std::move(value)) {}

    bool HasValue() const noexcept { return storage.has_value(); }
    const T& Get() const { return *storage; }
    T& Get() { return *storage; }
    void Clear() noexcept { storage.reset(); }

    friend bool operator==(const Optional& left, const Optional& right) {
        return left.storage == right.storage;
    }

private:
    std::optional<T> storage;
};

// A passkey: only `T` can make one, so an operation that takes a Friend<T> can be called only
// from `T`. It is copyable so that it can be passed on.
template <typename T>
class Friend {
    friend T;
    Friend() noexcept {}
};

}  // namespace Zelk
