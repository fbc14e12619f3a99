#include "stub/agent_state.h"

namespace kv {
namespace {

int32_t g_timerCount = InitialAgentTimerCount;
uintptr_t g_notifyWindow = 0;
uint32_t g_notifyMessage = 0;

}  // namespace

int32_t AgentTimerCount() { return g_timerCount; }
void SetAgentTimerCount(int32_t count) { g_timerCount = count; }

uintptr_t NotifyWindow() { return g_notifyWindow; }
uint32_t NotifyMessage() { return g_notifyMessage; }
void SetNotifyListener(uintptr_t window, uint32_t message) {
    g_notifyWindow = window;
    g_notifyMessage = message;
}

}  // namespace kv
