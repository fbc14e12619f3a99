#pragma once
// Every private window message of the stub, numbered from WM_USER (1024).
// Other programs and the plain agent post them to the main window of a
// running X_ agent; the numbers are part of the agent's outside interface.
// Registered messages are looked up by name and are not numbered here:
// "QueryCancelAutoPlay" (util/message_pump.h) and the trace viewer's
// (util/kdebug_protocol.h).
#include <cstdint>

namespace kv {

constexpr uint32_t kWmUser = 0x0400;

// wParam: the new shutdown countdown (ticks until the agent quits);
// lParam 0. Posted by "/STOP=" of the plain agent and by other programs.
constexpr uint32_t wm_ShutDown = kWmUser + 99;   // 1123
// wParam: listener window handle; lParam: listener message number (0:0
// silences the notifications). Posted by "/WM_MSG=" and by listeners.
constexpr uint32_t wm_LocalMsg = kWmUser + 100;  // 1124
// wParam: command code; lParam: its argument. Result: the command's
// value (0 for writes and unknown codes). Sent by other programs that
// want the result; the stub itself only posts it ("/TEST=").
constexpr uint32_t wm_AgentMsg = kWmUser + 101;  // 1125

}  // namespace kv
