#include "toolkit/HlsColor.h"

#include <algorithm>

// Integer arithmetic throughout, every division truncating toward zero, so
// that a face colour gives the same shades wherever it is drawn.

DWORD RgbToHls(COLORREF clr)
{
    const int nRed = GetRValue(clr);
    const int nGreen = GetGValue(clr);
    const int nBlue = GetBValue(clr);
    const int nMax = std::max({nRed, nGreen, nBlue});
    const int nMin = std::min({nRed, nGreen, nBlue});
    const int nSum = nMax + nMin;
    const int nLight = (nSum + 1) / 2;

    int nHue = 255;
    int nSaturation = 0;
    if (nMax != nMin)
    {
        const int nDelta = nMax - nMin;
        nSaturation = nLight < 127 ? ((nDelta + 1) * 256) / nSum : (nDelta * 256) / (512 - nSum);
        if (nRed == nMax)
            nHue = (nGreen - nBlue) * 256 / nDelta;
        else if (nGreen == nMax)
            nHue = (nBlue - nRed) * 256 / nDelta + 512;
        else
            nHue = (nRed - nGreen) * 256 / nDelta + 1024;
        nHue /= 6;
        if (nHue < 0)
            nHue += 256;
    }

    const DWORD dwHue = static_cast<DWORD>(std::min(nHue * 239 / 255, 239));
    const DWORD dwSaturation = static_cast<DWORD>(std::min(nSaturation * 240 / 255, 240));
    const DWORD dwLight = static_cast<DWORD>(std::min(nLight * 240 / 255, 240));
    return (dwLight << 16) | (dwSaturation << 8) | dwHue;
}

namespace
{
// One channel from the hue's distance round the colour circle (0..255).
int HueToChannel(int nM1, int nM2, int nHue)
{
    if (nHue < 0)
        nHue += 255;
    else if (nHue > 255)
        nHue -= 255;
    const int nSlope = (nM2 - nM1) / 255;
    int nValue;
    if (6 * nHue < 255)
        nValue = (nM1 + 6 * nSlope * nHue) / 255;
    else if (2 * nHue < 255)
        nValue = nM2 / 255;
    else if (3 * nHue < 510)
        nValue = (nM1 + 6 * nSlope * (170 - nHue)) / 255;
    else
        nValue = nM1 / 255;
    // Packed values beyond the 240 scales would otherwise spill into the
    // neighbouring byte of the colour.
    return std::clamp(nValue, 0, 255);
}
} // namespace

COLORREF HlsToRgb(DWORD dwHls)
{
    const int nHue = static_cast<int>(dwHls & 0xFF) * 255 / 239;
    const int nSaturation = static_cast<int>((dwHls >> 8) & 0xFF) * 255 / 240;
    const int nLight = static_cast<int>((dwHls >> 16) & 0xFF) * 255 / 240;
    if (nSaturation == 0)
    {
        const BYTE nGrey = static_cast<BYTE>(std::min(nLight, 255));
        return RGB(nGrey, nGrey, nGrey);
    }
    const int nM2 =
        nLight <= 127 ? nLight * (nSaturation + 255) : (nLight + nSaturation - nLight * nSaturation / 255) * 255;
    const int nM1 = 510 * nLight - nM2;
    return RGB(HueToChannel(nM1, nM2, nHue + 85), HueToChannel(nM1, nM2, nHue), HueToChannel(nM1, nM2, nHue - 85));
}
