// Layout and drawing of a large tree: 10 000 elements in nested stack and wrap
// panels measured, arranged and rendered into a 32-bit DIB; then a second
// layout pass with nothing changed, which the measure and arrange caches
// should reduce to a small fraction of the first.
#include "BenchSupport.h"
#include "TreeTiming.h"

#include "markup/elements/FrameworkElement.h"
#include "markup/host/MarkupTypes.h"
#include "markup/host/GdiPainter.h"
#include "markup/model/Type.h"
#include "toolkit/GdiHandles.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace
{
const int kRows = 50;
const int kStacksPerRow = 20;
const int kLeavesPerStack = 9;
const int kCanvas = 1024;

// A column of wrap panels, each holding rows of small coloured panels.
std::string Generate(int& nElements)
{
    std::string text = "<StackPanel Background='#F0F0F0'>";
    nElements = 1;
    char szLeaf[128];
    for (int row = 0; row < kRows; ++row)
    {
        text += "<WrapPanel Margin='2'>";
        ++nElements;
        for (int stack = 0; stack < kStacksPerRow; ++stack)
        {
            text += stack % 2 ? "<StackPanel Orientation='Horizontal' Margin='1'>" : "<StackPanel Margin='1'>";
            ++nElements;
            for (int leaf = 0; leaf < kLeavesPerStack; ++leaf)
            {
                snprintf(szLeaf, sizeof(szLeaf), "<Panel Width='6' Height='%d' Margin='1' Background='#%02X%02X%02X'/>",
                         4 + leaf % 3, (row * 5) & 0xFF, (stack * 12) & 0xFF, (leaf * 28) & 0xFF);
                text += szLeaf;
                ++nElements;
            }
            text += "</StackPanel>";
        }
        text += "</WrapPanel>";
    }
    return text + "</StackPanel>";
}

struct Timings
{
    double dFirstLayout;
    double dFirstRender;
    double dSecondLayout;
    double dSecondRender;
};

Timings Run(const std::string& text, HDC hDC)
{
    Timings t = {};
    CXTPMarkupFrameworkElement* pRoot = LoadTree(text);
    if (!pRoot)
        return t;
    const RECT rc = {0, 0, kCanvas, kCanvas};
    {
        CXTPMarkupGdiPainter painter(hDC);
        const TreeTimings first = LayOutAndRender(pRoot, painter, kCanvas, kCanvas);
        t.dFirstLayout = first.dLayout;
        t.dFirstRender = first.dRender;
    }
    {
        // Nothing changed: a repaint of the same window.
        const int kRepeats = 200;
        CXTPMarkupGdiPainter painter(hDC);
        double start = Seconds();
        for (int i = 0; i < kRepeats; ++i)
        {
            pRoot->Measure(&painter, kCanvas, kCanvas);
            pRoot->Arrange(rc);
        }
        t.dSecondLayout = (Seconds() - start) / kRepeats;
        start = Seconds();
        pRoot->Render(&painter);
        t.dSecondRender = Seconds() - start;
    }
    pRoot->Release();
    return t;
}
} // namespace

int main()
{
    RegisterMarkupTypes();
    CXTPMarkupType::InitializeTypes();

    int nElements = 0;
    const std::string text = Generate(nElements);
    void* pBits = nullptr;
    CXTPBitmapHandle hBitmap(XTPCreateDIB32(kCanvas, kCanvas, &pBits));
    CXTPMemoryDC dc;
    dc.SelectBitmap(hBitmap.Get());

    // The best of several fresh trees, so that one slow run does not count.
    std::vector<Timings> runs;
    for (int i = 0; i < 7; ++i)
        runs.push_back(Run(text, dc.Get()));
    auto best = [&](double Timings::*pField)
    {
        double d = runs[0].*pField;
        for (const Timings& t : runs)
            d = std::min(d, t.*pField);
        return d * 1e3;
    };

    const double dLayout = best(&Timings::dFirstLayout);
    const double dRender = best(&Timings::dFirstRender);
    const double dSecondLayout = best(&Timings::dSecondLayout);
    const double dSecondRender = best(&Timings::dSecondRender);
    printf("tree: %d elements in %d wrap panels of %d stack panels, into a %dx%d DIB\n", nElements, kRows,
           kStacksPerRow, kCanvas, kCanvas);
    printf("first pass:  measure + arrange %8.3f ms, render %8.3f ms, together %8.3f ms\n", dLayout, dRender,
           dLayout + dRender);
    printf("second pass: measure + arrange %8.3f us, render %8.3f ms, together %8.3f ms\n", dSecondLayout * 1e3,
           dSecondRender, dSecondLayout + dSecondRender);
    if (dLayout > 0)
        printf("second layout pass as a fraction of the first: %.6f\n", dSecondLayout / dLayout);
    if (dLayout + dRender > 0)
        printf("second full pass as a fraction of the first: %.3f\n",
               (dSecondLayout + dSecondRender) / (dLayout + dRender));
    return 0;
}
