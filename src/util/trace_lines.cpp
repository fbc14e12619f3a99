// The two fixed-shape trace lines; kept apart from the pure formatters so
// that code using only the text helpers does not pull in the trace channel.
#include "util/kdebug.h"
#include "util/text_utils.h"

namespace kv {

void TraceFields(const std::string& a, const std::string& b, const std::string& c,
                 const std::string& d) {
    TraceLine(FormatTraceFields(a, b, c, d));
}

void TraceException(const std::exception& e, const std::string& where, const std::string& extra) {
    TraceLine(FormatTraceException(e.what(), where, extra));
}

}  // namespace kv
