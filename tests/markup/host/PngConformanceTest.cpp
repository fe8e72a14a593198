// Every picture of libpng's test images, decoded by CXTPPngImage, against
// ImageMagick's decoding of the same file (made at build time, 16 bits per
// sample, no gamma applied) with the decoder's rules applied on top: 16-bit
// samples cut to their high byte, gamma correction for a 2.2 screen, and
// composition onto the background chunk.

#include "markup/host/PngImage.h"

#include "PngTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <sstream>

namespace
{
const double kScreenGamma = 2.2;

// What the file's chunks say, read independently of libpng.
struct PngFacts
{
    uint32_t nWidth = 0;
    uint32_t nHeight = 0;
    int nBitDepth = 0;
    int nColorType = 0;
    double dGamma = 0; // 0: none
    bool bBackground = false;
    double background[3] = {}; // 0..1, as stored (not gamma corrected)
    std::vector<BYTE> palette;
};

uint32_t BigEndian32(const BYTE* p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

bool ReadFacts(const std::vector<BYTE>& file, PngFacts* pFacts)
{
    std::vector<BYTE> background;
    for (size_t nPos = 8; nPos + 12 <= file.size();)
    {
        const uint32_t nLength = BigEndian32(&file[nPos]);
        const std::string strType(reinterpret_cast<const char*>(&file[nPos + 4]), 4);
        const BYTE* pBody = &file[nPos + 8];
        if (nPos + 12 + nLength > file.size())
            return false;
        if (strType == "IHDR")
        {
            pFacts->nWidth = BigEndian32(pBody);
            pFacts->nHeight = BigEndian32(pBody + 4);
            pFacts->nBitDepth = pBody[8];
            pFacts->nColorType = pBody[9];
        }
        else if (strType == "gAMA" && nLength == 4)
            pFacts->dGamma = BigEndian32(pBody) / 100000.0;
        else if (strType == "sRGB" && pFacts->dGamma == 0)
            pFacts->dGamma = 0.45455; // the gamma that sRGB implies
        else if (strType == "PLTE")
            pFacts->palette.assign(pBody, pBody + nLength);
        else if (strType == "bKGD")
            background.assign(pBody, pBody + nLength);
        nPos += 12 + nLength;
    }

    if (!background.empty())
    {
        pFacts->bBackground = true;
        const double dMax = (1 << pFacts->nBitDepth) - 1.0;
        if (pFacts->nColorType == 3)
        {
            for (int i = 0; i < 3; ++i)
                pFacts->background[i] = pFacts->palette[background[0] * 3 + i] / 255.0;
        }
        else
        {
            for (int i = 0; i < 3; ++i)
            {
                const size_t nAt = background.size() >= 6 ? i * 2 : 0;
                pFacts->background[i] = ((background[nAt] << 8) | background[nAt + 1]) / dMax;
            }
        }
    }
    return pFacts->nWidth > 0;
}

// The expected 8-bit result of one image: each channel within [low, high],
// give or take the tolerance.
struct Expected
{
    bool bAlpha;
    int nTolerance;
    std::vector<RGBQUAD> low;
    std::vector<RGBQUAD> high;
};

BYTE ToByte(double d)
{
    return static_cast<BYTE>(std::lround(std::min(1.0, std::max(0.0, d)) * 255));
}

Expected ExpectedPixels(const PngFacts& facts, const std::vector<BYTE>& reference)
{
    const double dCorrection = facts.dGamma * kScreenGamma;
    // libpng leaves gamma alone when the correction is within 5% of none.
    const bool bGamma = facts.dGamma > 0 && std::fabs(dCorrection - 1) >= 0.05;
    const bool bAlphaChannel = facts.nColorType == 4 || facts.nColorType == 6;
    // Without composition libpng corrects 16-bit samples through a table that
    // keeps only their top 11 bits and answers the output step whose boundary
    // lies above the sample's band. Where the curve is steep (dark values) one
    // band spans several steps, so the result is only known to lie on the
    // curve within two bands (64 of 65535) of the sample.
    const double dBand = bGamma && !facts.bBackground && facts.nBitDepth == 16 ? 64.0 / 65535 : 0;

    Expected expected;
    // Gamma tables and 16-bit composition round in their own ways.
    expected.nTolerance = bGamma || facts.bBackground ? 2 : 1;
    bool bAnyTransparent = false;
    const size_t nPixels = size_t(facts.nWidth) * facts.nHeight;
    for (size_t i = 0; i < nPixels; ++i)
    {
        const BYTE* p = &reference[i * 8];
        double sample[4];
        for (int c = 0; c < 4; ++c)
            sample[c] = ((p[c * 2] << 8) | p[c * 2 + 1]) / 65535.0;
        bAnyTransparent |= sample[3] < 1;

        auto Channel = [&](int c, double dSample)
        {
            if (facts.bBackground && bGamma)
            {
                // Composed in linear light, then encoded for the screen.
                const double dLinear = sample[3] * std::pow(dSample, 1 / facts.dGamma)
                                       + (1 - sample[3]) * std::pow(facts.background[c], 1 / facts.dGamma);
                return std::pow(dLinear, 1 / kScreenGamma);
            }
            if (facts.bBackground)
                return sample[3] * dSample + (1 - sample[3]) * facts.background[c];
            if (bGamma)
                return std::pow(std::max(0.0, dSample), 1 / dCorrection);
            return dSample;
        };
        RGBQUAD low = {0, 0, 0, ToByte(sample[3])};
        RGBQUAD high = low;
        BYTE* pLow = &low.rgbRed;
        BYTE* pHigh = &high.rgbRed;
        for (int c = 0; c < 3; ++c)
        {
            // RGBQUAD keeps blue first: channel c of the picture is byte 2 - c.
            pLow[-c] = ToByte(Channel(c, sample[c] - dBand));
            pHigh[-c] = ToByte(Channel(c, sample[c] + dBand));
        }
        expected.low.push_back(low);
        expected.high.push_back(high);
    }
    // A transparency chunk gives an alpha channel as well; the background removes it.
    expected.bAlpha = !facts.bBackground && (bAlphaChannel || bAnyTransparent);
    return expected;
}

// Compares one file; answers an empty text or what went wrong.
std::string CompareOne(const std::string& strPng, const std::string& strReference, double* pdWorst)
{
    const std::vector<BYTE> file = ReadFileBytes(strPng);
    PngFacts facts;
    if (!ReadFacts(file, &facts))
        return "unreadable chunks";
    const std::vector<BYTE> reference = ReadFileBytes(strReference);
    if (reference.size() != size_t(facts.nWidth) * facts.nHeight * 8)
        return "reference has " + std::to_string(reference.size()) + " bytes";
    const Expected expected = ExpectedPixels(facts, reference);

    CXTPPngImage png;
    if (!png.LoadFromFile(strPng.c_str()))
        return "decode failed";
    DIBSECTION dib;
    GetObject(png.GetBitmap(), sizeof(dib), &dib);
    if (uint32_t(dib.dsBm.bmWidth) != facts.nWidth || uint32_t(dib.dsBm.bmHeight) != facts.nHeight)
        return "size " + std::to_string(dib.dsBm.bmWidth) + "x" + std::to_string(dib.dsBm.bmHeight);
    if (bool(png.IsAlpha()) != expected.bAlpha)
        return std::string("alpha flag ") + (png.IsAlpha() ? "set" : "clear");

    const RGBQUAD* pActual = static_cast<const RGBQUAD*>(dib.dsBm.bmBits);
    auto Distance = [](int nActual, int nLow, int nHigh) {
        return nActual < nLow ? nLow - nActual : nActual > nHigh ? nActual - nHigh : 0;
    };
    int nWorst = 0;
    size_t nWorstAt = 0;
    for (size_t i = 0; i < expected.low.size(); ++i)
    {
        const RGBQUAD& a = pActual[i];
        const RGBQUAD& lo = expected.low[i];
        const RGBQUAD& hi = expected.high[i];
        // Without an alpha channel the fourth byte is 0; fully transparent pixels have no colour to compare.
        int nDiff = expected.bAlpha ? std::abs(a.rgbReserved - lo.rgbReserved) : a.rgbReserved;
        if (!expected.bAlpha || lo.rgbReserved > 0)
            nDiff =
                std::max({nDiff, Distance(a.rgbRed, lo.rgbRed, hi.rgbRed),
                          Distance(a.rgbGreen, lo.rgbGreen, hi.rgbGreen), Distance(a.rgbBlue, lo.rgbBlue, hi.rgbBlue)});
        if (nDiff > nWorst)
        {
            nWorst = nDiff;
            nWorstAt = i;
        }
    }
    *pdWorst = std::max(*pdWorst, double(nWorst));
    if (nWorst <= expected.nTolerance)
        return "";
    auto Print = [](std::ostream& os, const RGBQUAD& q)
    { os << int(q.rgbRed) << "," << int(q.rgbGreen) << "," << int(q.rgbBlue) << "," << int(q.rgbReserved); };
    std::ostringstream os;
    os << "off by " << nWorst << " at " << nWorstAt % facts.nWidth << "," << nWorstAt / facts.nWidth << ": got ";
    Print(os, pActual[nWorstAt]);
    os << " expected ";
    Print(os, expected.low[nWorstAt]);
    os << " to ";
    Print(os, expected.high[nWorstAt]);
    return os.str();
}

void CompareFolder(const std::string& strFolder, size_t nAtLeast)
{
    const std::vector<std::string> files = ListPngFiles(std::string(HORALEON_PNG_TEST_IMAGES "/") + strFolder);
    ASSERT_GE(files.size(), nAtLeast) << strFolder;
    double dWorst = 0;
    for (const std::string& strPng : files)
    {
        const std::string strName = strPng.substr(strPng.rfind('/') + 1);
        const std::string strReference = std::string(HORALEON_PNG_REFERENCES "/") + strFolder + "/"
                                         + strName.substr(0, strName.size() - 4) + ".rgba";
        const std::string strProblem = CompareOne(strPng, strReference, &dWorst);
        EXPECT_EQ(strProblem, "") << strFolder << "/" << strName;
    }
    std::cout << "[          ] " << files.size() << " pictures in " << strFolder << ", largest difference " << dWorst
              << "\n";
}
} // namespace

TEST(PngConformance, SuitePicturesMatchAnIndependentDecoding)
{
    CompareFolder("pngsuite", 50);
    CompareFolder("pngsuite/interlaced", 9);
}

TEST(PngConformance, GammaAndBitDepthSamplesMatchAnIndependentDecoding)
{
    CompareFolder("testpngs", 100);
}
