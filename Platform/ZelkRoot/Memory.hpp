// ZelkRoot: the memory manager every heap object goes through, and a standard allocator over it.
#pragma once

#include <cstddef>
#include <limits>
#include <new>

#include "ZelkRoot/Types.hpp"
#include "ZelkRoot/ZelkRootExport.hpp"

namespace Zelk {

// Every heap object of the library and of the containers below goes through here, so that a
// host (or a benchmark) can count what is allocated.
class ZELKROOT_EXPORT MemoryManager {
public:
    static void* Allocate(std::size_t size);  // throws std::bad_alloc on failure
    static void Free(void* pointer) noexcept;

    struct Statistics {
        UInt64 allocations = 0;
        UInt64 frees = 0;
        UInt64 bytesAllocated = 0;
    };
    // Counts since the start of the process, kept per thread without a locked instruction, so
    // cheap enough to keep always on.
    static Statistics GetStatistics();
};

// A standard allocator over the memory manager, for the containers and strings of this layer.
template <typename T>
class Allocator {
public:
    using value_type = T;

    Allocator() noexcept = default;
    template <typename U>
    Allocator(const Allocator<U>&) noexcept {}

    T* allocate(std::size_t count) {
        if (count > std::numeric_limits<std::size_t>::max() / sizeof(T)) {
            throw std::bad_array_new_length();
        }
        return static_cast<T*>(MemoryManager::Allocate(count * sizeof(T)));
    }
    void deallocate(T* pointer, std::size_t) noexcept { MemoryManager::Free(pointer); }

    template <typename U>
    bool operator==(const Allocator<U>&) const noexcept {
        return true;
    }
};

}  // namespace Zelk
