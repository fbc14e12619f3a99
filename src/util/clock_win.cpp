#include <windows.h>

#include "util/text_utils.h"

namespace kv {

double NowValue() {
    SYSTEMTIME st{};
    GetLocalTime(&st);
    return EncodeDateTime(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond,
                          st.wMilliseconds);
}

}  // namespace kv
