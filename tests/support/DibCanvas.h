// Pixels for drawing tests: a 32-bit top-down DIB section with its own memory
// DC, filled by drawing into it or by copying a window's client area.
#pragma once

#include "toolkit/GdiHandles.h"

#include <windows.h>

#include <memory>
#include <ostream>
#include <string>

class CDibCanvas
{
public:
    // Every pixel starts opaque in clrFill (alpha 255, as a window's pixels are).
    CDibCanvas(int cx, int cy, COLORREF clrFill = RGB(0, 0, 0));
    CDibCanvas(const CDibCanvas&) = delete;
    CDibCanvas& operator=(const CDibCanvas&) = delete;

    // The client area as the screen shows it, or as the window prints it.
    static std::unique_ptr<CDibCanvas> FromScreen(HWND hWnd);
    static std::unique_ptr<CDibCanvas> FromPrintClient(HWND hWnd);

    HDC GetDC() const { return m_dc.Get(); }
    int Width() const { return m_cx; }
    int Height() const { return m_cy; }

    void Fill(COLORREF clr);
    // The pixel with its alpha, or only its colour.
    RGBQUAD Pixel(int x, int y) const;
    COLORREF Color(int x, int y) const;
    RGBQUAD* Bits() { return m_pBits; }

    // Same size and colours; alpha is not compared.
    bool SameAs(const CDibCanvas& other) const;
    // Pixels of exactly this colour inside rc.
    int Count(COLORREF clr, const RECT& rc) const;
    // Copies this canvas into another at (x, y).
    void CopyTo(CDibCanvas& target, int x, int y) const;
    // A .bmp file for people to look at.
    bool SaveBmp(const std::string& strPath) const;

private:
    int m_cx;
    int m_cy;
    RGBQUAD* m_pBits = nullptr;
    // Declared before the DC, so that the DC lets go of it before it is deleted.
    CXTPBitmapHandle m_hBitmap;
    CXTPMemoryDC m_dc;
};

// Colour channels equal within a tolerance (alpha not compared).
bool NearColor(RGBQUAD a, RGBQUAD b, int nTolerance);

// Prints a pixel in test messages.
std::ostream& operator<<(std::ostream& os, const RGBQUAD& q);
