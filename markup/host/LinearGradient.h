// The colours of one linear gradient fill. Class: CXTPMarkupLinearGradient.
#pragma once

#include <windows.h>

#include <vector>

class CXTPMarkupLinearGradientBrush;

// A linear gradient brush laid over a rectangle of a given size. The gradient
// parameter t is 0 at the start point and 1 at the end point and constant
// along lines across the gradient; stops blend linearly between their
// offsets. The pixel in column x and row y of the rectangle (from 0 at its
// top-left corner) takes the colour at the point (x, y + 1).
class CXTPMarkupLinearGradient
{
public:
    // The brush needs two or more stops; cx and cy are positive.
    CXTPMarkupLinearGradient(const CXTPMarkupLinearGradientBrush* pBrush, int cx, int cy);

    // Start and end point coincide: the gradient has no direction.
    BOOL IsDegenerate() const { return m_dx == 0 && m_dy == 0; }
    // The colour depends on the row only, or on the column only.
    BOOL IsVertical() const { return m_dx == 0; }
    BOOL IsHorizontal() const { return m_dy == 0; }

    double ParameterAt(int x, int y) const;

    int GetStopCount() const { return static_cast<int>(m_stops.size()); }

    // The part of the gradient a parameter falls in: 0 up to the first stop's
    // offset (its solid colour), GetStopCount() from the last one on, else
    // the index i of the sorted stop that blends with stop i - 1.
    int SegmentOf(double t) const;

    // The colour a segment's blend gives at t, red, green, blue, exact: also
    // beyond the segment, for the end points of a span of pixels.
    void BlendAt(int nSegment, double t, double rgb[3]) const;

    // The colour of a pixel with parameter t as a 32-bit DIB stores it:
    // blue, green, red, 0, each channel truncated.
    RGBQUAD ColorAt(double t) const;

private:
    struct STOP
    {
        double rgb[3];
        double dOffset;
        double dDelta; // offset minus the previous stop's; 0 for the first
    };

    std::vector<STOP> m_stops; // by offset; equal offsets in collection order
    double m_sx;
    double m_sy;
    double m_dx;
    double m_dy;
    double m_dLengthSquared;
};
