#include "toolkit/ImageStore.h"

#include "toolkit/GdiHandles.h"
#include "toolkit/ImageStoreImage.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace
{
// The layout of icon-group and icon resources.
#pragma pack(push, 2)
struct GroupIconEntry
{
    BYTE bWidth; // 0 stands for 256
    BYTE bHeight;
    BYTE bColorCount;
    BYTE bReserved;
    WORD wPlanes;
    WORD wBitCount;
    DWORD dwBytesInRes;
    WORD nIconId;
};
struct GroupIconHeader
{
    WORD wReserved;
    WORD wType;
    WORD wCount;
};
#pragma pack(pop)

const BYTE kPngSignature[4] = {0x89, 'P', 'N', 'G'};

// A resource's bytes; resources need no freeing.
bool LockResourceData(HMODULE hModule, LPCSTR lpszName, LPCSTR lpszType, const BYTE** ppData, DWORD* pnSize)
{
    HRSRC hResource = ::FindResourceA(hModule, lpszName, lpszType);
    if (!hResource)
        return false;
    HGLOBAL hData = ::LoadResource(hModule, hResource);
    *ppData = hData ? static_cast<const BYTE*>(::LockResource(hData)) : nullptr;
    *pnSize = ::SizeofResource(hModule, hResource);
    return *ppData != nullptr;
}

// The size an icon image says it has: its PNG header, or its bitmap header
// whose height counts the colour and the mask part.
bool ReadIconImageSize(const BYTE* pData, DWORD nSize, int* pcx, int* pcy)
{
    if (nSize >= 24 && memcmp(pData, kPngSignature, sizeof(kPngSignature)) == 0)
    {
        auto ReadBigEndian = [](const BYTE* p) { return (p[0] << 24) | (p[1] << 16) | (p[2] << 8) | p[3]; };
        *pcx = ReadBigEndian(pData + 16);
        *pcy = ReadBigEndian(pData + 20);
        return *pcx > 0 && *pcy > 0;
    }
    if (nSize < sizeof(BITMAPINFOHEADER))
        return false;
    BITMAPINFOHEADER header;
    memcpy(&header, pData, sizeof(header));
    *pcx = header.biWidth;
    *pcy = header.biHeight / 2;
    return header.biSize >= sizeof(BITMAPINFOHEADER) && *pcx > 0 && *pcy > 0;
}
} // namespace

CXTPImageStore::CXTPImageStore() = default;

CXTPImageStore::~CXTPImageStore()
{
    for (auto& entry : m_mapImages)
        for (CXTPImageStoreImage* pImage : entry.second)
            pImage->Release();
}

CXTPImageStore* CXTPImageStore::GetSharedStore()
{
    static CXTPImageStore* const s_pStore = new CXTPImageStore();
    return s_pStore;
}

LONG CXTPImageStore::AddRef()
{
    return ::InterlockedIncrement(&m_nRefs);
}

LONG CXTPImageStore::Release()
{
    const LONG nRefs = ::InterlockedDecrement(&m_nRefs);
    if (nRefs == 0)
        delete this;
    return nRefs;
}

void CXTPImageStore::Store(UINT nId, CXTPImageStoreImage* pImage)
{
    std::vector<CXTPImageStoreImage*>& images = m_mapImages[nId];
    for (CXTPImageStoreImage*& pStored : images)
    {
        if (pStored->GetWidth() == pImage->GetWidth())
        {
            pStored->Release();
            pStored = pImage;
            return;
        }
    }
    images.push_back(pImage);
}

BOOL CXTPImageStore::AddBitmap(HBITMAP hBitmap, const UINT* pIds, int nCount, SIZE sz, XTPImageState state, BOOL bAlpha)
{
    if (!hBitmap || nCount <= 0 || state != xtpImageNormal)
        return FALSE;
    BITMAP bm;
    if (!::GetObject(hBitmap, sizeof(bm), &bm))
        return FALSE;
    const int cx = sz.cx > 0 ? sz.cx : bm.bmWidth / nCount;
    const int cy = sz.cy > 0 ? sz.cy : bm.bmHeight;
    if (cx <= 0 || cy <= 0 || cy > bm.bmHeight || static_cast<long long>(cx) * nCount > bm.bmWidth)
        return FALSE;
    return bAlpha ? AddAlphaPieces(hBitmap, pIds, nCount, cx, cy) : AddMaskedPieces(hBitmap, pIds, nCount, cx, cy);
}

