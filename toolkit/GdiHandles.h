// Owners of GDI and USER handles: CXTPGdiObject, CXTPIconHandle, CXTPMemoryDC; and XTPCreateDIB32.
#pragma once

#include <windows.h>

#include <utility>

// Owns one GDI object (bitmap, brush, region...) and deletes it.
template <class THandle>
class CXTPGdiObject
{
public:
    CXTPGdiObject() = default;
    explicit CXTPGdiObject(THandle hObject) : m_hObject(hObject) {}
    ~CXTPGdiObject() { Reset(); }
    CXTPGdiObject(const CXTPGdiObject&) = delete;
    CXTPGdiObject& operator=(const CXTPGdiObject&) = delete;
    CXTPGdiObject(CXTPGdiObject&& other) noexcept : m_hObject(other.Detach()) {}
    CXTPGdiObject& operator=(CXTPGdiObject&& other) noexcept
    {
        Reset(other.Detach());
        return *this;
    }

    THandle Get() const { return m_hObject; }
    explicit operator bool() const { return m_hObject != nullptr; }
    THandle Detach() { return std::exchange(m_hObject, nullptr); }
    void Reset(THandle hObject = nullptr)
    {
        if (m_hObject)
            ::DeleteObject(m_hObject);
        m_hObject = hObject;
    }

private:
    THandle m_hObject = nullptr;
};

using CXTPBitmapHandle = CXTPGdiObject<HBITMAP>;

class CXTPIconHandle
{
public:
    CXTPIconHandle() = default;
    explicit CXTPIconHandle(HICON hIcon) : m_hIcon(hIcon) {}
    ~CXTPIconHandle() { Reset(); }
    CXTPIconHandle(const CXTPIconHandle&) = delete;
    CXTPIconHandle& operator=(const CXTPIconHandle&) = delete;
    CXTPIconHandle(CXTPIconHandle&& other) noexcept : m_hIcon(std::exchange(other.m_hIcon, nullptr)) {}
    CXTPIconHandle& operator=(CXTPIconHandle&& other) noexcept
    {
        Reset(std::exchange(other.m_hIcon, nullptr));
        return *this;
    }

    HICON Get() const { return m_hIcon; }
    explicit operator bool() const { return m_hIcon != nullptr; }
    void Reset(HICON hIcon = nullptr)
    {
        if (m_hIcon)
            ::DestroyIcon(m_hIcon);
        m_hIcon = hIcon;
    }

private:
    HICON m_hIcon = nullptr;
};

// A memory DC; a bitmap selected into it through SelectBitmap is deselected
// before the DC is deleted, so the bitmap can be freed afterwards.
class CXTPMemoryDC
{
public:
    explicit CXTPMemoryDC(HDC hdcCompatible = nullptr) : m_hDC(::CreateCompatibleDC(hdcCompatible)) {}
    ~CXTPMemoryDC()
    {
        if (m_hDC)
        {
            if (m_hOldBitmap)
                ::SelectObject(m_hDC, m_hOldBitmap);
            ::DeleteDC(m_hDC);
        }
    }
    CXTPMemoryDC(const CXTPMemoryDC&) = delete;
    CXTPMemoryDC& operator=(const CXTPMemoryDC&) = delete;

    HDC Get() const { return m_hDC; }
    explicit operator bool() const { return m_hDC != nullptr; }

    BOOL SelectBitmap(HBITMAP hBitmap)
    {
        if (!m_hDC)
            return FALSE;
        HGDIOBJ hOld = ::SelectObject(m_hDC, hBitmap);
        if (!hOld || hOld == HGDI_ERROR)
            return FALSE;
        if (!m_hOldBitmap)
            m_hOldBitmap = hOld;
        return TRUE;
    }

private:
    HDC m_hDC;
    HGDIOBJ m_hOldBitmap = nullptr;
};

// Creates a 32-bit top-down DIB section; *ppBits receives its pixels.
inline HBITMAP XTPCreateDIB32(int cx, int cy, void** ppBits, HDC hdc = nullptr)
{
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = cx;
    bmi.bmiHeader.biHeight = -cy;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    void* pBits = nullptr;
    HBITMAP hBitmap = ::CreateDIBSection(hdc, &bmi, DIB_RGB_COLORS, &pBits, nullptr, 0);
    *ppBits = hBitmap ? pBits : nullptr;
    return hBitmap;
}
