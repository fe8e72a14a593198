// Pictures by image number, each number with one picture per width.
#pragma once

#include <windows.h>

#include <map>
#include <vector>

class CXTPImageStoreImage;

enum XTPImageState
{
    xtpImageNormal,
    xtpImageDisabled,
    xtpImageHot,
    xtpImageChecked,
    xtpImagePressed,
};

class CXTPImageStore
{
public:
    // Stands for "the colour of the bitmap's top-left pixel".
    static constexpr COLORREF kMaskTopLeft = static_cast<COLORREF>(-1);

    // Created with one reference.
    CXTPImageStore();

    // The process-wide store, created at the first call and kept until the
    // process ends. The caller does not own a reference.
    static CXTPImageStore* GetSharedStore();

    LONG AddRef();
    LONG Release();

    // The colour that is transparent in bitmaps without alpha.
    void SetMaskColor(COLORREF clrMask) { m_clrMask = clrMask; }
    COLORREF GetMaskColor() const { return m_clrMask; }

    // Cuts hBitmap into nCount pictures of sz (0 x 0: the bitmap's width / nCount
    // and its height) and stores copies under pIds, or 0, 1, 2... when pIds is
    // null. With bAlpha the bitmap must have 32 bits per pixel with straight
    // alpha; without it the store's mask colour becomes transparent. The
    // caller keeps hBitmap. Only the normal state is kept.
    BOOL AddBitmap(HBITMAP hBitmap, const UINT* pIds, int nCount, SIZE sz, XTPImageState state, BOOL bAlpha);

    // Stores the icons of the group (or the single icon) lpszName in hModule
    // whose size is sz (every size for 0 x 0) under nId, each with its own width.
    BOOL AddIconResource(HMODULE hModule, LPCSTR lpszName, UINT nId, SIZE sz, XTPImageState state);

    // The picture stored under nId whose width is nPreferredWidth, else the
    // nearest one; 0 picks the narrowest. Borrowed; null when nId is unknown.
    CXTPImageStoreImage* GetImage(UINT nId, int nPreferredWidth) const;

private:
    ~CXTPImageStore();
    CXTPImageStore(const CXTPImageStore&) = delete;
    CXTPImageStore& operator=(const CXTPImageStore&) = delete;

    // Takes over the reference to pImage, replacing a picture of the same width.
    void Store(UINT nId, CXTPImageStoreImage* pImage);
    BOOL AddAlphaPieces(HBITMAP hBitmap, const UINT* pIds, int nCount, int cx, int cy);
    BOOL AddMaskedPieces(HBITMAP hBitmap, const UINT* pIds, int nCount, int cx, int cy);
    BOOL AddIconImage(HMODULE hModule, LPCSTR lpszIconName, UINT nId, int cx, int cy);

    LONG m_nRefs = 1;
    COLORREF m_clrMask = kMaskTopLeft;
    std::map<UINT, std::vector<CXTPImageStoreImage*>> m_mapImages;
};
