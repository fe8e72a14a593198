// Scrolling a text block of 10 000 lines in a scroll viewer by the mouse
// wheel: the time of one wheel step (the offset change and the arrangement
// it causes) and of drawing the viewport afterwards, with the text's layout
// kept from the first measure. A counting text block shows that no scroll
// step measures the text again.
#include "BenchSupport.h"

#include "markup/elements/TextBlock.h"
#include "markup/host/Host.h"
#include "markup/host/GdiPainter.h"
#include "markup/host/ScrollBar.h"
#include "markup/host/ScrollViewer.h"
#include "markup/host/WindowHelpers.h"
#include "markup/model/Type.h"
#include "toolkit/GdiHandles.h"
#include "toolkit/ThemeHandle.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace
{
const int kWidth = 400;
const int kHeight = 600;
const int kLines = 10000;

// A text block that counts how often its lines are broken and placed.
class CCountingTextBlock : public CXTPMarkupTextBlock
{
    DECLARE_MARKUPCLASS(CCountingTextBlock)
public:
    CCountingTextBlock() {}

    int m_nMeasures = 0;
    int m_nArranges = 0;

protected:
    SIZE MeasureContent(CXTPMarkupPainter* pPainter, int cxConstraint, int cyConstraint) override
    {
        ++m_nMeasures;
        return CXTPMarkupTextBlock::MeasureContent(pPainter, cxConstraint, cyConstraint);
    }
    SIZE ArrangeContent(int cx, int cy) override
    {
        ++m_nArranges;
        return CXTPMarkupTextBlock::ArrangeContent(cx, cy);
    }
};

IMPLEMENT_MARKUPCLASS(L"CountingTextBlock", CCountingTextBlock, CXTPMarkupTextBlock)

std::string Markup()
{
    std::string text = "<ScrollViewer><CountingTextBlock>";
    char line[80];
    for (int i = 1; i <= kLines; ++i)
    {
        snprintf(line, sizeof(line), "%05d the clock was %d.%04d seconds behind the server", i, i % 7, i % 9973);
        text += line;
        if (i < kLines)
            text += "<LineBreak/>";
    }
    return text + "</CountingTextBlock></ScrollViewer>";
}

struct StepTimes
{
    double dWheel = 0; // summed seconds
    double dRender = 0;
    double dWorst = 0; // the slowest whole step
    int nSteps = 0;
};

// Wheel steps in one direction until the offset stops changing.
void ScrollThrough(CXTPMarkupUIElement* pRoot, CXTPMarkupScrollViewer* pViewer, HDC hDC, int nDelta, StepTimes& t)
{
    const LPARAM lPoint = MAKELPARAM(100, 100);
    LRESULT lResult = 0;
    for (;;)
    {
        const int nBefore = pViewer->GetVerticalOffset();
        const double dStart = Seconds();
        RouteToHost(pRoot, WM_MOUSEWHEEL, MAKEWPARAM(0, nDelta), lPoint, &lResult);
        const double dWheeled = Seconds();
        {
            CXTPMarkupGdiPainter painter(hDC);
            pRoot->Render(&painter);
        }
        const double dEnd = Seconds();
        if (pViewer->GetVerticalOffset() == nBefore)
            break;
        t.dWheel += dWheeled - dStart;
        t.dRender += dEnd - dWheeled;
        t.dWorst = std::max(t.dWorst, dEnd - dStart);
        ++t.nSteps;
    }
}

// One viewer in one look: scrolled down and up twice by the wheel. Answers
// whether the text was left unmeasured.
bool Run(CXTPMarkupHost* pHost, const std::string& text, HDC hDC, bool bClassic)
{
    CXTPThemeHandle::SetClassicLook(bClassic);
    double dStart = Seconds();
    CXTPMarkupUIElement* pRoot = pHost->Parse(text.c_str());
    const double dParse = Seconds() - dStart;
    CXTPMarkupScrollViewer* pViewer = MarkupCast<CXTPMarkupScrollViewer>(pRoot);
    CCountingTextBlock* pText = pViewer ? MarkupCast<CCountingTextBlock>(pViewer->GetContent()) : nullptr;
    if (!pText)
    {
        printf("the markup did not load: %s\n", pHost->GetParseError().c_str());
        return false;
    }

    dStart = Seconds();
    const RECT rc = {0, 0, kWidth, kHeight};
    MeasureTree(pRoot, kWidth, kHeight);
    PaintTree(pRoot, hDC, &rc);
    const double dFirst = Seconds() - dStart;
    printf("%s look: parse %.1f ms, first layout and paint %.1f ms\n", bClassic ? "classic" : "visual-style",
           dParse * 1e3, dFirst * 1e3);

    LRESULT lResult = 0;
    RouteToHost(pRoot, WM_MOUSEMOVE, 0, MAKELPARAM(100, 100), &lResult); // the text becomes hot
    const int nMeasuresBefore = pText->m_nMeasures;
    const int nArrangesBefore = pText->m_nArranges;
    StepTimes t;
    for (int nPass = 0; nPass < 2; ++nPass)
    {
        ScrollThrough(pRoot, pViewer, hDC, -WHEEL_DELTA, t);
        ScrollThrough(pRoot, pViewer, hDC, WHEEL_DELTA, t);
    }
    const int nMeasures = pText->m_nMeasures - nMeasuresBefore;
    const int nArranges = pText->m_nArranges - nArrangesBefore;

    // The bar alone, drawn as often: how much of a render is the bar's.
    dStart = Seconds();
    for (int i = 0; i < t.nSteps; ++i)
    {
        CXTPMarkupGdiPainter painter(hDC);
        pViewer->GetVerticalScrollBar()->Render(&painter);
    }
    const double dBar = Seconds() - dStart;

    printf("  %d wheel steps of %d px; per step: offset and arrangement %.1f us, render %.1f us (the bar %.1f us), "
           "total %.1f us, slowest %.1f us\n",
           t.nSteps, CXTPMarkupScrollViewer::kWheelStep, t.dWheel / t.nSteps * 1e6, t.dRender / t.nSteps * 1e6,
           dBar / t.nSteps * 1e6, (t.dWheel + t.dRender) / t.nSteps * 1e6, t.dWorst * 1e6);
    printf("  the text block was measured %d times and had its lines placed %d times during the steps\n", nMeasures,
           nArranges);

    // What the cache saves: the text measured again from scratch.
    dStart = Seconds();
    pText->InvalidateMeasure();
    printf("  for comparison, one fresh measure of the text: %.2f ms\n", (Seconds() - dStart) * 1e3);
    RouteToHost(pRoot, WM_MOUSELEAVE, 0, 0, &lResult);
    pRoot->Release();
    CXTPThemeHandle::SetClassicLook(false);
    // A scroll only moves the text: placing its lines again is as much a
    // lost cache as measuring them.
    return nMeasures == 0 && nArranges == 0;
}
} // namespace

int main()
{
    CXTPMarkupHost* pHost = new CXTPMarkupHost(); // registers every markup type
    CCountingTextBlock::GetMarkupType();
    // The wheel reaches elements through a window; one that only takes
    // messages will do.
    HWND hWnd = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    pHost->SetHwnd(hWnd);

    void* pBits = nullptr;
    CXTPBitmapHandle hBitmap(XTPCreateDIB32(kWidth, kHeight, &pBits));
    CXTPMemoryDC dc;
    dc.SelectBitmap(hBitmap.Get());

    const std::string text = Markup();
    printf("scroll viewer %dx%d over a text block of %d lines\n", kWidth, kHeight, kLines);
    const bool bThemedCached = Run(pHost, text, dc.Get(), false);
    const bool bClassicCached = Run(pHost, text, dc.Get(), true);

    DestroyWindow(hWnd);
    pHost->Release();
    return bThemedCached && bClassicCached ? 0 : 1;
}
