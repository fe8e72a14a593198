// Decodes a PNG picture into a 32-bit DIB section that keeps its alpha channel.
#pragma once

#include "toolkit/GdiHandles.h"

#include <windows.h>

#include <cstddef>

struct PngSource;

class CXTPPngImage
{
public:
    // Larger pictures are refused before anything is allocated for them.
    static constexpr UINT kMaxSide = 16384;
    static constexpr size_t kMaxDecodedBytes = 64u << 20;

    CXTPPngImage() = default;
    CXTPPngImage(const CXTPPngImage&) = delete;
    CXTPPngImage& operator=(const CXTPPngImage&) = delete;

    // Each load replaces the held bitmap; on failure none is held.
    BOOL LoadFromFile(LPCSTR lpszPath);
    BOOL LoadFromResource(HMODULE hModule, HRSRC hResource);
    BOOL LoadFromMemory(const void* pData, size_t nSize);

    // A top-down DIB: blue, green, red and straight alpha (0 without an alpha channel).
    HBITMAP GetBitmap() const { return m_hBitmap.Get(); }
    // TRUE when the decoded picture has four channels.
    BOOL IsAlpha() const { return m_bAlpha; }
    // Hands the bitmap over to the caller.
    HBITMAP Detach() { return m_hBitmap.Detach(); }

private:
    BOOL Load(PngSource* pSource);

    CXTPBitmapHandle m_hBitmap;
    BOOL m_bAlpha = FALSE;
};
