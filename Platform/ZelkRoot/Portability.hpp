// Portability: every compiler-, processor- and OS-specific spelling the libraries and their
// clients use, for MSVC, GCC and clang. Nothing else spells an attribute, a builtin or an
// intrinsic. Compiles as C++17.
#pragma once

#include <cstdint>

// MSVC spells its intrinsics through <intrin.h>; GCC and clang have builtins that need no header
// (the x86 intrinsic headers would add tens of thousands of lines to every client's compile).
#if defined(_MSC_VER) && !defined(__clang__)
#include <intrin.h>
#endif

// Keeps a function out of line: the slow path of a fast inline check.
#if defined(_MSC_VER) && !defined(__clang__)
#define FEATURETOGGLE_NOINLINE __declspec(noinline)
#elif defined(__GNUC__) || defined(__clang__)
#define FEATURETOGGLE_NOINLINE __attribute__((noinline))
#else
#define FEATURETOGGLE_NOINLINE
#endif

// Checks the arguments of a printf-style function against its format (1-based positions of the
// format and of the first argument). MSVC checks only under /analyze, through _Printf_format_string_.
#if defined(__GNUC__) || defined(__clang__)
#define FEATURETOGGLE_PRINTF_FORMAT(formatIndex, firstArgument) \
    __attribute__((format(printf, formatIndex, firstArgument)))
#else
#define FEATURETOGGLE_PRINTF_FORMAT(formatIndex, firstArgument)
#endif

// Makes a function of a plug-in module visible to the host that loads it by name.
#if defined(_WIN32)
#define FEATURETOGGLE_MODULE_ENTRY_POINT extern "C" __declspec(dllexport)
#elif defined(__GNUC__) || defined(__clang__)
#define FEATURETOGGLE_MODULE_ENTRY_POINT extern "C" __attribute__((visibility("default")))
#else
#define FEATURETOGGLE_MODULE_ENTRY_POINT extern "C"
#endif

// A thread-local variable of a library loaded with its program, reached without a call where
// the platform allows it.
#if defined(__ELF__) && (defined(__GNUC__) || defined(__clang__))
#define FEATURETOGGLE_INITIAL_EXEC_TLS __attribute__((tls_model("initial-exec")))
#else
#define FEATURETOGGLE_INITIAL_EXEC_TLS
#endif

namespace Zelk::Compiler {

// Full barrier.
inline bool CompareAndSwap32(volatile std::int32_t* target, std::int32_t newValue,
                             std::int32_t expected) noexcept {
#if defined(_MSC_VER) && !defined(__clang__)
    static_assert(sizeof(long) == sizeof(std::int32_t));
    return _InterlockedCompareExchange(reinterpret_cast<volatile long*>(target), newValue, expected) ==
           expected;
#else
    return __atomic_compare_exchange_n(target, &expected, newValue, false, __ATOMIC_SEQ_CST,
                                       __ATOMIC_SEQ_CST);
#endif
}

inline std::int32_t LoadAcquire32(const volatile std::int32_t* source) noexcept {
#if defined(_MSC_VER) && !defined(__clang__) && defined(_M_ARM64)
    return static_cast<std::int32_t>(__ldar32(reinterpret_cast<const volatile unsigned __int32*>(source)));
#elif defined(_MSC_VER) && !defined(__clang__)
    // An x86-64 load already has acquire order; the barrier stops the compiler from moving
    // later accesses before it.
    const std::int32_t value = *source;
    _ReadWriteBarrier();
    return value;
#else
    return __atomic_load_n(source, __ATOMIC_ACQUIRE);
#endif
}

inline void StoreRelease32(volatile std::int32_t* target, std::int32_t value) noexcept {
#if defined(_MSC_VER) && !defined(__clang__) && defined(_M_ARM64)
    __stlr32(reinterpret_cast<volatile unsigned __int32*>(target), static_cast<unsigned __int32>(value));
#elif defined(_MSC_VER) && !defined(__clang__)
    _ReadWriteBarrier();
    *target = value;
#else
    __atomic_store_n(target, value, __ATOMIC_RELEASE);
#endif
}

// Tells the processor that this thread spins waiting for another: PAUSE on x86-64, YIELD on
// ARM64, nothing elsewhere (the caller yields the thread now and then anyway).
inline void SpinWaitHint() noexcept {
#if defined(_MSC_VER) && !defined(__clang__) && (defined(_M_X64) || defined(_M_IX86))
    _mm_pause();
#elif defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#elif defined(_MSC_VER) && !defined(__clang__) && defined(_M_ARM64)
    __yield();
#elif defined(__aarch64__)
    __asm__ __volatile__("yield");
#endif
}

}  // namespace Zelk::Compiler
