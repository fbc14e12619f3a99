#pragma once
// The Windows test harness: what the tests under Wine use besides
// GoogleTest. Namespace kv::test. Every wait takes a deadline in ms.
//
// Trace viewer stand-in (trace_receiver.h)
//   TraceReceiver r;             own thread, ".KDebug." window (unique title),
//                                created before the constructor returns
//   r.Ready()                    the window exists
//   r.Text()                     all text received, in order
//   r.Messages()                 one entry per ".K_DebugMsg." message
//   r.Lines()                    Text() split into lines (CR LF or LF)
//   r.WaitFor(sub, ms)           true once Text() contains sub
//   r.Clear()                    forget what was received
//   Only one ".KDebug." window should exist at a time: a stub sends to the
//   first it finds.
//
// Paths (paths.h)
//   WinPath("/a/b")              "Z:\a\b"
//   BuildDir(), SourceDir()      the Win32 build folder, the sources
//   StubPath()                   <build>\src\stub.exe
//   ToolPath("kvtrace")          <build>\tools\win\kvtrace\kvtrace.exe
//   TempDir d;                   fresh folder under the Windows temp folder,
//     d.Path(), d.File(name)     removed with its contents at the end
//     d.Keep()                   unless kept
//   RemoveTree(path)
//
// Processes and windows (process.h)
//   QuoteArg(arg)                one argument, quoted for CreateProcess
//   ChildProcess p;              p.Start(cmd, dir), p.Wait(ms), p.Running(),
//                                p.ExitCode(code), p.Pid(), p.Terminate();
//                                terminated on destruction if still running
//   RunProcess(cmd, dir, ms, code)   start, wait, exit code
//   FindTopWindow(cls, ms[, title])  polls until the window appears
//
// Files (files.h)
//   ReadWholeFile(path[, bytes]), WriteWholeFile(path, bytes),
//   CopyFileTo(from, to), FileExists(path), WaitForFile(path, ms)
//
// Deadline (deadline.h): Deadline d(ms); d.Passed(); d.RemainingMs().
//
// UI automation (ui_automation.h); works across processes unless noted
//   WaitForTopLevelWindow(cls, ms[, pid])   first top-level window of the
//                                class (of that process); null at deadline
//   TopLevelWindows(cls[, pid]), WaitForWindowGone(w, ms),
//   WaitUntil(ms, condition)     polls every 10 ms
//   FindChildOfClass(w, cls), ClassNameOf(w), FocusOf(w) (focus of w's thread)
//   SendWithin(w, msg, wp, lp, result)   SendMessage with a 10 s limit
//   ControlText(w)               WM_GETTEXT: static, edit, Rich Edit
//   ReadWindowFacts(w)           window rect (screen), client rect, client
//                                origin (screen), style, ex-style, owner,
//                                enabled, visible; Width(r), Height(r)
//   ListButtons(w)               "Button" children left to right: caption,
//                                rect in w's client and in screen
//                                coordinates, style, isDefault
//   ReadProgress(bar, state)     PBM_GETRANGE low/high, PBM_GETPOS
//   RichEditCharFormat(edit, from, to, fmt)   format of a selection
//                                (same process only)
//   ClickButton(w)               button down/up posted at the centre
//   PressKey(w, vk)              key down/up at the focus of w's thread
//   PressAltChar(w, ch)          WM_SYSCHAR (Alt+ch) at that focus
//   CloseTopLevelWindows(cls, pid, ms)   WM_CLOSE to each, wait until gone:
//                                teardown, so that no test leaves a box open
//
// Worker thread (worker_thread.h): WorkerThread t(fn); t.Wait(ms); the
//   destructor waits (bounded) and ends the thread if it still runs. Runs
//   a modal box while the test thread drives it.
#include "harness/deadline.h"
#include "harness/files.h"
#include "harness/paths.h"
#include "harness/process.h"
#include "harness/trace_receiver.h"
#include "harness/ui_automation.h"
#include "harness/worker_thread.h"
