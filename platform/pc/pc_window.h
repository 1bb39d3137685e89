// Message loop of the PC platform layer: modal dialogs run on the caller's
// thread, with one-shot-or-repeating timers, messages posted from any thread
// and synchronous sends, in the manner of a Win32 dialog.
//
// Order of delivery: posted messages first, in posting order; a timer only
// when no posted message waits (as WM_TIMER is generated). A timer repeats
// every `ms` until killed; callers wanting one shot kill it when it fires.
#pragma once

#include <cstdint>
#include <functional>

namespace pc {

// Window handle; 0 is no window. Handles are never reused within a process,
// so a message posted to a window that has ended is simply dropped.
using Hwnd = uintptr_t;

constexpr unsigned kMsgDestroy = 0x0002;     // the dialog is ending (last message)
constexpr unsigned kMsgInitDialog = 0x0110;  // the dialog starts (first message)
constexpr unsigned kMsgTimer = 0x0113;       // first parameter: timer id

// Window procedure: (window, message, first parameter, second parameter).
using WndProc = std::function<void(Hwnd, unsigned, uintptr_t, intptr_t)>;

// Runs a modal dialog on the calling thread: delivers kMsgInitDialog, then
// every message until EndDialog, then kMsgDestroy; returns the EndDialog
// value. Timers use CurrentClock() as it is when the dialog starts.
intptr_t RunModal(const WndProc& proc);

// Any thread. False when the window does not exist (any more).
bool PostMessage(Hwnd w, unsigned msg, uintptr_t wparam, intptr_t lparam);
// The dialog's own thread only: calls the window procedure at once.
void SendMessage(Hwnd w, unsigned msg, uintptr_t wparam, intptr_t lparam);
// Starts or restarts timer `id` of `w` with period `ms`.
void SetTimer(Hwnd w, int id, int64_t ms);
void KillTimer(Hwnd w, int id);
// Ends the modal run of `w` with `value` once the current message returns.
void EndDialog(Hwnd w, intptr_t value);

}  // namespace pc
