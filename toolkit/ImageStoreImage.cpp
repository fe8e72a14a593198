#include "toolkit/ImageStoreImage.h"

#include "toolkit/DCLayout.h"
#include "toolkit/ImageResample.h"
#include "toolkit/Msimg32Functions.h"

#include <algorithm>
#include <cstring>
#include <vector>

CXTPImageStoreImage::CXTPImageStoreImage(int cx, int cy) : m_cx(cx), m_cy(cy) {}

CXTPImageStoreImage* CXTPImageStoreImage::CreateFromPixels(const RGBQUAD* pTopRow, ptrdiff_t nStride, int cx, int cy)
{
    if (!pTopRow || cx <= 0 || cy <= 0)
        return nullptr;
    void* pBits = nullptr;
    CXTPBitmapHandle hBitmap(XTPCreateDIB32(cx, cy, &pBits));
    if (!hBitmap)
        return nullptr;
    RGBQUAD* pTarget = static_cast<RGBQUAD*>(pBits);
    for (int nRow = 0; nRow < cy; ++nRow)
        memcpy(pTarget + static_cast<size_t>(nRow) * cx, pTopRow + nRow * nStride, sizeof(RGBQUAD) * cx);

    CXTPImageStoreImage* pImage = new CXTPImageStoreImage(cx, cy);
    pImage->m_hAlphaBitmap = std::move(hBitmap);
    pImage->m_pPixels = pTarget;
    return pImage;
}

CXTPImageStoreImage* CXTPImageStoreImage::CreateFromIcon(HICON hIcon, int cx, int cy)
{
    if (!hIcon)
        return nullptr;
    CXTPImageStoreImage* pImage = new CXTPImageStoreImage(cx, cy);
    pImage->m_hIcon.Reset(hIcon);
    return pImage;
}

LONG CXTPImageStoreImage::AddRef()
{
    return ::InterlockedIncrement(&m_nRefs);
}

LONG CXTPImageStoreImage::Release()
{
    const LONG nRefs = ::InterlockedDecrement(&m_nRefs);
    if (nRefs == 0)
        delete this;
    return nRefs;
}

void CXTPImageStoreImage::PremultiplyAlpha(const RGBQUAD* pSource, RGBQUAD* pTarget, size_t nPixels)
{
    for (size_t i = 0; i < nPixels; ++i)
    {
        const UINT nAlpha = pSource[i].rgbReserved;
        pTarget[i].rgbBlue = static_cast<BYTE>(pSource[i].rgbBlue * nAlpha / 255);
        pTarget[i].rgbGreen = static_cast<BYTE>(pSource[i].rgbGreen * nAlpha / 255);
        pTarget[i].rgbRed = static_cast<BYTE>(pSource[i].rgbRed * nAlpha / 255);
        pTarget[i].rgbReserved = static_cast<BYTE>(nAlpha);
    }
}

BOOL CXTPImageStoreImage::MakePremultipliedCopy()
{
    if (m_hPremultiplied)
        return TRUE;
    void* pBits = nullptr;
    CXTPBitmapHandle hBitmap(XTPCreateDIB32(m_cx, m_cy, &pBits));
    if (!hBitmap)
        return FALSE;
    ::GdiFlush();
    PremultiplyAlpha(m_pPixels, static_cast<RGBQUAD*>(pBits), static_cast<size_t>(m_cx) * m_cy);
    m_hPremultiplied = std::move(hBitmap);
    return TRUE;
}

void CXTPImageStoreImage::Draw(HDC hdc, int x, int y, int cx, int cy, BlendMethod method)
{
    if (m_cx <= 0 || m_cy <= 0)
        return;
    if (cx == 0)
        cx = m_cx;
    if (cy == 0)
        cy = cx * m_cy / m_cx;
    if (cx <= 0 || cy <= 0)
        return;

    if (m_hAlphaBitmap)
        DrawAlphaBitmap(hdc, x, y, cx, cy, method);
    else if (m_hIcon)
        DrawIcon(hdc, x, y, cx, cy);
}

BOOL CXTPImageStoreImage::MakeResizedCopy(int cx, int cy)
{
    if (m_hResized && m_szResized.cx == cx && m_szResized.cy == cy)
        return TRUE;
    void* pBits = nullptr;
    CXTPBitmapHandle hBitmap(XTPCreateDIB32(cx, cy, &pBits));
    if (!hBitmap)
        return FALSE;
    std::vector<RGBQUAD> premultiplied(static_cast<size_t>(m_cx) * m_cy);
    ::GdiFlush();
    PremultiplyAlpha(m_pPixels, premultiplied.data(), premultiplied.size());
    XTPResamplePremultiplied(premultiplied.data(), m_cx, m_cy, static_cast<RGBQUAD*>(pBits), cx, cy);
    // The old copy may be selected in the source DC, which would keep it
    // from being freed.
    if (m_hSourceSelected == m_hResized.Get())
    {
        m_pSourceDC.reset();
        m_hSourceSelected = NULL;
    }
    m_hResized = std::move(hBitmap);
    m_szResized = {cx, cy};
    return TRUE;
}

