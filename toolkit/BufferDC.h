// An off-screen copy of a rectangle of a device context: drawing goes to a
// memory bitmap, and the whole rectangle reaches the target in one copy when
// the buffer goes, so the screen never shows a half-drawn state.
#pragma once

#include "toolkit/GdiHandles.h"

#include <windows.h>

class CXTPBufferDC
{
public:
    // rc is in the target's coordinates; the buffer uses the same ones.
    CXTPBufferDC(HDC hTargetDC, const RECT& rc);
    ~CXTPBufferDC();
    CXTPBufferDC(const CXTPBufferDC&) = delete;
    CXTPBufferDC& operator=(const CXTPBufferDC&) = delete;

    // The buffer, or the target itself when no buffer could be made.
    operator HDC() const { return m_hBitmap ? m_dc.Get() : m_hTargetDC; }

private:
    HDC m_hTargetDC;
    RECT m_rc;
    // Declared before the DC, so that the DC lets go of it before it is deleted.
    CXTPBitmapHandle m_hBitmap;
    CXTPMemoryDC m_dc;
};
