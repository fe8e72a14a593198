// A 32-bit top-down DIB section selected into a memory DC, for pixel checks.
#pragma once

#include <windows.h>

#include <cstdlib>
#include <ostream>

class CDibCanvas
{
public:
    CDibCanvas(int cx, int cy, COLORREF clrFill) : m_cx(cx), m_cy(cy)
    {
        BITMAPINFO bmi = {};
        bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bmi.bmiHeader.biWidth = cx;
        bmi.bmiHeader.biHeight = -cy;
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 32;
        bmi.bmiHeader.biCompression = BI_RGB;
        m_hDC = ::CreateCompatibleDC(nullptr);
        m_hBitmap = ::CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_pBits), nullptr, 0);
        m_hOld = ::SelectObject(m_hDC, m_hBitmap);
        Fill(clrFill);
    }
    ~CDibCanvas()
    {
        ::SelectObject(m_hDC, m_hOld);
        ::DeleteObject(m_hBitmap);
        ::DeleteDC(m_hDC);
    }
    CDibCanvas(const CDibCanvas&) = delete;
    CDibCanvas& operator=(const CDibCanvas&) = delete;

    HDC GetDC() const { return m_hDC; }
    int Width() const { return m_cx; }
    int Height() const { return m_cy; }

    // Every pixel opaque in the colour (alpha 255, as a window's pixels are).
    void Fill(COLORREF clr)
    {
        for (int i = 0; i < m_cx * m_cy; ++i)
            m_pBits[i] = RGBQUAD{GetBValue(clr), GetGValue(clr), GetRValue(clr), 255};
    }

    RGBQUAD Pixel(int x, int y) const
    {
        ::GdiFlush();
        return m_pBits[y * m_cx + x];
    }
    RGBQUAD* Bits() { return m_pBits; }

private:
    int m_cx;
    int m_cy;
    HDC m_hDC;
    HBITMAP m_hBitmap;
    HGDIOBJ m_hOld;
    RGBQUAD* m_pBits = nullptr;
};

// Colour channels equal within a tolerance (alpha not compared).
inline bool NearColor(RGBQUAD a, RGBQUAD b, int nTolerance)
{
    return std::abs(a.rgbRed - b.rgbRed) <= nTolerance && std::abs(a.rgbGreen - b.rgbGreen) <= nTolerance &&
           std::abs(a.rgbBlue - b.rgbBlue) <= nTolerance;
}

// Prints a pixel in test messages.
inline std::ostream& operator<<(std::ostream& os, const RGBQUAD& q)
{
    return os << "rgba(" << int(q.rgbRed) << "," << int(q.rgbGreen) << "," << int(q.rgbBlue) << ","
              << int(q.rgbReserved) << ")";
}
