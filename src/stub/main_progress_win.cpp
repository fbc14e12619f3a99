// The progress callback of the main window's two bars.
#include <windows.h>
#include <commctrl.h>

#include <type_traits>

#include "stub/main_window_state_win.h"
#include "stub/progress.h"
#include "stub/stub_win.h"

namespace kv {
namespace {

// The activity bar's last position. It lives for the process: a new set-up
// resets the bar but not the count, so a later run continues the cycle.
int g_activityCount = 0;
constexpr int kActivityMax = 5;

static_assert(std::is_same_v<decltype(&MainProgress), TProgBarShowProc>, "MainProgress is the callback");

}  // namespace

void MainProgress(int32_t kind, int32_t, int32_t rangeHigh, int32_t position, int32_t step, const std::string&) {
    const MainWindowState& s = MainState();
    if (kind == ProgressSetUp) {
        // The bar's classic range message carries 16-bit bounds.
        SendMessageA(s.mainBar, PBM_SETRANGE, 0, MAKELPARAM(0, WORD(rangeHigh)));
        SendMessageA(s.mainBar, PBM_SETPOS, WPARAM(position), 0);
        SendMessageA(s.mainBar, PBM_SETSTEP, WPARAM(step), 0);
        SendMessageA(s.activityBar, PBM_SETRANGE, 0, MAKELPARAM(0, kActivityMax));
        SendMessageA(s.activityBar, PBM_SETPOS, 0, 0);
        SendMessageA(s.activityBar, PBM_SETSTEP, 1, 0);
    } else if (kind == ProgressStep) {
        SendMessageA(s.mainBar, PBM_STEPIT, 0, 0);
        if (++g_activityCount > kActivityMax) g_activityCount = 0;
        SendMessageA(s.activityBar, PBM_SETPOS, WPARAM(g_activityCount), 0);
    }
}

}  // namespace kv