BOOL CXTPImageStore::AddAlphaPieces(HBITMAP hBitmap, const UINT* pIds, int nCount, int cx, int cy)
{
    // GetObject does not tell a top-down DIB section from a bottom-up one:
    // GetDIBits hands the pixels over in a known order.
    BITMAP bm;
    if (!::GetObject(hBitmap, sizeof(bm), &bm) || bm.bmBitsPixel != 32 || bm.bmWidth % cx != 0)
        return FALSE;
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = bm.bmWidth;
    bmi.bmiHeader.biHeight = -bm.bmHeight;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    std::vector<RGBQUAD> pixels(static_cast<size_t>(bm.bmWidth) * bm.bmHeight);
    CXTPMemoryDC dc;
    if (::GetDIBits(dc.Get(), hBitmap, 0, bm.bmHeight, pixels.data(), &bmi, DIB_RGB_COLORS) != bm.bmHeight)
        return FALSE;

    BOOL bAdded = FALSE;
    for (int i = 0; i < nCount; ++i)
    {
        CXTPImageStoreImage* pImage = CXTPImageStoreImage::CreateFromPixels(pixels.data() + i * cx, bm.bmWidth, cx, cy);
        if (!pImage)
            return FALSE;
        Store(pIds ? pIds[i] : static_cast<UINT>(i), pImage);
        bAdded = TRUE;
    }
    return bAdded;
}

BOOL CXTPImageStore::AddMaskedPieces(HBITMAP hBitmap, const UINT* pIds, int nCount, int cx, int cy)
{
    // The image list blackens the masked pixels of what it is given: work on a copy.
    CXTPBitmapHandle hCopy(static_cast<HBITMAP>(::CopyImage(hBitmap, IMAGE_BITMAP, 0, 0, 0)));
    if (!hCopy)
        return FALSE;

    COLORREF clrMask = m_clrMask;
    if (clrMask == kMaskTopLeft)
    {
        CXTPMemoryDC dc;
        if (!dc.SelectBitmap(hCopy.Get()))
            return FALSE;
        clrMask = ::GetPixel(dc.Get(), 0, 0);
    }

    CXTPImageListHandle list(::ImageList_Create(cx, cy, ILC_COLOR24 | ILC_MASK, nCount, 0));
    if (!list.Get() || ::ImageList_AddMasked(list.Get(), hCopy.Get(), clrMask) < 0)
        return FALSE;

    const int nImages = std::min(nCount, ::ImageList_GetImageCount(list.Get()));
    BOOL bAdded = FALSE;
    for (int i = 0; i < nImages; ++i)
    {
        CXTPImageStoreImage* pImage =
            CXTPImageStoreImage::CreateFromIcon(::ImageList_GetIcon(list.Get(), i, ILD_NORMAL), cx, cy);
        if (!pImage)
            return bAdded;
        Store(pIds ? pIds[i] : static_cast<UINT>(i), pImage);
        bAdded = TRUE;
    }
    return bAdded;
}

