#include "support/Bitmap32.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

CBitmap32::CBitmap32(int cx, int cy) : m_cx(cx), m_cy(cy)
{
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = cx;
    bmi.bmiHeader.biHeight = -cy;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    void* pBits = nullptr;
    m_hBitmap = ::CreateDIBSection(NULL, &bmi, DIB_RGB_COLORS, &pBits, NULL, 0);
    m_pBits = static_cast<uint32_t*>(pBits);
    m_hDC = ::CreateCompatibleDC(NULL);
    m_hOldBitmap = ::SelectObject(m_hDC, m_hBitmap);
}

CBitmap32::~CBitmap32()
{
    ::SelectObject(m_hDC, m_hOldBitmap);
    ::DeleteDC(m_hDC);
    ::DeleteObject(m_hBitmap);
}

std::unique_ptr<CBitmap32> CBitmap32::FromScreen(HWND hWnd)
{
    RECT rc;
    ::GetClientRect(hWnd, &rc);
    auto pBitmap = std::make_unique<CBitmap32>(rc.right, rc.bottom);
    HDC hWindowDC = ::GetDC(hWnd);
    ::BitBlt(*pBitmap, 0, 0, rc.right, rc.bottom, hWindowDC, 0, 0, SRCCOPY);
    ::ReleaseDC(hWnd, hWindowDC);
    return pBitmap;
}

std::unique_ptr<CBitmap32> CBitmap32::FromPrintClient(HWND hWnd)
{
    RECT rc;
    ::GetClientRect(hWnd, &rc);
    auto pBitmap = std::make_unique<CBitmap32>(rc.right, rc.bottom);
    ::SendMessageW(hWnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(pBitmap->m_hDC), PRF_CLIENT);
    return pBitmap;
}

COLORREF CBitmap32::Pixel(int x, int y) const
{
    const uint32_t bgra = m_pBits[y * m_cx + x];
    return RGB((bgra >> 16) & 0xFF, (bgra >> 8) & 0xFF, bgra & 0xFF);
}

void CBitmap32::Fill(COLORREF clr)
{
    std::fill(m_pBits, m_pBits + m_cx * m_cy, (GetRValue(clr) << 16) | (GetGValue(clr) << 8) | GetBValue(clr));
}

bool CBitmap32::SameAs(const CBitmap32& other) const
{
    if (m_cx != other.m_cx || m_cy != other.m_cy)
        return false;
    for (int i = 0; i < m_cx * m_cy; ++i)
        if ((m_pBits[i] & 0xFFFFFF) != (other.m_pBits[i] & 0xFFFFFF))
            return false;
    return true;
}

int CBitmap32::Count(COLORREF clr, const RECT& rc) const
{
    int nCount = 0;
    for (int y = rc.top; y < rc.bottom; ++y)
        for (int x = rc.left; x < rc.right; ++x)
            nCount += Pixel(x, y) == clr;
    return nCount;
}

void CBitmap32::CopyTo(CBitmap32& target, int x, int y) const
{
    ::BitBlt(target, x, y, m_cx, m_cy, m_hDC, 0, 0, SRCCOPY);
}

bool CBitmap32::SaveBmp(const std::string& strPath) const
{
    const DWORD cbPixels = static_cast<DWORD>(m_cx * m_cy * 4);
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
    std::vector<uint32_t> pixels(m_pBits, m_pBits + m_cx * m_cy);
    for (uint32_t& pixel : pixels)
        pixel |= 0xFF000000;
    std::unique_ptr<FILE, int (*)(FILE*)> pFile(std::fopen(strPath.c_str(), "wb"), &std::fclose);
    return pFile && std::fwrite(&file, sizeof(file), 1, pFile.get()) == 1
           && std::fwrite(&info, sizeof(info), 1, pFile.get()) == 1
           && std::fwrite(pixels.data(), cbPixels, 1, pFile.get()) == 1;
}

long GdiObjectsInUse()
{
    const DWORD dwCounted = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    if (dwCounted != 0)
        return static_cast<long>(dwCounted);
    // Cheap regions fill what is left of the table, and go again at once.
    const long kTableSize = 1L << 16;
    std::vector<HRGN> regions;
    regions.reserve(kTableSize);
    while (regions.size() < static_cast<size_t>(kTableSize))
    {
        HRGN hRegion = ::CreateRectRgn(0, 0, 1, 1);
        if (hRegion == NULL)
            break;
        regions.push_back(hRegion);
    }
    for (HRGN hRegion : regions)
        ::DeleteObject(hRegion);
    return kTableSize - static_cast<long>(regions.size());
}
