#include "Support/AllocationCounter.hpp"

#include <cerrno>
#include <cstdlib>

#include <malloc.h>

// glibc's own allocator, under the names it exports for wrappers like these.
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* pointer, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
}

namespace {
// Per thread, so that counting costs no shared write.
thread_local std::uint64_t threadAllocations = 0;
}  // namespace

// Defined in the executable, these take the place of glibc's for every module of the process.
// free stays glibc's: the blocks come from its heap either way.
extern "C" void* malloc(std::size_t size) noexcept {
    ++threadAllocations;
    return __libc_malloc(size);
}

extern "C" void* calloc(std::size_t count, std::size_t size) noexcept {
    ++threadAllocations;
    return __libc_calloc(count, size);
}

extern "C" void* realloc(void* pointer, std::size_t size) noexcept {
    ++threadAllocations;
    return __libc_realloc(pointer, size);
}

extern "C" void* memalign(std::size_t alignment, std::size_t size) noexcept {
    ++threadAllocations;
    return __libc_memalign(alignment, size);
}

extern "C" void* aligned_alloc(std::size_t alignment, std::size_t size) noexcept {
    ++threadAllocations;
    return __libc_memalign(alignment, size);
}

extern "C" int posix_memalign(void** result, std::size_t alignment, std::size_t size) noexcept {
    if (alignment < sizeof(void*) || (alignment & (alignment - 1)) != 0) {
        return EINVAL;
    }
    ++threadAllocations;
    void* const pointer = __libc_memalign(alignment, size);
    if (pointer == nullptr) {
        return ENOMEM;
    }
    *result = pointer;
    return 0;
}

namespace Benchmarks {

std::uint64_t AllocationCounter::ThreadAllocations() noexcept {
    return threadAllocations;
}

std::size_t AllocationCounter::HeapBytesInUse() noexcept {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

}  // namespace Benchmarks
