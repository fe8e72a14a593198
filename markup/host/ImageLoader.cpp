#include "markup/host/ImageLoader.h"

#include "markup/host/PngImage.h"
#include "toolkit/GdiHandles.h"
#include "toolkit/ImageStore.h"

#include <cctype>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <utility>

namespace
{
const BYTE kPngSignature[4] = {0x89, 'P', 'N', 'G'};
const COLORREF kMaskGreen = RGB(0, 255, 0);
const char* const kPngResourceType = "PNG";

bool IsPngSignature(const BYTE* pData, size_t nSize)
{
    return nSize >= sizeof(kPngSignature) && memcmp(pData, kPngSignature, sizeof(kPngSignature)) == 0;
}

class CFileHandle
{
public:
    explicit CFileHandle(LPCSTR lpszPath)
        : m_hFile(::CreateFileA(lpszPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr))
    {
    }
    ~CFileHandle()
    {
        if (m_hFile != INVALID_HANDLE_VALUE)
            ::CloseHandle(m_hFile);
    }
    CFileHandle(const CFileHandle&) = delete;
    CFileHandle& operator=(const CFileHandle&) = delete;

    // Reads up to nBytes from the start; answers how many were read.
    DWORD ReadStart(void* pTarget, DWORD nBytes) const
    {
        DWORD nRead = 0;
        if (m_hFile == INVALID_HANDLE_VALUE || !::ReadFile(m_hFile, pTarget, nBytes, &nRead, nullptr))
            return 0;
        return nRead;
    }

private:
    HANDLE m_hFile;
};

// Tools save 32-bit bitmaps whose fourth byte is unused (all zero); such a
// picture is meant to be opaque, not invisible.
void MakeOpaqueWithoutAlpha(HBITMAP hBitmap)
{
    DIBSECTION dib;
    if (::GetObject(hBitmap, sizeof(dib), &dib) != sizeof(dib) || dib.dsBm.bmBitsPixel != 32 || !dib.dsBm.bmBits)
        return;
    ::GdiFlush();
    RGBQUAD* pPixels = static_cast<RGBQUAD*>(dib.dsBm.bmBits);
    const size_t nPixels = static_cast<size_t>(dib.dsBm.bmWidth) * dib.dsBm.bmHeight;
    for (size_t i = 0; i < nPixels; ++i)
        if (pPixels[i].rgbReserved != 0)
            return;
    for (size_t i = 0; i < nPixels; ++i)
        pPixels[i].rgbReserved = 255;
}

// Resource pictures cannot change while their module is loaded, so each is
// decoded once per process: every later load shares the store. The names
// are compared as FindResource compares them, case-insensitively.
class CResourceStoreCache
{
public:
    ~CResourceStoreCache()
    {
        for (auto& entry : m_stores)
            entry.second->Release();
    }

    // The cached store with one reference more, or null.
    CXTPImageStore* Find(HMODULE hModule, LPCSTR lpszName)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto it = m_stores.find(Key(hModule, lpszName));
        if (it == m_stores.end())
            return nullptr;
        it->second->AddRef();
        return it->second;
    }

    void Add(HMODULE hModule, LPCSTR lpszName, CXTPImageStore* pStore)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        auto inserted = m_stores.emplace(Key(hModule, lpszName), pStore);
        if (inserted.second)
            pStore->AddRef();
    }

private:
    static std::pair<HMODULE, std::string> Key(HMODULE hModule, LPCSTR lpszName)
    {
        if (IS_INTRESOURCE(lpszName))
            return {hModule, "#" + std::to_string(reinterpret_cast<ULONG_PTR>(lpszName))};
        std::string strName(lpszName);
        for (char& ch : strName)
            ch = static_cast<char>(toupper(static_cast<unsigned char>(ch)));
        return {hModule, strName};
    }

    std::mutex m_mutex;
    std::map<std::pair<HMODULE, std::string>, CXTPImageStore*> m_stores; // held
};

CResourceStoreCache& ResourceStores()
{
    static CResourceStoreCache cache;
    return cache;
}

CXTPImageStore* CreateStoreWith(HBITMAP hBitmap, BOOL bAlpha)
{
    CXTPImageStore* pStore = new CXTPImageStore();
    pStore->SetMaskColor(kMaskGreen);
    if (hBitmap)
    {
        // The store keeps copies of the pieces.
        pStore->AddBitmap(hBitmap, nullptr, 1, SIZE{0, 0}, xtpImageNormal, bAlpha);
        ::DeleteObject(hBitmap);
    }
    return pStore;
}
} // namespace

