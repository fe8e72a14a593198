// Builds test pictures for the image store.
#pragma once

#include "toolkit/GdiHandles.h"

#include <windows.h>

#include <functional>

// A 32-bit top-down DIB section; pixel(x, y) gives each straight-alpha pixel.
inline HBITMAP MakeAlphaBitmap(int cx, int cy, const std::function<RGBQUAD(int, int)>& pixel)
{
    void* pBits = nullptr;
    HBITMAP hBitmap = XTPCreateDIB32(cx, cy, &pBits);
    RGBQUAD* pPixels = static_cast<RGBQUAD*>(pBits);
    for (int y = 0; y < cy; ++y)
        for (int x = 0; x < cx; ++x)
            pPixels[y * cx + x] = pixel(x, y);
    return hBitmap;
}

inline RGBQUAD Rgba(BYTE r, BYTE g, BYTE b, BYTE a)
{
    return RGBQUAD{b, g, r, a};
}