BOOL CXTPImageStore::AddIconResource(HMODULE hModule, LPCSTR lpszName, UINT nId, SIZE sz, XTPImageState state)
{
    if (state != xtpImageNormal)
        return FALSE;
    const BYTE* pData = nullptr;
    DWORD nSize = 0;
    if (!LockResourceData(hModule, lpszName, RT_GROUP_ICON, &pData, &nSize))
        return AddIconImage(hModule, lpszName, nId, sz.cx, sz.cy);

    GroupIconHeader header;
    if (nSize < sizeof(header))
        return FALSE;
    memcpy(&header, pData, sizeof(header));
    if (nSize < sizeof(header) + static_cast<size_t>(header.wCount) * sizeof(GroupIconEntry))
        return FALSE;

    BOOL bAdded = FALSE;
    for (WORD i = 0; i < header.wCount; ++i)
    {
        GroupIconEntry entry;
        memcpy(&entry, pData + sizeof(header) + i * sizeof(GroupIconEntry), sizeof(entry));
        const int cx = entry.bWidth ? entry.bWidth : 256;
        const int cy = entry.bHeight ? entry.bHeight : 256;
        if ((sz.cx != 0 || sz.cy != 0) && (cx != sz.cx || cy != sz.cy))
            continue;
        if (AddIconImage(hModule, MAKEINTRESOURCEA(entry.nIconId), nId, 0, 0))
            bAdded = TRUE;
    }
    return bAdded;
}

BOOL CXTPImageStore::AddIconImage(HMODULE hModule, LPCSTR lpszIconName, UINT nId, int cxWanted, int cyWanted)
{
    const BYTE* pData = nullptr;
    DWORD nSize = 0;
    int cx = 0;
    int cy = 0;
    if (!LockResourceData(hModule, lpszIconName, RT_ICON, &pData, &nSize) || !ReadIconImageSize(pData, nSize, &cx, &cy))
        return FALSE;
    if ((cxWanted != 0 || cyWanted != 0) && (cx != cxWanted || cy != cyWanted))
        return FALSE;

    BITMAPINFOHEADER header = {};
    const bool bPng = memcmp(pData, kPngSignature, sizeof(kPngSignature)) == 0;
    if (!bPng && nSize >= sizeof(header))
        memcpy(&header, pData, sizeof(header));
    const size_t nColorBytes = static_cast<size_t>(cx) * cy * 4;
    if (header.biSize >= sizeof(header) && header.biBitCount == 32 && header.biCompression == BI_RGB
        && nSize >= header.biSize + nColorBytes)
    {
        // The colour part is a bottom-up 32-bit bitmap; the AND mask after it is
        // not needed. Images whose alpha is all zero rely on that mask, though.
        const RGBQUAD* pPixels = reinterpret_cast<const RGBQUAD*>(pData + header.biSize);
        bool bHasAlpha = false;
        for (size_t i = 0; i < static_cast<size_t>(cx) * cy && !bHasAlpha; ++i)
            bHasAlpha = pPixels[i].rgbReserved != 0;
        if (bHasAlpha)
        {
            CXTPImageStoreImage* pImage = CXTPImageStoreImage::CreateFromPixels(
                pPixels + static_cast<ptrdiff_t>(cy - 1) * cx, -static_cast<ptrdiff_t>(cx), cx, cy);
            if (!pImage)
                return FALSE;
            Store(nId, pImage);
            return TRUE;
        }
    }

    HICON hIcon =
        ::CreateIconFromResourceEx(const_cast<BYTE*>(pData), nSize, TRUE, 0x00030000, cx, cy, LR_DEFAULTCOLOR);
    CXTPImageStoreImage* pImage = CXTPImageStoreImage::CreateFromIcon(hIcon, cx, cy);
    if (!pImage)
        return FALSE;
    Store(nId, pImage);
    return TRUE;
}

CXTPImageStoreImage* CXTPImageStore::GetImage(UINT nId, int nPreferredWidth) const
{
    auto it = m_mapImages.find(nId);
    if (it == m_mapImages.end() || it->second.empty())
        return nullptr;
    CXTPImageStoreImage* pBest = nullptr;
    for (CXTPImageStoreImage* pImage : it->second)
    {
        if (nPreferredWidth == 0)
        {
            if (!pBest || pImage->GetWidth() < pBest->GetWidth())
                pBest = pImage;
        }
        else if (!pBest
                 || std::abs(pImage->GetWidth() - nPreferredWidth) < std::abs(pBest->GetWidth() - nPreferredWidth))
        {
            pBest = pImage;
        }
    }
    return pBest;
}