HBITMAP CXTPImageLoader::LoadImageFile(LPCSTR lpszPath, BOOL* pbAlpha)
{
    *pbAlpha = FALSE;
    BYTE headers[sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)] = {};
    const DWORD nRead = CFileHandle(lpszPath).ReadStart(headers, sizeof(headers));

    if (IsPngSignature(headers, nRead))
    {
        CXTPPngImage png;
        if (!png.LoadFromFile(lpszPath))
            return nullptr;
        *pbAlpha = png.IsAlpha();
        return png.Detach();
    }

    if (nRead == sizeof(headers))
    {
        BITMAPINFOHEADER info;
        memcpy(&info, headers + sizeof(BITMAPFILEHEADER), sizeof(info));
        *pbAlpha = info.biBitCount == 32;
    }
    HBITMAP hBitmap =
        static_cast<HBITMAP>(::LoadImageA(nullptr, lpszPath, IMAGE_BITMAP, 0, 0,
                                          LR_LOADFROMFILE | LR_DEFAULTSIZE | (*pbAlpha ? LR_CREATEDIBSECTION : 0)));
    if (!hBitmap)
        *pbAlpha = FALSE;
    else if (*pbAlpha)
        MakeOpaqueWithoutAlpha(hBitmap);
    return hBitmap;
}

HBITMAP CXTPImageLoader::LoadImageResource(HMODULE hModule, LPCSTR lpszName, BOOL* pbAlpha)
{
    *pbAlpha = FALSE;
    if (HRSRC hPng = ::FindResourceA(hModule, lpszName, kPngResourceType))
    {
        HGLOBAL hData = ::LoadResource(hModule, hPng);
        const BYTE* pData = hData ? static_cast<const BYTE*>(::LockResource(hData)) : nullptr;
        const DWORD nSize = ::SizeofResource(hModule, hPng);
        if (pData && IsPngSignature(pData, nSize))
        {
            CXTPPngImage png;
            if (nSize < 10 || !png.LoadFromMemory(pData, nSize))
                return nullptr;
            *pbAlpha = png.IsAlpha();
            return png.Detach();
        }
    }

    if (HRSRC hBitmapResource = ::FindResourceA(hModule, lpszName, RT_BITMAP))
    {
        HGLOBAL hData = ::LoadResource(hModule, hBitmapResource);
        const BYTE* pData = hData ? static_cast<const BYTE*>(::LockResource(hData)) : nullptr;
        const DWORD nSize = ::SizeofResource(hModule, hBitmapResource);
        BITMAPINFOHEADER header = {};
        if (pData && nSize >= sizeof(header))
            memcpy(&header, pData, sizeof(header));
        if (header.biBitCount == 32)
        {
            *pbAlpha = TRUE;
            HBITMAP hBitmap = CreateDibFromPacked(pData, nSize);
            if (hBitmap)
                MakeOpaqueWithoutAlpha(hBitmap);
            return hBitmap;
        }
    }

    return static_cast<HBITMAP>(::LoadImageA(hModule, lpszName, IMAGE_BITMAP, 0, 0, LR_DEFAULTSIZE));
}

HBITMAP CXTPImageLoader::CreateDibFromPacked(const BYTE* pData, size_t nSize)
{
    BITMAPINFOHEADER header;
    memcpy(&header, pData, sizeof(header));
    if (header.biSize < sizeof(header) || header.biSize > nSize || header.biWidth <= 0 || header.biHeight == 0
        || (header.biCompression != BI_RGB && header.biCompression != BI_BITFIELDS))
        return nullptr;
    // Pixels follow the header, which may be a longer version, and for
    // BI_BITFIELDS with the short header, three colour masks.
    size_t nOffset = header.biSize;
    if (header.biCompression == BI_BITFIELDS && header.biSize == sizeof(header))
        nOffset += 3 * sizeof(DWORD);
    const unsigned long long nHeight = header.biHeight < 0 ? -static_cast<long long>(header.biHeight) : header.biHeight;
    const unsigned long long nPixelBytes = static_cast<unsigned long long>(header.biWidth) * nHeight * 4;
    if (nPixelBytes > nSize || nOffset > nSize - nPixelBytes)
        return nullptr;

    header.biSize = sizeof(header);
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(nPixelBytes);
    header.biClrUsed = 0;
    CXTPMemoryDC dc;
    void* pBits = nullptr;
    HBITMAP hBitmap =
        ::CreateDIBSection(dc.Get(), reinterpret_cast<const BITMAPINFO*>(&header), DIB_RGB_COLORS, &pBits, nullptr, 0);
    if (!hBitmap)
        return nullptr;
    memcpy(pBits, pData + nOffset, nPixelBytes);
    return hBitmap;
}

CXTPImageStore* CXTPImageLoader::CreateFileStore(LPCSTR lpszPath)
{
    BOOL bAlpha = FALSE;
    HBITMAP hBitmap = LoadImageFile(lpszPath, &bAlpha);
    return CreateStoreWith(hBitmap, bAlpha);
}

CXTPImageStore* CXTPImageLoader::CreateResourceStore(HMODULE hModule, LPCSTR lpszName)
{
    if (CXTPImageStore* pCached = ResourceStores().Find(hModule, lpszName))
        return pCached;
    BOOL bAlpha = FALSE;
    HBITMAP hBitmap = LoadImageResource(hModule, lpszName, &bAlpha);
    CXTPImageStore* pStore = CreateStoreWith(hBitmap, bAlpha);
    if (!hBitmap)
        pStore->AddIconResource(hModule, lpszName, 0, SIZE{0, 0}, xtpImageNormal);
    ResourceStores().Add(hModule, lpszName, pStore);
    return pStore;
}
