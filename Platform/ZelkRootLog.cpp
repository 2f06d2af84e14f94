// The application log.
#include <cstdio>
#include <mutex>
#include <string>

#include "ZelkRoot.hpp"

namespace Zelk {

FastLogger logger;

namespace {

// Guards every logger's sink. Recursive so that a sink which logs does not deadlock.
std::recursive_mutex sinkMutex;

}  // namespace

InfoLogLine::InfoLogLine(const char* lineTemplate, const char* category, const char* source)
    : lineTemplate(lineTemplate == nullptr ? "" : lineTemplate),
      category(category == nullptr ? "" : category),
      source(source == nullptr ? "" : source) {}

FastLogger::LogComposer::~LogComposer() {
    if (logger == nullptr || line == nullptr) {
        return;
    }
    // A destructor must not throw: an entry that cannot be written is lost.
    try {
        logger->Write(Compose(line->GetTemplate(), arguments));
    } catch (...) {
    }
}

FastLogger::LogComposer& FastLogger::LogComposer::Append(UInt32 number) {
    AppendArgument(std::to_string(number));
    return *this;
}

FastLogger::LogComposer& FastLogger::LogComposer::Append(const char* text) {
    AppendArgument(text == nullptr ? std::string() : std::string(text));
    return *this;
}

void FastLogger::LogComposer::AppendArgument(std::string argument) {
    arguments.push_back(std::move(argument));
}

FastLogger::LogComposer& FastLogger::Append(const InfoLogLine& line, LogComposer& composer) {
    composer.logger = this;
    composer.line = &line;
    composer.arguments.clear();
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
