// Times PNG decoding (the program's pictures and one large picture) and
// drawing with AlphaBlend against the manual blend.

#include "BenchSupport.h"

#include "markup/host/ImageLoader.h"
#include "markup/host/PngImage.h"
#include "toolkit/GdiHandles.h"
#include "toolkit/ImageStore.h"
#include "toolkit/ImageStoreImage.h"

#include <zlib.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <vector>

namespace
{
// The mean time of one run, in microseconds.
double MeanMicroseconds(const std::function<void()>& work)
{
    return SecondsPerRun(work) * 1e6;
}

void AppendBigEndian(std::vector<BYTE>& data, uint32_t nValue)
{
    for (int nShift = 24; nShift >= 0; nShift -= 8)
        data.push_back(static_cast<BYTE>(nValue >> nShift));
}

void AppendChunk(std::vector<BYTE>& png, const char* pszType, const std::vector<BYTE>& body)
{
    AppendBigEndian(png, static_cast<uint32_t>(body.size()));
    const size_t nTypeAt = png.size();
    png.insert(png.end(), pszType, pszType + 4);
    png.insert(png.end(), body.begin(), body.end());
    AppendBigEndian(png, static_cast<uint32_t>(crc32(0, &png[nTypeAt], static_cast<uInt>(body.size() + 4))));
}

// An 8-bit RGBA picture of smooth gradients with a soft-edged disc, so that
// it compresses like a drawn picture rather than like noise or a flat fill.
std::vector<BYTE> MakeLargePng(uint32_t nSide)
{
    std::vector<BYTE> raw;
    raw.reserve((nSide * 4 + 1) * nSide);
    const double dCentre = nSide / 2.0;
    for (uint32_t y = 0; y < nSide; ++y)
    {
        raw.push_back(0); // no filter
        for (uint32_t x = 0; x < nSide; ++x)
        {
            const double dx = x - dCentre, dy = y - dCentre;
            const double dEdge = dCentre * 0.8 - std::sqrt(dx * dx + dy * dy);
            const int nAlpha = dEdge >= 1 ? 255 : dEdge <= 0 ? 0 : static_cast<int>(dEdge * 255);
            raw.push_back(static_cast<BYTE>(x * 255 / nSide));
            raw.push_back(static_cast<BYTE>(y * 255 / nSide));
            raw.push_back(static_cast<BYTE>((x ^ y) & 0xFF));
            raw.push_back(static_cast<BYTE>(nAlpha));
        }
    }
    std::vector<BYTE> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    std::vector<BYTE> header;
    AppendBigEndian(header, nSide);
    AppendBigEndian(header, nSide);
    header.insert(header.end(), {8, 6, 0, 0, 0});
    AppendChunk(png, "IHDR", header);
    uLongf nCompressed = compressBound(static_cast<uLong>(raw.size()));
    std::vector<BYTE> compressed(nCompressed);
    compress2(compressed.data(), &nCompressed, raw.data(), static_cast<uLong>(raw.size()), 6);
    compressed.resize(nCompressed);
    AppendChunk(png, "IDAT", compressed);
    AppendChunk(png, "IEND", {});
    return png;
}

void BenchDecoding()
{
    HMODULE hModule = GetModuleHandle(nullptr);
    for (const char* pszName : {"CLOCK.PNG", "INFO.PNG", "SYNC.PNG"})
    {
        HRSRC hResource = FindResourceA(hModule, pszName, "PNG");
        const double dMicros = MeanMicroseconds(
            [&]
            {
                CXTPPngImage png;
                png.LoadFromResource(hModule, hResource);
            });
        printf("decode %-10s %10.1f us\n", pszName, dMicros);
    }

    // The first store of a resource decodes and copies it; later ones share it.
    const double dStart = Seconds();
    CXTPImageLoader::CreateResourceStore(hModule, "clock.png")->Release();
    const double dFirst = (Seconds() - dStart) * 1e6;
    const double dShared =
        MeanMicroseconds([&] { CXTPImageLoader::CreateResourceStore(hModule, "clock.png")->Release(); });
    printf("resource store for clock.png: first (decode and copy) %.1f us, shared thereafter %.2f us\n", dFirst,
           dShared);

    const std::vector<BYTE> large = MakeLargePng(2048);
    bool bDecoded = false;
    const double dMicros = MeanMicroseconds(
        [&]
        {
            CXTPPngImage png;
            bDecoded = png.LoadFromMemory(large.data(), large.size());
        });
    printf("decode 2048 x 2048 RGBA (%zu bytes)%s %10.1f ms\n", large.size(), bDecoded ? "" : " FAILED",
           dMicros / 1000);
}

void BenchDrawing()
{
    HMODULE hModule = GetModuleHandle(nullptr);
    CXTPImageStore* pStore = CXTPImageLoader::CreateResourceStore(hModule, "SYNC.PNG");
    CXTPImageStoreImage* pImage = pStore->GetImage(0, 0);
    if (!pImage)
    {
        printf("SYNC.PNG did not load\n");
        return;
    }
    void* pBits = nullptr;
    CXTPBitmapHandle hTarget(XTPCreateDIB32(512, 512, &pBits));
    CXTPMemoryDC dc;
    dc.SelectBitmap(hTarget.Get());
    PatBlt(dc.Get(), 0, 0, 512, 512, WHITENESS);

    struct Case
    {
        const char* pszWhat;
        int cx;
    } cases[] = {{"32 x 32", 32}, {"256 x 256 (stretched)", 256}};
    for (const Case& c : cases)
    {
        const double dSystem =
            MeanMicroseconds([&] { pImage->Draw(dc.Get(), 10, 10, c.cx, c.cx, CXTPImageStoreImage::BlendSystem); });
        const double dManual =
            MeanMicroseconds([&] { pImage->Draw(dc.Get(), 10, 10, c.cx, c.cx, CXTPImageStoreImage::BlendManual); });
        printf("draw %-22s AlphaBlend %8.1f us   manual blend %8.1f us\n", c.pszWhat, dSystem, dManual);
    }
    pStore->Release();
}
} // namespace

int main()
{
    BenchDecoding();
    BenchDrawing();
    return 0;
}
