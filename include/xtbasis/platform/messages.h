// Thread message queues, the framework's event delivery: a thread gets its
// queue the first time it asks for messages (PeekMessageA or GetMessageA),
// and other threads post to it by its id. Window messages go to the
// window's SendMessageA (dialog.h); thread messages are left to the
// application's PreTranslateMessage.
#pragma once

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/dialog.h>
#include <xtbasis/platform/wintypes.h>

#define WM_NULL 0x0000u
#define WM_QUIT 0x0012u
#define WM_USER 0x0400u
#define WM_APP 0x8000u

#define PM_NOREMOVE 0x0000u
#define PM_REMOVE 0x0001u

#define ERROR_INVALID_THREAD_ID 1444L

// The next message of the calling thread's queue whose window matches
// `window` (null: any) and whose number lies in [first, last] (both 0: any);
// FALSE at once when there is none. PM_REMOVE takes it out of the queue.
XTBASIS_C_API BOOL PeekMessageA(LPMSG msg, HWND window, UINT first, UINT last, UINT remove);
// Waits for such a message and takes it; FALSE when it is WM_QUIT.
XTBASIS_C_API BOOL GetMessageA(LPMSG msg, HWND window, UINT first, UINT last);
// Appends a message for the thread `threadId`; FALSE with
// ERROR_INVALID_THREAD_ID while that thread has no queue.
XTBASIS_C_API BOOL PostThreadMessageA(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam);
// Asks the calling thread's message loop to end with `exitCode`: WM_QUIT
// follows the messages posted before it.
XTBASIS_C_API void PostQuitMessage(int exitCode);
// Keys are not turned into characters here: FALSE.
XTBASIS_C_API BOOL TranslateMessage(const MSG* msg);
// Hands a window message to its window (SendMessageA); 0 for thread messages.
XTBASIS_C_API LRESULT DispatchMessageA(const MSG* msg);
