// Arithmetic on layout extents: 32-bit whole pixels in which 0x7FFFFFFF
// stands for an unbounded extent.
#pragma once

#include <windows.h>

#include <climits>

namespace XTPMarkupLayout
{
// What a stack panel offers along its stacking direction, and what "Auto"
// sizes read as.
constexpr int kUnbounded = 0x7FFFFFFF;
// An available extent above this counts as unbounded when margins come off
// it, so that an unbounded extent less a margin stays unbounded.
constexpr int kUnboundedThreshold = 0x3FFFFFFF;

// Sums of extents, offsets and margins saturate instead of wrapping round, and
// an unbounded term keeps the sum unbounded.
inline int Clamp(long long n)
{
    return n > kUnbounded ? kUnbounded : n < INT_MIN ? INT_MIN : static_cast<int>(n);
}

inline int Add(int a, int b)
{
    if (a == kUnbounded || b == kUnbounded)
        return kUnbounded;
    return Clamp(static_cast<long long>(a) + b);
}

inline int Subtract(int a, int b)
{
    if (a == kUnbounded)
        return kUnbounded;
    return Clamp(static_cast<long long>(a) - b);
}

// A rectangle that runs to an unbounded edge is unbounded across.
inline int Width(const RECT& rc)
{
    if (rc.right == kUnbounded)
        return kUnbounded;
    return Clamp(static_cast<long long>(rc.right) - rc.left);
}

inline int Height(const RECT& rc)
{
    if (rc.bottom == kUnbounded)
        return kUnbounded;
    return Clamp(static_cast<long long>(rc.bottom) - rc.top);
}
// A rectangle moved by an offset, its edges saturating: an unbounded edge
// moved stays where it can be drawn from, not round at the negative end.
inline RECT Moved(const RECT& rc, POINT ptOffset)
{
    return {Clamp(static_cast<long long>(rc.left) + ptOffset.x), Clamp(static_cast<long long>(rc.top) + ptOffset.y),
            Clamp(static_cast<long long>(rc.right) + ptOffset.x),
            Clamp(static_cast<long long>(rc.bottom) + ptOffset.y)};
}
} // namespace XTPMarkupLayout
