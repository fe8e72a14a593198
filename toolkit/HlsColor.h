// Colours as hue, lightness and saturation, on the system's 0..240 scales:
// how a control derives the light and shadow shades of its own face colour.
#pragma once

#include <windows.h>

// Lightness in bits 16-23, saturation in bits 8-15, hue in bits 0-7. A grey
// has saturation 0 and hue 239.
DWORD RgbToHls(COLORREF clr);
// The colour of a value packed as RgbToHls packs it; the round trip keeps
// each channel within a few units.
COLORREF HlsToRgb(DWORD dwHls);
