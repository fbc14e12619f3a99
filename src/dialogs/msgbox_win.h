#pragma once
// The stub's own message box and the standard boxes over it. Every
// question and error the stub shows goes through here: a caption, a blue
// stripe with an icon, a Rich Edit text with the mark-up of
// msgbox_markup.h, and up to three buttons whose captions come from a
// field list so that packages and settings files can translate them.
// Main thread only; the box is modal in the calling thread and pumps the
// messages of all its windows while it is open.
#include <windows.h>

#include <cstdint>
#include <string>

#include "dialogs/msgbox_buttons.h"
#include "dialogs/msgbox_font.h"
#include "dialogs/msgbox_request.h"

namespace kv {

// Shows the box and returns the result code of the button chosen (1 OK,
// 2 Cancel, 3 Abort, 4 Retry, 5 Ignore, 6 Yes, 7 No), that of the first
// button when the time-out (ms, 0 = none) passes, 0 when it was closed
// without a button. The window that was active is disabled meanwhile.
// `style`: button set (& 0xF), icon (& 0xF0), default button
// ((>> 8) & 0xF), 0x80000 right-aligned, 0x100000 right-to-left reading,
// 0x10000000 Close greyed. `captions`: the seven-field caption list.
int RichMessageBox(HWND owner, const std::string& text, const std::string& title, uint32_t timeoutMs,
                   uint32_t style, const std::string& captions);

// The front end every Part uses: mode 0 adds the caption as a heading,
// mode 2 greys Close, a mode above 2 is the owner window (otherwise the
// active window owns the box); character sets 177 and 178 read right to
// left; empty captions give the defaults. Returns the box's result code
// after letting pending messages through for 100 ms.
int ShowMessageBox(BoxMode mode, const std::string& text, const std::string& caption, uint32_t timeoutMs,
                   uint32_t style, int charset, const std::string& captions);

// Stop icon, OK; caption "Error" when empty.
void ShowError(BoxMode mode, const std::string& text, const std::string& caption = std::string(),
               int charset = DEFAULT_CHARSET, const std::string& captions = std::string());
// Exclamation icon, OK; caption "Attention" when empty.
void ShowWarning(BoxMode mode, const std::string& text, const std::string& caption = std::string(),
                 uint32_t timeoutMs = 0, int charset = DEFAULT_CHARSET,
                 const std::string& captions = std::string());
// Question icon, Yes and No; true for Yes. Caption "Confirm" when empty.
bool AskYesNo(BoxMode mode, const std::string& text, const std::string& caption = std::string(),
              uint32_t timeoutMs = 0, int charset = DEFAULT_CHARSET, const std::string& captions = std::string());
// Question icon, OK and Cancel; true for OK. Caption "Confirm" when empty.
bool AskOkCancel(BoxMode mode, const std::string& text, const std::string& caption = std::string(),
                 int charset = DEFAULT_CHARSET, const std::string& captions = std::string());

// A window handle as the mode argument.
inline BoxMode OwnedBy(HWND window) { return reinterpret_cast<BoxMode>(window); }

}  // namespace kv
