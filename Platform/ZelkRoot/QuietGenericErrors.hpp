// How the platform libraries parse XML with libxml2; internal to them, not installed.
#pragma once

#include <libxml/parser.h>
#include <libxml/xmlerror.h>

namespace ZelkLibXml {

// The options of every parse: no network, no external entities or DTDs (so nothing but the
// document itself is read), libxml2's default bounds on entity expansion, and no messages to
// standard error: errors reach the caller through the parser's own handler instead.
inline constexpr int ParserOptions = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;

// No file the platform reads has this many errors. A hostile one can have millions (entities that
// expand into undefined references, each an error), so past it the parser is stopped and the read
// fails.
inline constexpr unsigned MaxParserErrors = 1000;

// What a structured error handler receives; libxml2 2.12 made it const.
#if LIBXML_VERSION >= 21200
using ParserError = const xmlError*;
#else
using ParserError = xmlErrorPtr;
#endif

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
