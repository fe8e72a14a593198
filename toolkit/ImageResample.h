// Resizing of pictures with premultiplied alpha for drawing at another DPI.
#pragma once

#include <windows.h>

// Resizes cxSource x cySource pixels to cxTarget x cyTarget with a separable
// cubic (Mitchell-Netravali) filter, widened when shrinking so that every source
// pixel counts. Rows are top-down and packed. The pixels are premultiplied:
// the filter then mixes colour and coverage alike, and no channel comes out
// above its alpha.
void XTPResamplePremultiplied(const RGBQUAD* pSource, int cxSource, int cySource, RGBQUAD* pTarget, int cxTarget,
                              int cyTarget);
