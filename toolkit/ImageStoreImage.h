// One picture of an image store: an alpha bitmap or an icon.
#pragma once

#include "toolkit/GdiHandles.h"

#include <windows.h>

#include <memory>

class CXTPImageStoreImage
{
public:
    enum BlendMethod
    {
        BlendAuto,   // AlphaBlend when the system has it, else the manual blend
        BlendSystem, // AlphaBlend only; nothing is drawn without it
        BlendManual, // the manual blend, also where AlphaBlend exists
    };

    // Copies cx x cy pixels with straight (not premultiplied) alpha; rows are
    // nStride pixels apart (negative for bottom-up data, pTopRow then points
    // at the last row in memory). Null when the bitmap cannot be created.
    static CXTPImageStoreImage* CreateFromPixels(const RGBQUAD* pTopRow, ptrdiff_t nStride, int cx, int cy);
    // Takes over an icon of the given size.
    static CXTPImageStoreImage* CreateFromIcon(HICON hIcon, int cx, int cy);

    // Reference counted; created with one reference.
    LONG AddRef();
    LONG Release();

    int GetWidth() const { return m_cx; }
    int GetHeight() const { return m_cy; }
    BOOL IsAlpha() const { return m_hAlphaBitmap.Get() != nullptr; }
    HBITMAP GetAlphaBitmap() const { return m_hAlphaBitmap.Get(); }
    HICON GetIcon() const { return m_hIcon.Get(); }

    // Draws the picture stretched to cx x cy at (x, y). cx 0 means the width;
    // cy 0 keeps the aspect ratio.
    void Draw(HDC hdc, int x, int y, int cx = 0, int cy = 0, BlendMethod method = BlendAuto);

    // Each colour channel becomes value x alpha / 255, rounded down. 32-bit pixels.
    static void PremultiplyAlpha(const RGBQUAD* pSource, RGBQUAD* pTarget, size_t nPixels);

private:
    CXTPImageStoreImage(int cx, int cy);
    ~CXTPImageStoreImage() = default;
    CXTPImageStoreImage(const CXTPImageStoreImage&) = delete;
    CXTPImageStoreImage& operator=(const CXTPImageStoreImage&) = delete;

    BOOL MakePremultipliedCopy();
    BOOL MakeResizedCopy(int cx, int cy);
    void DrawAlphaBitmap(HDC hdc, int x, int y, int cx, int cy, BlendMethod method);
    void DrawManualBlend(HDC hdc, int x, int y, int cx, int cy, HDC hdcSource, int cxSource, int ySource, int cySource);
    void DrawIcon(HDC hdc, int x, int y, int cx, int cy);

    LONG m_nRefs = 1;
    int m_cx;
    int m_cy;
    CXTPBitmapHandle m_hAlphaBitmap;
    CXTPBitmapHandle m_hPremultiplied; // made at the first draw
    CXTPBitmapHandle m_hResized;       // premultiplied, at the last size drawn other than its own
    SIZE m_szResized = {0, 0};
    const RGBQUAD* m_pPixels = nullptr; // straight pixels of m_hAlphaBitmap, top-down rows
    CXTPIconHandle m_hIcon;
    // A DC holding the copy drawn last, from the first draw on: making one per
    // draw cost more than the blend itself. Goes before the bitmap.
    std::unique_ptr<CXTPMemoryDC> m_pSourceDC;
    HBITMAP m_hSourceSelected = NULL; // the copy selected in m_pSourceDC
};
