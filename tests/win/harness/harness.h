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
#include "harness/deadline.h"
#include "harness/files.h"
#include "harness/paths.h"
#include "harness/process.h"
#include "harness/trace_receiver.h"
