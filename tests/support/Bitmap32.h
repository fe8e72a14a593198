// Pixels for drawing tests: a 32-bit top-down DIB section with its own
// memory DC, filled by drawing into it or by copying a window from the screen;
// and the count of GDI objects for leak checks.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

class CBitmap32
{
public:
    CBitmap32(int cx, int cy);
    ~CBitmap32();
    CBitmap32(const CBitmap32&) = delete;
    CBitmap32& operator=(const CBitmap32&) = delete;

    // The client area as the screen shows it, or as the window prints it.
    static std::unique_ptr<CBitmap32> FromScreen(HWND hWnd);
    static std::unique_ptr<CBitmap32> FromPrintClient(HWND hWnd);

    operator HDC() const { return m_hDC; }
    int Width() const { return m_cx; }
    int Height() const { return m_cy; }

    COLORREF Pixel(int x, int y) const;
    void Fill(COLORREF clr);
    bool SameAs(const CBitmap32& other) const;
    // Pixels of exactly this colour inside rc.
    int Count(COLORREF clr, const RECT& rc) const;
    // Copies this bitmap into another at (x, y).
    void CopyTo(CBitmap32& target, int x, int y) const;
    // A .bmp file for people to look at.
    bool SaveBmp(const std::string& strPath) const;

private:
    int m_cx;
    int m_cy;
    HDC m_hDC = NULL;
    HBITMAP m_hBitmap = NULL;
    HGDIOBJ m_hOldBitmap = NULL;
    uint32_t* m_pBits = nullptr;
};

// GDI objects this process holds. The platform's own count may be missing
// (Wine answers 0); then the number of objects that still fit in the
// process's handle table tells, relative to that table's size.
long GdiObjectsInUse();
