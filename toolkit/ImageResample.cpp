#include "toolkit/ImageResample.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace
{
// The Mitchell-Netravali cubic (B = C = 1/3): sharper than a linear ramp
// between pixels, with little of the ringing that sharper cubics leave beside
// the hard edges of an icon.
float CubicWeight(float x)
{
    x = std::fabs(x);
    if (x < 1.0f)
        return ((7.0f * x - 12.0f) * x * x + 16.0f / 3.0f) / 6.0f;
    if (x < 2.0f)
        return (((-7.0f / 3.0f * x + 12.0f) * x - 20.0f) * x + 32.0f / 3.0f) / 6.0f;
    return 0.0f;
}

// The source pixels and weights of each target pixel along one axis; the
// picture's edge pixels stand in for what lies beyond it.
struct Taps
{
    std::vector<int> first; // per target pixel, the first source index
    std::vector<int> count;
    std::vector<float> weights; // count[i] weights per target pixel, one after the other
    std::vector<size_t> offset; // where the weights of target pixel i begin
};

Taps MakeTaps(int nSource, int nTarget)
{
    Taps taps;
    const float fScale = static_cast<float>(nTarget) / static_cast<float>(nSource);
    const float fStretch = std::max(1.0f, 1.0f / fScale);
    const float fSupport = 2.0f * fStretch;
    // An axis that keeps its size keeps its pixels: the filter would soften them.
    if (nSource == nTarget)
    {
        for (int i = 0; i < nTarget; ++i)
        {
            taps.first.push_back(i);
            taps.count.push_back(1);
            taps.offset.push_back(taps.weights.size());
            taps.weights.push_back(1.0f);
        }
        return taps;
    }
    for (int i = 0; i < nTarget; ++i)
    {
        const float fCentre = (static_cast<float>(i) + 0.5f) / fScale - 0.5f;
        const int nLow = static_cast<int>(std::floor(fCentre - fSupport)) + 1;
        const int nHigh = static_cast<int>(std::floor(fCentre + fSupport));
        const int nFirst = std::clamp(nLow, 0, nSource - 1);
        const int nLast = std::clamp(nHigh, 0, nSource - 1);
        std::vector<float> weights(static_cast<size_t>(nLast - nFirst + 1), 0.0f);
        float fSum = 0.0f;
        for (int j = nLow; j <= nHigh; ++j)
        {
            const float fWeight = CubicWeight((static_cast<float>(j) - fCentre) / fStretch);
            weights[static_cast<size_t>(std::clamp(j, 0, nSource - 1) - nFirst)] += fWeight;
            fSum += fWeight;
        }
        taps.first.push_back(nFirst);
        taps.count.push_back(static_cast<int>(weights.size()));
        taps.offset.push_back(taps.weights.size());
        for (float fWeight : weights)
            taps.weights.push_back(fSum != 0.0f ? fWeight / fSum : 0.0f);
    }
    return taps;
}

BYTE ToByte(float fValue, BYTE nCeiling)
{
    const long nValue = std::lround(fValue);
    return static_cast<BYTE>(std::clamp<long>(nValue, 0, nCeiling));
}
} // namespace

void XTPResamplePremultiplied(const RGBQUAD* pSource, int cxSource, int cySource, RGBQUAD* pTarget, int cxTarget,
                              int cyTarget)
{
    if (!pSource || !pTarget || cxSource <= 0 || cySource <= 0 || cxTarget <= 0 || cyTarget <= 0)
        return;
    const Taps across = MakeTaps(cxSource, cxTarget);
    const Taps down = MakeTaps(cySource, cyTarget);

    // Across first, into blue, green, red, alpha floats per pixel.
    std::vector<float> rows(static_cast<size_t>(cxTarget) * cySource * 4, 0.0f);
    for (int y = 0; y < cySource; ++y)
    {
        const RGBQUAD* pRow = pSource + static_cast<size_t>(y) * cxSource;
        for (int x = 0; x < cxTarget; ++x)
        {
            float* pOut = &rows[(static_cast<size_t>(y) * cxTarget + x) * 4];
            const float* pWeight = &across.weights[across.offset[x]];
            for (int k = 0; k < across.count[x]; ++k)
            {
                const RGBQUAD& pixel = pRow[across.first[x] + k];
                pOut[0] += pWeight[k] * pixel.rgbBlue;
                pOut[1] += pWeight[k] * pixel.rgbGreen;
                pOut[2] += pWeight[k] * pixel.rgbRed;
                pOut[3] += pWeight[k] * pixel.rgbReserved;
            }
        }
    }

    for (int y = 0; y < cyTarget; ++y)
    {
        const float* pWeight = &down.weights[down.offset[y]];
        for (int x = 0; x < cxTarget; ++x)
        {
            float sum[4] = {};
            for (int k = 0; k < down.count[y]; ++k)
            {
                const float* pIn = &rows[(static_cast<size_t>(down.first[y] + k) * cxTarget + x) * 4];
                for (int c = 0; c < 4; ++c)
                    sum[c] += pWeight[k] * pIn[c];
            }
            // The cubic's overshoot is cut back to a valid premultiplied pixel.
            RGBQUAD& out = pTarget[static_cast<size_t>(y) * cxTarget + x];
            out.rgbReserved = ToByte(sum[3], 255);
            out.rgbBlue = ToByte(sum[0], out.rgbReserved);
            out.rgbGreen = ToByte(sum[1], out.rgbReserved);
            out.rgbRed = ToByte(sum[2], out.rgbReserved);
        }
    }
}
