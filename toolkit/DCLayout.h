// GetLayout and SetLayout of gdi32, which older systems lack.
#pragma once

#include <windows.h>

// The DC's layout (LAYOUT_RTL when it is mirrored); 0 without the entry point.
DWORD GetDCLayout(HDC hdc);
// Sets the DC's layout and answers the previous one; does nothing without the entry point.
DWORD SetDCLayout(HDC hdc, DWORD dwLayout);
