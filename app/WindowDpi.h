// The DPI a window is drawn at.
#pragma once

#include <windows.h>

inline constexpr int kDefaultDpi = 96;

// The window's own DPI where the system keeps one per window, else the
// screen's; 96 when neither is known.
int WindowDpi(HWND hWnd);

// nLength pixels at 96 DPI in pixels at nDpi, rounded.
inline int ScaleToDpi(int nLength, int nDpi)
{
    return ::MulDiv(nLength, nDpi, kDefaultDpi);
}
