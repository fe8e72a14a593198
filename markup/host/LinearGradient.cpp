#include "markup/host/LinearGradient.h"

#include "markup/model/Brush.h"
#include "markup/model/Point.h"

#include <algorithm>

CXTPMarkupLinearGradient::CXTPMarkupLinearGradient(const CXTPMarkupLinearGradientBrush* pBrush, int cx, int cy)
{
    const CXTPMarkupGradientStopCollection* pStops = pBrush->GetGradientStops();
    m_stops.reserve(pStops->GetCount());
    for (int i = 0; i < pStops->GetCount(); ++i)
    {
        const CXTPMarkupGradientStop* pStop = pStops->GetStop(i);
        COLORREF clr = pStop->GetColor();
        m_stops.push_back(
            {{double(GetRValue(clr)), double(GetGValue(clr)), double(GetBValue(clr))}, pStop->GetOffset(), 0.0});
    }
    // Two stops at one offset keep the order they were written in, so the
    // colour jumps from the first to the second there.
    std::stable_sort(m_stops.begin(), m_stops.end(),
                     [](const STOP& a, const STOP& b) { return a.dOffset < b.dOffset; });
    for (size_t i = 1; i < m_stops.size(); ++i)
        m_stops[i].dDelta = m_stops[i].dOffset - m_stops[i - 1].dOffset;

    // Without end points the gradient runs from the top-left to the
    // bottom-right corner.
    const CXTPMarkupPoint* pStart = pBrush->GetStartPoint();
    const CXTPMarkupPoint* pEnd = pBrush->GetEndPoint();
    m_sx = pStart ? pStart->GetX() * cx : 0.0;
    m_sy = pStart ? pStart->GetY() * cy : 0.0;
    const double ex = pEnd ? pEnd->GetX() * cx : cx;
    const double ey = pEnd ? pEnd->GetY() * cy : cy;
    m_dx = ex - m_sx;
    m_dy = ey - m_sy;
    m_dLengthSquared = m_dx * m_dx + m_dy * m_dy;
}

double CXTPMarkupLinearGradient::ParameterAt(int x, int y) const
{
    return ((x - m_sx) * m_dx + (y + 1 - m_sy) * m_dy) / m_dLengthSquared;
}

int CXTPMarkupLinearGradient::SegmentOf(double t) const
{
    const int nCount = GetStopCount();
    if (t <= m_stops.front().dOffset)
        return 0;
    if (t >= m_stops.back().dOffset)
        return nCount;
    for (int i = 1; i < nCount; ++i)
    {
        if (m_stops[i].dOffset > t && m_stops[i].dDelta != 0)
            return i;
    }
    // Only a parameter that is not a number gets here (end points too far
    // apart for a double); it takes the last colour like anything beyond.
    return nCount;
}

void CXTPMarkupLinearGradient::BlendAt(int nSegment, double t, double rgb[3]) const
{
    if (nSegment <= 0 || nSegment >= GetStopCount())
    {
        const STOP& stop = nSegment <= 0 ? m_stops.front() : m_stops.back();
        std::copy(stop.rgb, stop.rgb + 3, rgb);
        return;
    }
    const STOP& prev = m_stops[nSegment - 1];
    const STOP& cur = m_stops[nSegment];
    const double f = (cur.dOffset - t) / cur.dDelta;
    for (int i = 0; i < 3; ++i)
        rgb[i] = prev.rgb[i] * f + cur.rgb[i] * (1 - f);
}

RGBQUAD CXTPMarkupLinearGradient::ColorAt(double t) const
{
    double rgb[3];
    BlendAt(SegmentOf(t), t, rgb);
    // Inside its segment a blend stays between two colours, so the
    // conversion only truncates.
    return RGBQUAD{static_cast<BYTE>(rgb[2]), static_cast<BYTE>(rgb[1]), static_cast<BYTE>(rgb[0]), 0};
}
