// Runs work in a child process under a limit on its address space, so that a test can show that
// memory stays bounded without timing anything.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#if !defined(_WIN32)
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <new>
#endif

namespace FeatureToggleTests {

// Why the limit cannot be set here, or empty when it can.
inline std::string MemoryLimitUnavailable() {
#if defined(_WIN32)
    return "Windows has no address-space limit for a child process (a job object would be one)";
#elif defined(FEATURETOGGLE_TESTS_SANITIZED)
    return "the sanitizers reserve terabytes of address space of their own";
#else
    return "";
#endif
}

// Runs `work` in a child process that may use `extraBytes` of address space beyond what it had
// when it started. Empty when it finished and returned true; otherwise what happened to it.
inline std::string RunWithMemoryLimit(std::size_t extraBytes, const std::function<bool()>& work) {
#if defined(_WIN32)
    (void)extraBytes;
    (void)work;
    return MemoryLimitUnavailable();
#else
    const pid_t child = ::fork();
    if (child == 0) {
        std::size_t pages = 0;
        std::ifstream("/proc/self/statm") >> pages;  // the current size, where there is a /proc
        const auto used = static_cast<rlim_t>(pages) * static_cast<rlim_t>(::sysconf(_SC_PAGESIZE));
        const struct rlimit limit = {used + extraBytes, used + extraBytes};
        if (::setrlimit(RLIMIT_AS, &limit) != 0) {
            ::_exit(2);
        }
        try {
            ::_exit(work() ? 0 : 1);
        } catch (const std::bad_alloc&) {
            ::_exit(3);
        }
    }
    int status = 0;
    if (child == -1 || ::waitpid(child, &status, 0) != child) {
        return "the child process could not be started";
    }
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    const char* const outcomes[] = {"", "an unexpected result", "no limit could be set", "out of memory"};
    return code >= 0 && code <= 3 ? outcomes[code] : "ended with status " + std::to_string(status);
#endif
}

}  // namespace FeatureToggleTests
