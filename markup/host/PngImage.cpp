#include "markup/host/PngImage.h"

#include <png.h>

#include <cstdlib>
#include <cstring>
#include <memory>

// Where libpng reads from: resource memory or an open file.
struct PngSource
{
    const BYTE* pData;
    size_t nSize;
    size_t nPosition;
    HANDLE hFile;
};

namespace
{
// Bounds what one ancillary chunk may make libpng allocate. libpng only warns
// about a chunk above it and then still asks for a buffer of the length the
// chunk claims (up to 2 GB); its allocator refuses anything that large.
const png_alloc_size_t kMaxChunkBytes = 8u << 20;
const png_alloc_size_t kMaxLibpngAllocation = 2 * kMaxChunkBytes;

struct PngPixels
{
    BYTE* pBuffer;
    png_bytep* ppRows;
    UINT nWidth;
    UINT nHeight;
    size_t nRowBytes;
    int nChannels;
};

bool ReadSource(PngSource* pSource, BYTE* pTarget, size_t nBytes)
{
    if (pSource->hFile)
    {
        while (nBytes > 0)
        {
            const DWORD nWanted = nBytes > 0x10000000 ? 0x10000000 : static_cast<DWORD>(nBytes);
            DWORD nRead = 0;
            if (!::ReadFile(pSource->hFile, pTarget, nWanted, &nRead, nullptr) || nRead == 0)
                return false;
            pTarget += nRead;
            nBytes -= nRead;
        }
        return true;
    }
    if (nBytes > pSource->nSize - pSource->nPosition)
        return false;
    memcpy(pTarget, pSource->pData + pSource->nPosition, nBytes);
    pSource->nPosition += nBytes;
    return true;
}

// libpng leaves the functions below by longjmp when it meets an error, so
// none of them may hold an object with a destructor; what they allocate is
// kept in PngPixels and freed by the frame that called setjmp.

void ReadPngData(png_structp png, png_bytep pTarget, png_size_t nBytes)
{
    if (!ReadSource(static_cast<PngSource*>(png_get_io_ptr(png)), pTarget, nBytes))
        png_error(png, "read past the end of the data");
}

[[noreturn]] void OnPngError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

png_voidp AllocateForLibpng(png_structp, png_alloc_size_t nBytes)
{
    return nBytes <= kMaxLibpngAllocation ? malloc(nBytes) : nullptr;
}

void FreeForLibpng(png_structp, png_voidp p)
{
    free(p);
}

void RequestTransformations(png_structp png, png_infop info)
{
    png_uint_32 nWidth = 0;
    png_uint_32 nHeight = 0;
    int nBitDepth = 0;
    int nColorType = 0;
    png_get_IHDR(png, info, &nWidth, &nHeight, &nBitDepth, &nColorType, nullptr, nullptr, nullptr);

    if (nBitDepth == 16)
        png_set_strip_16(png);
    if (nColorType == PNG_COLOR_TYPE_PALETTE)
        png_set_palette_to_rgb(png);
    if (nBitDepth < 8)
        png_set_expand_gray_1_2_4_to_8(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS))
        png_set_tRNS_to_alpha(png);
    if (nColorType == PNG_COLOR_TYPE_GRAY || nColorType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);

    png_color_16p pBackground = nullptr;
    if (png_get_bKGD(png, info, &pBackground))
        png_set_background(png, pBackground, PNG_BACKGROUND_GAMMA_FILE, 1, 1.0);

    double dFileGamma = 0;
    if (png_get_gAMA(png, info, &dFileGamma))
        png_set_gamma(png, 2.2, dFileGamma);

    // png_read_image fills interlaced pictures only with the passes combined.
    png_set_interlace_handling(png);
}

