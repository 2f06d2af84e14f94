// Aids for the tests that feed hostile files to the readers: a loopback listener that counts who
// connects, a scope that drops root's right to read any file, peak memory, and generators of
// documents too big or too deep to write by hand.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace FeatureToggleTests {

// Listens on 127.0.0.1 at a free port and closes every connection it gets at once, so that a
// reader that does reach out fails fast instead of hanging, and the test can tell.
class LoopbackListener {
public:
    LoopbackListener() {
        socket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
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
                    if (connection >= 0) {
                        ++connections;
                        ::close(connection);
                    }
                }
            }
        });
    }
    ~LoopbackListener() {
        if (acceptor.joinable()) {
            acceptor.request_stop();
            acceptor.join();
        }
        if (socket >= 0) {
            ::close(socket);
        }
    }
    LoopbackListener(const LoopbackListener&) = delete;
    LoopbackListener& operator=(const LoopbackListener&) = delete;

    // "http://127.0.0.1:<port>/<file>"
    std::string Url(const char* file) const {
        return "http://127.0.0.1:" + std::to_string(port) + "/" + file;
    }
    int GetConnections() const { return connections; }

private:
    int socket = -1;
    int port = 0;
    std::atomic<int> connections{0};
    std::jthread acceptor;
};

// Tests run as root, who reads files whatever their mode; while this lives the process acts as
// "nobody" instead, so that a file's permissions count.
class ScopedUnprivileged {
public:
    ScopedUnprivileged() : root(::geteuid() == 0), active(root && ::seteuid(65534) == 0) {}
    ~ScopedUnprivileged() {
        if (active && ::seteuid(0) != 0) {
            std::abort();  // the rest of the run would act as the wrong user
        }
    }
    ScopedUnprivileged(const ScopedUnprivileged&) = delete;
    ScopedUnprivileged& operator=(const ScopedUnprivileged&) = delete;

    // False only for root when the switch failed.
    bool PermissionsApply() const { return active || !root; }

private:
    bool root;
    bool active;
};

// The process's peak resident memory in KiB since the last ResetPeakMemory (or its start).
inline long PeakMemoryKiB() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return -1;
}
inline void ResetPeakMemory() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

// Whether memory use is the program's own: the sanitizers keep freed memory for a while.
constexpr bool MemoryUseIsMeaningful() {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    return false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
    return false;
#else
    return true;
#endif
#else
    return true;
#endif
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

// ASCII text as UTF-16LE, after its byte-order mark; a '\x01' becomes a lone surrogate, which
// does not decode.
inline std::string Utf16(const std::string& ascii) {
    std::string text = "\xFF\xFE";
    for (const char c : ascii) {
        text += c == '\x01' ? std::string("\x00\xD8", 2) : std::string{c, '\0'};
    }
    return text;
}

// `depth` nested elements.
inline std::string DeepNesting(int depth) {
    std::string open;
    std::string close;
    for (int level = 0; level < depth; ++level) {
        open += "<n>";
        close += "</n>";
    }
    return open + close;
}

// Writes `head`, then `filler` until the file holds at least `size` bytes, then `tail`, a block
// at a time so that the writer's own memory stays small.
inline void WriteLargeFile(const std::filesystem::path& file, const std::string& head,
                           const std::string& filler, std::size_t size, const std::string& tail) {
    std::ofstream stream(file, std::ios::binary);
    stream << head;
    std::string block;
    while (block.size() < (1u << 20)) {
        block += filler;
    }
    for (std::size_t written = head.size(); written < size; written += block.size()) {
        stream << block;
    }
    stream << tail;
    ASSERT_TRUE(stream.good()) << "cannot write " << file;
}

}  // namespace FeatureToggleTests
