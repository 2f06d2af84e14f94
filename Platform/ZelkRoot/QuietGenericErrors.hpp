// Internal to the platform libraries that parse XML; not installed.
#pragma once

#include <libxml/xmlerror.h>

namespace ZelkLibXml {

// libxml2 reports some faults (input that does not decode, I/O) through the calling thread's
// generic handler, which prints to standard error, instead of the parser's own handler. While a
// document is parsed, that handler drops them: the failed read or the report that follows says
// what went wrong.
class QuietGenericErrors {
public:
    QuietGenericErrors() : handler(xmlGenericError), context(xmlGenericErrorContext) {
        xmlSetGenericErrorFunc(nullptr, &Drop);
    }
    ~QuietGenericErrors() { xmlSetGenericErrorFunc(context, handler); }
    QuietGenericErrors(const QuietGenericErrors&) = delete;
    QuietGenericErrors& operator=(const QuietGenericErrors&) = delete;

private:
    static void Drop(void*, const char*, ...) {}

    xmlGenericErrorFunc handler;
    void* context;
};

}  // namespace ZelkLibXml
