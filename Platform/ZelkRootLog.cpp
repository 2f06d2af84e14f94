// The application log.
#include <charconv>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <mutex>
#include <string>

#include "ZelkRoot.hpp"

namespace Zelk {

FastLogger logger;

namespace {

// Guards every logger's sink. Recursive so that a sink which logs does not deadlock.
std::recursive_mutex sinkMutex;

}  // namespace

InfoLogLine::InfoLogLine(const char* lineTemplate, const char*, const char*)
    : lineTemplate(lineTemplate == nullptr ? "" : lineTemplate) {}

FastLogger::LogComposer::~LogComposer() {
    if (logger == nullptr || line == nullptr) {
        return;
    }
    // A destructor must not throw: an entry that cannot be written is lost.
    try {
        entry += rest;
        logger->Write(entry);
    } catch (...) {
    }
}

FastLogger::LogComposer& FastLogger::LogComposer::Append(UInt32 number) {
    char digits[16];
    const std::to_chars_result result = std::to_chars(std::begin(digits), std::end(digits), number);
    AppendArgument(digits, static_cast<std::size_t>(result.ptr - digits));
    return *this;
}

FastLogger::LogComposer& FastLogger::LogComposer::Append(const char* text) {
    AppendArgument(text == nullptr ? "" : text, text == nullptr ? 0 : std::strlen(text));
    return *this;
}

void FastLogger::LogComposer::AppendArgument(const char* text, std::size_t length) {
    // Before an entry is started there is nothing to fill; past the last '%' an argument is dropped.
    const char* const mark = rest == nullptr ? nullptr : std::strchr(rest, '%');
    if (mark == nullptr) {
        return;
    }
    entry.append(rest, static_cast<std::size_t>(mark - rest)).append(text, length);
    rest = mark + 1;
}

FastLogger::LogComposer& FastLogger::Append(const InfoLogLine& line, LogComposer& composer) {
    composer.logger = this;
    composer.line = &line;
    composer.rest = line.GetTemplate();
    composer.entry.clear();
    // Room for the template and a few arguments: one allocation for an ordinary entry.
    composer.entry.reserve(std::strlen(composer.rest) + 120);
    return composer;
}

std::string FastLogger::Compose(const char* lineTemplate, const std::vector<std::string>& arguments) {
    std::string entry;
    if (lineTemplate == nullptr) {
        return entry;
    }
    std::size_t next = 0;
    for (const char* c = lineTemplate; *c != '\0'; ++c) {
        if (*c == '%' && next < arguments.size()) {
            entry += arguments[next++];
        } else {
            entry += *c;
        }
    }
    return entry;
}

void FastLogger::SetSink(Sink sink) {
    std::lock_guard<std::recursive_mutex> lock(sinkMutex);
    this->sink = std::move(sink);
}

void FastLogger::Write(const std::string& entry) {
    std::lock_guard<std::recursive_mutex> lock(sinkMutex);
    if (sink) {
        sink(entry.c_str());
        return;
    }
    const std::string line = entry + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
}

}  // namespace Zelk
