// Popup windows on the virtual display for tests that drive markup with real
// window messages.
#pragma once

#include <windows.h>

// A popup of cx by cy at (x, y) in class lpszClass, registered with
// pfnWndProc on first use; pUserData goes to GWLP_USERDATA before anything
// else can reach the window procedure. Shown without activation: Wine waits
// for a window manager to let go of an activated window when it goes, and
// there is none. dwExtraStyle adds to WS_POPUP. Null without an X display.
HWND CreateTestWindow(LPCSTR lpszClass, WNDPROC pfnWndProc, int x, int y, int cx, int cy, void* pUserData,
                      UINT nClassStyle = 0, DWORD dwExtraStyle = 0);

// Dispatches this thread's messages for dwMs milliseconds (timers, posted
// mouse input, paints).
void PumpMessagesFor(DWORD dwMs);
