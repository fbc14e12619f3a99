#pragma once
// Native builds only: where the trace channel's chunks go. The Win32 build
// sends them to the viewer window; natively they are discarded unless a
// test installs a sink.
#include <functional>
#include <string_view>

namespace kv {

// Every chunk the chunk sender dispatches is passed to `sink`; an empty
// function restores the default (discard). Set under the trace lock.
void SetTraceSinkForTests(std::function<void(std::string_view)> sink);

}  // namespace kv
