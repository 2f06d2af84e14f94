// ZelkRoot: the application log: line templates, the logger and its composer.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "ZelkRoot/Types.hpp"
#include "ZelkRoot/ZelkRootExport.hpp"

namespace Zelk {

// A line template made once per call site: each '%' stands for one argument, in order. The
// category and source name the line for the platform's log viewer; this log keeps neither.
class ZELKROOT_EXPORT InfoLogLine {
public:
    InfoLogLine(const char* lineTemplate, const char* category, const char* source);

    const char* GetTemplate() const noexcept { return lineTemplate.c_str(); }

private:
    std::string lineTemplate;
};

class ZELKROOT_EXPORT FastLogger {
public:
    // Collects one entry; the entry is complete, and handed to the sink, when it is destroyed.
    class ZELKROOT_EXPORT LogComposer {
    public:
        LogComposer() = default;
        LogComposer(const LogComposer&) = delete;
        LogComposer& operator=(const LogComposer&) = delete;
        ~LogComposer();

        LogComposer& Append(UInt32 number);
        LogComposer& Append(const char* text);

    private:
        friend class FastLogger;
        void AppendArgument(const char* text, std::size_t length);

        FastLogger* logger = nullptr;
        const InfoLogLine* line = nullptr;
        // The entry is built as the arguments come, by the rules of Compose: `entry` holds it up
        // to the template's next '%', and `rest` the template from there.
        std::string entry;
        const char* rest = nullptr;
    };

    // Starts an entry of `line` in `composer`.
    LogComposer& Append(const InfoLogLine& line, LogComposer& composer);

    // The text of a complete entry: the template with each '%' replaced by the next argument.
    // A '%' without an argument stays as it is; arguments beyond the last '%' are dropped.
    static std::string Compose(const char* lineTemplate, const std::vector<std::string>& arguments);

    // Where complete entries go. The default sink writes each entry as one line to standard
    // error; an empty function restores it.
    using Sink = std::function<void(const char* entry)>;
    void SetSink(Sink sink);

private:
    void Write(const std::string& entry);

    Sink sink;
};

// The application log.
extern ZELKROOT_EXPORT FastLogger logger;

}  // namespace Zelk
