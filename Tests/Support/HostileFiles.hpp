// Aids for feeding hostile files to the readers.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#if defined(_WIN32)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <winsock2.h>
#include <ws2tcpip.h>
// After winsock2.h, which must come before windows.h.
#include <psapi.h>
#include <windows.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace FeatureToggleTests {

#if defined(_WIN32)
using NativeSocket = SOCKET;
constexpr NativeSocket NoSocket = INVALID_SOCKET;
inline void CloseSocket(NativeSocket socket) {
    ::closesocket(socket);
}
#else
using NativeSocket = int;
constexpr NativeSocket NoSocket = -1;
inline void CloseSocket(NativeSocket socket) {
    ::close(socket);
}
#endif

// Counts and at once closes connections to 127.0.0.1:<port>, so a reader reaching out fails fast.
class LoopbackListener {
public:
    LoopbackListener() {
#if defined(_WIN32)
        WSADATA data;
        started = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
#endif
        socket = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof(address);
        auto* generic = reinterpret_cast<sockaddr*>(&address);
        if (socket == NoSocket || ::bind(socket, generic, length) != 0 || ::listen(socket, 8) != 0 ||
            ::getsockname(socket, generic, &length) != 0) {
            ADD_FAILURE() << "cannot listen on the loopback address";
            return;
        }
        port = ntohs(address.sin_port);
        acceptor = std::jthread([this](std::stop_token stop) {
            while (!stop.stop_requested()) {
                fd_set waiting;
                FD_ZERO(&waiting);
                FD_SET(socket, &waiting);
                timeval timeout{0, 20000};
                if (::select(static_cast<int>(socket + 1), &waiting, nullptr, nullptr, &timeout) == 1) {
                    const NativeSocket connection = ::accept(socket, nullptr, nullptr);
                    if (connection != NoSocket) {
                        ++connections;
                        CloseSocket(connection);
                    }
                }
            }
        });
    }
    ~LoopbackListener() {
        acceptor = {};  // stops and joins
        if (socket != NoSocket) {
            CloseSocket(socket);
        }
#if defined(_WIN32)
        if (started) {
            ::WSACleanup();
        }
#endif
    }

    std::string Url(const char* file) const {
        return "http://127.0.0.1:" + std::to_string(port) + "/" + file;
    }
    int GetConnections() const { return connections; }

private:
#if defined(_WIN32)
    bool started = false;
#endif
    NativeSocket socket = NoSocket;
    int port = 0;
    std::atomic<int> connections{0};
    std::jthread acceptor;
};

// Makes a symbolic link; false where the system or the user's rights do not allow it (Windows
// grants it to administrators and in developer mode only).
inline bool TryCreateSymlink(const std::filesystem::path& target, const std::filesystem::path& link) {
    std::error_code error;
    std::filesystem::create_symlink(target, link, error);
    return !error;
}

// Runs `read`, on `file` made unreadable first if asked, expecting nothing on stderr and an end
// within 10 s; false if the file could not be made unreadable. Tests run as root on Linux, who
// reads any file, so there the read runs as "nobody"; on Windows the file is held open without
// sharing, which refuses every other open.
inline bool ReadHostile(const std::filesystem::path& file, bool unreadable,
                        const std::function<void()>& read) {
#if defined(_WIN32)
    HANDLE held = INVALID_HANDLE_VALUE;
    if (unreadable) {
        held = ::CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                             nullptr);
        if (held == INVALID_HANDLE_VALUE) {
            return false;
        }
    }
#else
    if (unreadable) {
        std::filesystem::permissions(file, std::filesystem::perms::none);
    }
    const bool dropped = ::geteuid() == 0 && ::seteuid(65534) == 0;
    if (unreadable && !dropped && ::geteuid() == 0) {
        return false;
    }
#endif
    const auto start = std::chrono::steady_clock::now();
    testing::internal::CaptureStderr();
    read();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");  // the host's output is its own
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
#if defined(_WIN32)
    if (held != INVALID_HANDLE_VALUE) {
        ::CloseHandle(held);
    }
#else
    if (dropped && ::seteuid(0) != 0) {
        std::abort();
    }
#endif
    return true;
}

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool Sanitized = true;  // sanitizers keep freed memory for a while
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
constexpr bool Sanitized = true;
#else
constexpr bool Sanitized = false;
#endif
#else
constexpr bool Sanitized = false;
#endif

// The process's peak resident memory so far.
inline long PeakMemoryKiB() {
#if defined(_WIN32)
    PROCESS_MEMORY_COUNTERS counters{};
    if (!::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof(counters))) {
        return -1;
    }
    return static_cast<long>(counters.PeakWorkingSetSize >> 10);
#else
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return -1;
#endif
}

// Starts the peak over from the memory in use now, where the system allows it (Linux); elsewhere
// the peak stays that of the whole test so far, which is small next to 50 MB.
inline void ResetPeakMemory() {
#if !defined(_WIN32)
    std::ofstream("/proc/self/clear_refs") << "5";
#endif
}

// Writes `head`, `filler` up to 50 MB and `tail` to `file`, then expects `read` to raise the
// peak memory by less than 4 MiB (unchecked under sanitizers, which keep freed memory).
inline void ExpectFiftyMegabytesStreamed(const std::filesystem::path& file, const std::string& head,
                                         const std::string& filler, const std::string& tail,
                                         const std::function<void()>& read) {
    constexpr std::size_t size = 50u << 20;
    {
        std::ofstream stream(file, std::ios::binary);
        std::string block;
        while (block.size() < (1u << 20)) {
            block += filler;
        }
        stream << head;
        for (std::size_t written = head.size(); written < size; written += block.size()) {
            stream << block;
        }
        stream << tail;
        ASSERT_TRUE(stream.good()) << "cannot write " << file;
    }
    ResetPeakMemory();
    const long before = PeakMemoryKiB();
    read();
    if (!Sanitized) {
        EXPECT_LT(PeakMemoryKiB() - before, 4 * 1024) << "KiB for a file of " << (size >> 10) << " KiB";
    }
}

inline std::string Doctype(const std::string& root, const std::string& subset) {
    return "<!DOCTYPE " + root + " [" + subset + "]>";
}

// An internal subset whose entity `&lol9;` expands to 10^9 "lol"s.
inline std::string BillionLaughsSubset() {
    std::string subset = "<!ENTITY lol0 \"lol\">";
    for (int level = 1; level <= 9; ++level) {
        subset += "<!ENTITY lol" + std::to_string(level) + " \"";
        for (int copy = 0; copy < 10; ++copy) {
            subset += "&lol" + std::to_string(level - 1) + ";";
        }
        subset += "\">";
    }
    return subset;
}

// ASCII as UTF-16LE after a byte-order mark; '\x01' becomes a lone surrogate, which does not decode.
inline std::string Utf16(const std::string& ascii) {
    std::string text = "\xFF\xFE";
    for (const char c : ascii) {
        text += c == '\x01' ? std::string("\x00\xD8", 2) : std::string{c, '\0'};
    }
    return text;
}

inline std::string DeepNesting(int depth) {
    std::string open;
    std::string close;
    for (int level = 0; level < depth; ++level) {
        open += "<n>";
        close += "</n>";
    }
    return open + close;
}

}  // namespace FeatureToggleTests