void ReadPixels(png_structp png, png_infop info, PngSource* pSource, PngPixels* pPixels)
{
    png_set_user_limits(png, CXTPPngImage::kMaxSide, CXTPPngImage::kMaxSide);
    png_set_chunk_malloc_max(png, kMaxChunkBytes);
    png_set_read_fn(png, pSource, ReadPngData);
    png_set_sig_bytes(png, 8);
    png_read_info(png, info);

    RequestTransformations(png, info);
    png_read_update_info(png, info);

    png_uint_32 nWidth = 0;
    png_uint_32 nHeight = 0;
    int nBitDepth = 0;
    png_get_IHDR(png, info, &nWidth, &nHeight, &nBitDepth, nullptr, nullptr, nullptr, nullptr);
    const size_t nRowBytes = png_get_rowbytes(png, info);
    const int nChannels = png_get_channels(png, info);
    if (nBitDepth != 8 || (nChannels != 3 && nChannels != 4) || nRowBytes < static_cast<size_t>(nWidth) * nChannels)
        png_error(png, "unexpected pixel layout");
    // The header's size alone decides this, before any pixel memory exists.
    if (nHeight == 0 || nRowBytes > CXTPPngImage::kMaxDecodedBytes / nHeight)
        png_error(png, "picture too large");

    pPixels->pBuffer = static_cast<BYTE*>(malloc(nRowBytes * nHeight));
    pPixels->ppRows = static_cast<png_bytep*>(malloc(sizeof(png_bytep) * nHeight));
    if (!pPixels->pBuffer || !pPixels->ppRows)
        png_error(png, "out of memory");
    for (png_uint_32 nRow = 0; nRow < nHeight; ++nRow)
        pPixels->ppRows[nRow] = pPixels->pBuffer + nRow * nRowBytes;
    png_read_image(png, pPixels->ppRows);
    png_read_end(png, nullptr);

    pPixels->nWidth = nWidth;
    pPixels->nHeight = nHeight;
    pPixels->nRowBytes = nRowBytes;
    pPixels->nChannels = nChannels;
}

// The frame that libpng's errors return to. On success the caller owns
// pPixels->pBuffer; on failure nothing is left allocated.
bool DecodePixels(PngSource* pSource, PngPixels* pPixels)
{
    BYTE signature[8];
    if (!ReadSource(pSource, signature, sizeof(signature)) || png_sig_cmp(signature, 0, sizeof(signature)) != 0)
        return false;

    png_structp png = png_create_read_struct_2(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, OnPngWarning, nullptr,
                                               AllocateForLibpng, FreeForLibpng);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info)
    {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }

    if (setjmp(png_jmpbuf(png)) != 0)
    {
        free(pPixels->ppRows);
        free(pPixels->pBuffer);
        pPixels->ppRows = nullptr;
        pPixels->pBuffer = nullptr;
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    ReadPixels(png, info, pSource, pPixels);
    free(pPixels->ppRows);
    pPixels->ppRows = nullptr;
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

struct FreeDeleter
{
    void operator()(BYTE* p) const { free(p); }
};
} // namespace

BOOL CXTPPngImage::LoadFromMemory(const void* pData, size_t nSize)
{
    PngSource source = {static_cast<const BYTE*>(pData), pData ? nSize : 0, 0, nullptr};
    return Load(&source);
}

BOOL CXTPPngImage::LoadFromResource(HMODULE hModule, HRSRC hResource)
{
    m_hBitmap.Reset();
    m_bAlpha = FALSE;
    if (!hResource)
        return FALSE;
    HGLOBAL hData = ::LoadResource(hModule, hResource);
    const void* pData = hData ? ::LockResource(hData) : nullptr;
    if (!pData)
        return FALSE;
    return LoadFromMemory(pData, ::SizeofResource(hModule, hResource));
}

BOOL CXTPPngImage::LoadFromFile(LPCSTR lpszPath)
{
    m_hBitmap.Reset();
    m_bAlpha = FALSE;
    HANDLE hFile = ::CreateFileA(lpszPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return FALSE;
    PngSource source = {nullptr, 0, 0, hFile};
    const BOOL bLoaded = Load(&source);
    ::CloseHandle(hFile);
    return bLoaded;
}

BOOL CXTPPngImage::Load(PngSource* pSource)
{
    m_hBitmap.Reset();
    m_bAlpha = FALSE;

    PngPixels pixels = {};
    const bool bDecoded = DecodePixels(pSource, &pixels);
    std::unique_ptr<BYTE, FreeDeleter> buffer(pixels.pBuffer);
    if (!bDecoded)
        return FALSE;

    void* pBits = nullptr;
    CXTPBitmapHandle hBitmap(XTPCreateDIB32(static_cast<int>(pixels.nWidth), static_cast<int>(pixels.nHeight), &pBits));
    if (!hBitmap)
        return FALSE;

    BYTE* pTarget = static_cast<BYTE*>(pBits);
    const bool bAlpha = pixels.nChannels == 4;
    for (UINT nRow = 0; nRow < pixels.nHeight; ++nRow)
    {
        const BYTE* pSourceRow = buffer.get() + nRow * pixels.nRowBytes;
        for (UINT nCol = 0; nCol < pixels.nWidth; ++nCol, pSourceRow += pixels.nChannels, pTarget += 4)
        {
            pTarget[0] = pSourceRow[2];
            pTarget[1] = pSourceRow[1];
            pTarget[2] = pSourceRow[0];
            pTarget[3] = bAlpha ? pSourceRow[3] : 0;
        }
    }

    m_hBitmap = std::move(hBitmap);
    m_bAlpha = bAlpha;
    return TRUE;
}
