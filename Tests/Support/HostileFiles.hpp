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

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace FeatureToggleTests {

// Counts and at once closes connections to 127.0.0.1:<port>, so a reader reaching out fails fast.
class LoopbackListener {
public:
    LoopbackListener() {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof(address);
        auto* generic = reinterpret_cast<sockaddr*>(&address);
        if (socket < 0 || ::bind(socket, generic, length) != 0 || ::listen(socket, 8) != 0 ||
            ::getsockname(socket, generic, &length) != 0) {
            ADD_FAILURE() << "cannot listen on the loopback address";
            return;
        }
        port = ntohs(address.sin_port);
        acceptor = std::jthread([this](std::stop_token stop) {
            pollfd waiting{socket, POLLIN, 0};
            while (!stop.stop_requested()) {
                if (::poll(&waiting, 1, 20) == 1) {
                    const int connection = ::accept(socket, nullptr, nullptr);
                    connections += connection >= 0;
                    ::close(connection);
                }
            }
        });
    }
    ~LoopbackListener() {
        acceptor = {};  // stops and joins
        ::close(socket);
    }

    std::string Url(const char* file) const {
        return "http://127.0.0.1:" + std::to_string(port) + "/" + file;
    }
    int GetConnections() const { return connections; }

private:
    int socket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int port = 0;
    std::atomic<int> connections{0};
    std::jthread acceptor;
};

// Runs `read` as "nobody" (tests run as root, who reads any file), on `file` made unreadable first if
// asked, expecting nothing on stderr and an end within 10 s; false if the rights could not be dropped.
inline bool ReadHostile(const std::filesystem::path& file, bool unreadable,
                        const std::function<void()>& read) {
    if (unreadable) {
        std::filesystem::permissions(file, std::filesystem::perms::none);
    }
    const bool dropped = ::geteuid() == 0 && ::seteuid(65534) == 0;
    if (unreadable && !dropped && ::geteuid() == 0) {
        return false;
    }
    const auto start = std::chrono::steady_clock::now();
    testing::internal::CaptureStderr();
    read();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");  // the host's output is its own
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    if (dropped && ::seteuid(0) != 0) {
        std::abort();
    }
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

inline long PeakMemoryKiB() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return -1;
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
    std::ofstream("/proc/self/clear_refs") << "5";
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
