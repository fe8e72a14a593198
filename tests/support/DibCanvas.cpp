#include "support/DibCanvas.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace
{
COLORREF ColorOf(RGBQUAD q)
{
    return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
}
} // namespace

CDibCanvas::CDibCanvas(int cx, int cy, COLORREF clrFill) : m_cx(cx), m_cy(cy)
{
    void* pBits = nullptr;
    m_hBitmap.Reset(XTPCreateDIB32(cx, cy, &pBits));
    m_pBits = static_cast<RGBQUAD*>(pBits);
    m_dc.SelectBitmap(m_hBitmap.Get());
    Fill(clrFill);
}

std::unique_ptr<CDibCanvas> CDibCanvas::FromScreen(HWND hWnd)
{
    RECT rc;
    ::GetClientRect(hWnd, &rc);
    auto pCanvas = std::make_unique<CDibCanvas>(rc.right, rc.bottom);
    HDC hWindowDC = ::GetDC(hWnd);
    ::BitBlt(pCanvas->GetDC(), 0, 0, rc.right, rc.bottom, hWindowDC, 0, 0, SRCCOPY);
    ::ReleaseDC(hWnd, hWindowDC);
    return pCanvas;
}

std::unique_ptr<CDibCanvas> CDibCanvas::FromPrintClient(HWND hWnd)
{
    RECT rc;
    ::GetClientRect(hWnd, &rc);
    auto pCanvas = std::make_unique<CDibCanvas>(rc.right, rc.bottom);
    ::SendMessageW(hWnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(pCanvas->GetDC()), PRF_CLIENT);
    return pCanvas;
}

void CDibCanvas::Fill(COLORREF clr)
{
    ::GdiFlush();
    for (int i = 0; i < m_cx * m_cy; ++i)
        m_pBits[i] = RGBQUAD{GetBValue(clr), GetGValue(clr), GetRValue(clr), 255};
}

RGBQUAD CDibCanvas::Pixel(int x, int y) const
{
    ::GdiFlush();
    return m_pBits[y * m_cx + x];
}

COLORREF CDibCanvas::Color(int x, int y) const
{
    return ColorOf(Pixel(x, y));
}

bool CDibCanvas::SameAs(const CDibCanvas& other) const
{
    if (m_cx != other.m_cx || m_cy != other.m_cy)
        return false;
    ::GdiFlush();
    for (int i = 0; i < m_cx * m_cy; ++i)
        if (ColorOf(m_pBits[i]) != ColorOf(other.m_pBits[i]))
            return false;
    return true;
}

int CDibCanvas::Count(COLORREF clr, const RECT& rc) const
{
    ::GdiFlush();
    int nCount = 0;
    for (int y = rc.top; y < rc.bottom; ++y)
        for (int x = rc.left; x < rc.right; ++x)
            nCount += ColorOf(m_pBits[y * m_cx + x]) == clr;
    return nCount;
}

void CDibCanvas::CopyTo(CDibCanvas& target, int x, int y) const
{
    ::BitBlt(target.GetDC(), x, y, m_cx, m_cy, GetDC(), 0, 0, SRCCOPY);
}

bool CDibCanvas::SaveBmp(const std::string& strPath) const
{
    const DWORD cbPixels = static_cast<DWORD>(m_cx * m_cy * sizeof(RGBQUAD));
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + cbPixels;
    info.biSize = sizeof(info);
    info.biWidth = m_cx;
    info.biHeight = -m_cy;
    info.biPlanes = 1;
    info.biBitCount = 32;
    info.biCompression = BI_RGB;
    // GDI leaves alpha 0 where it drew; viewers would show that as a hole.
    ::GdiFlush();
    std::vector<RGBQUAD> pixels(m_pBits, m_pBits + m_cx * m_cy);
    for (RGBQUAD& pixel : pixels)
        pixel.rgbReserved = 255;
    std::unique_ptr<FILE, int (*)(FILE*)> pFile(std::fopen(strPath.c_str(), "wb"), &std::fclose);
    return pFile && std::fwrite(&file, sizeof(file), 1, pFile.get()) == 1
           && std::fwrite(&info, sizeof(info), 1, pFile.get()) == 1
           && std::fwrite(pixels.data(), cbPixels, 1, pFile.get()) == 1;
}

bool NearColor(RGBQUAD a, RGBQUAD b, int nTolerance)
{
    return std::abs(a.rgbRed - b.rgbRed) <= nTolerance && std::abs(a.rgbGreen - b.rgbGreen) <= nTolerance
           && std::abs(a.rgbBlue - b.rgbBlue) <= nTolerance;
}

std::ostream& operator<<(std::ostream& os, const RGBQUAD& q)
{
    return os << "rgba(" << int(q.rgbRed) << "," << int(q.rgbGreen) << "," << int(q.rgbBlue) << ","
              << int(q.rgbReserved) << ")";
}
