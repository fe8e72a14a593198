// Owners of system handles: CXTPHandleOwner (as CXTPGdiObject, CXTPBitmapHandle, CXTPIconHandle,
// CXTPKernelHandle, CXTPImageListHandle, CXTPRegKey), CXTPSelectObject, CXTPMemoryDC; and XTPCreateDIB32.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <utility>

// Owns one handle and frees it the way its kind is freed.
template <class THandle, class TTraits> class CXTPHandleOwner
{
public:
    CXTPHandleOwner() = default;
    explicit CXTPHandleOwner(THandle hHandle) : m_hHandle(hHandle) {}
    ~CXTPHandleOwner() { Reset(); }
    CXTPHandleOwner(const CXTPHandleOwner&) = delete;
    CXTPHandleOwner& operator=(const CXTPHandleOwner&) = delete;
    CXTPHandleOwner(CXTPHandleOwner&& other) noexcept : m_hHandle(other.Detach()) {}
    CXTPHandleOwner& operator=(CXTPHandleOwner&& other) noexcept
    {
        Reset(other.Detach());
        return *this;
    }

    THandle Get() const { return m_hHandle; }
    // The empty slot, for a function that hands out a new handle through it.
    THandle* Put()
    {
        Reset();
        return &m_hHandle;
    }
    explicit operator bool() const { return m_hHandle != nullptr; }
    THandle Detach() { return std::exchange(m_hHandle, nullptr); }
    void Reset(THandle hHandle = nullptr)
    {
        if (m_hHandle)
            TTraits::Free(m_hHandle);
        m_hHandle = hHandle;
    }

private:
    THandle m_hHandle = nullptr;
};

struct CXTPGdiObjectTraits
{
    static void Free(HGDIOBJ hObject) { ::DeleteObject(hObject); }
};

struct CXTPIconTraits
{
    static void Free(HICON hIcon) { ::DestroyIcon(hIcon); }
};

struct CXTPKernelHandleTraits
{
    static void Free(HANDLE hHandle) { ::CloseHandle(hHandle); }
};

// A GDI object (bitmap, brush, region...), deleted with its owner.
template <class THandle> using CXTPGdiObject = CXTPHandleOwner<THandle, CXTPGdiObjectTraits>;
using CXTPBitmapHandle = CXTPGdiObject<HBITMAP>;
using CXTPIconHandle = CXTPHandleOwner<HICON, CXTPIconTraits>;
// A kernel object (token, file mapping, event...), closed with its owner.
using CXTPKernelHandle = CXTPHandleOwner<HANDLE, CXTPKernelHandleTraits>;

struct CXTPImageListTraits
{
    static void Free(HIMAGELIST hList) { ::ImageList_Destroy(hList); }
};
using CXTPImageListHandle = CXTPHandleOwner<HIMAGELIST, CXTPImageListTraits>;

struct CXTPRegKeyTraits
{
    static void Free(HKEY hKey) { ::RegCloseKey(hKey); }
};
using CXTPRegKey = CXTPHandleOwner<HKEY, CXTPRegKeyTraits>;

// Selects an object into a DC and puts the previous one back when it goes.
// A null object selects nothing and restores nothing.
class CXTPSelectObject
{
public:
    CXTPSelectObject(HDC hDC, HGDIOBJ hObject)
        : m_hDC(hDC), m_hOldObject(hObject != nullptr ? ::SelectObject(hDC, hObject) : nullptr)
    {
    }
    ~CXTPSelectObject()
    {
        if (m_hOldObject != nullptr)
            ::SelectObject(m_hDC, m_hOldObject);
    }
    CXTPSelectObject(const CXTPSelectObject&) = delete;
    CXTPSelectObject& operator=(const CXTPSelectObject&) = delete;

private:
    HDC m_hDC;
    HGDIOBJ m_hOldObject;
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