void CXTPImageStoreImage::DrawAlphaBitmap(HDC hdc, int x, int y, int cx, int cy, BlendMethod method)
{
    // Another size is resampled once and then drawn pixel for pixel: a blend
    // that stretches picks the nearest pixels, which a picture enlarged for a
    // high DPI shows as steps.
    const bool bResized = cx != m_cx || cy != m_cy;
    if (bResized ? !MakeResizedCopy(cx, cy) : !MakePremultipliedCopy())
        return;
    HBITMAP hSource = bResized ? m_hResized.Get() : m_hPremultiplied.Get();
    const int cxSource = cx;

    // Rows above the DC's top edge are left out of the source rather than
    // handed to the blend with a negative position.
    int ySource = 0;
    int cySource = cy;
    if (y < 0)
    {
        ySource = -y;
        cySource -= ySource;
        cy = cySource;
        y = 0;
        if (cySource <= 0)
            return;
    }

    if (!m_pSourceDC)
    {
        std::unique_ptr<CXTPMemoryDC> pDC(new CXTPMemoryDC());
        if (!*pDC)
            return;
        SetDCLayout(pDC->Get(), 0);
        m_pSourceDC = std::move(pDC);
        m_hSourceSelected = NULL;
    }
    if (m_hSourceSelected != hSource)
    {
        if (!m_pSourceDC->SelectBitmap(hSource))
            return;
        m_hSourceSelected = hSource;
    }
    CXTPMemoryDC& dcSource = *m_pSourceDC;

    const auto pfnAlphaBlend = CXTPMsimg32Functions::Get().m_pfnAlphaBlend;
    if (method == BlendManual || (method == BlendAuto && !pfnAlphaBlend))
    {
        DrawManualBlend(hdc, x, y, cx, cy, dcSource.Get(), cxSource, ySource, cySource);
        return;
    }
    if (!pfnAlphaBlend)
        return;
    const BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    pfnAlphaBlend(hdc, x, y, cx, cy, dcSource.Get(), 0, ySource, cxSource, cySource, blend);
}

void CXTPImageStoreImage::DrawManualBlend(HDC hdc, int x, int y, int cx, int cy, HDC hdcSource, int cxSource,
                                          int ySource, int cySource)
{
    void* pSourceBits = nullptr;
    void* pTargetBits = nullptr;
    void* pResultBits = nullptr;
    CXTPBitmapHandle hSource(XTPCreateDIB32(cx, cy, &pSourceBits));
    CXTPBitmapHandle hTarget(XTPCreateDIB32(cx, cy, &pTargetBits));
    CXTPBitmapHandle hResult(XTPCreateDIB32(cx, cy, &pResultBits));
    if (!hSource || !hTarget || !hResult)
        return;
    CXTPMemoryDC dcSource(hdc);
    CXTPMemoryDC dcTarget(hdc);
    CXTPMemoryDC dcResult(hdc);
    for (CXTPMemoryDC* pDC : {&dcSource, &dcTarget, &dcResult})
        SetDCLayout(pDC->Get(), 0);
    if (!dcSource.SelectBitmap(hSource.Get()) || !dcTarget.SelectBitmap(hTarget.Get())
        || !dcResult.SelectBitmap(hResult.Get()))
        return;

    ::SetStretchBltMode(dcSource.Get(), COLORONCOLOR);
    ::StretchBlt(dcSource.Get(), 0, 0, cx, cy, hdcSource, 0, ySource, cxSource, cySource, SRCCOPY);
    ::BitBlt(dcTarget.Get(), 0, 0, cx, cy, hdc, x, y, SRCCOPY);
    ::GdiFlush();

    // A mirrored DC hands its area over right to left.
    const bool bMirrored = (GetDCLayout(hdc) & LAYOUT_RTL) != 0;
    const BYTE* pSource = static_cast<const BYTE*>(pSourceBits);
    const BYTE* pTarget = static_cast<const BYTE*>(pTargetBits);
    BYTE* pResult = static_cast<BYTE*>(pResultBits);
    for (int nRow = 0; nRow < cy; ++nRow)
    {
        const size_t nRowStart = static_cast<size_t>(nRow) * cx;
        for (int nCol = 0; nCol < cx; ++nCol)
        {
            const BYTE* s = pSource + (nRowStart + nCol) * 4;
            const BYTE* d = pTarget + (nRowStart + (bMirrored ? cx - 1 - nCol : nCol)) * 4;
            BYTE* r = pResult + (nRowStart + nCol) * 4;
            const UINT nInverse = 255 - s[3];
            for (int nChannel = 0; nChannel < 4; ++nChannel)
                r[nChannel] = static_cast<BYTE>(std::min<UINT>(255, s[nChannel] + d[nChannel] * nInverse / 255));
        }
    }

    ::BitBlt(hdc, x, y, cx, cy, dcResult.Get(), 0, 0, SRCCOPY | (bMirrored ? NOMIRRORBITMAP : 0));
}

void CXTPImageStoreImage::DrawIcon(HDC hdc, int x, int y, int cx, int cy)
{
    // Drawn from the right edge with a negative width on a mirrored DC, so
    // that the picture itself is not mirrored.
    if (GetDCLayout(hdc) & LAYOUT_RTL)
        ::DrawIconEx(hdc, x + cx, y, m_hIcon.Get(), -cx, cy, 0, nullptr, DI_NORMAL);
    else
        ::DrawIconEx(hdc, x, y, m_hIcon.Get(), cx, cy, 0, nullptr, DI_NORMAL);
}
