// Layout and drawing of the grid and the canvas at scale: a 100 x 100 grid of
// star cells, and a canvas of 10 000 shapes, each against the same number of
// plain panels in nested stack panels, measured, arranged and rendered into a
// 32-bit DIB.
#include "TreeTiming.h"

#include "markup/elements/FrameworkElement.h"
#include "markup/host/MarkupTypes.h"
#include "markup/host/GdiPainter.h"
#include "markup/model/Type.h"
#include "toolkit/GdiHandles.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace
{
const int kSide = 100; // cells and shapes: kSide * kSide
const int kCanvas = 1000;

std::string Colour(int i)
{
    char sz[16];
    snprintf(sz, sizeof(sz), "#%02X%02X%02X", (i * 37) & 0xFF, (i * 11) & 0xFF, (i * 5) & 0xFF);
    return sz;
}

std::string GenerateGrid()
{
    std::string text = "<Grid><Grid.ColumnDefinitions>";
    for (int i = 0; i < kSide; ++i)
        text += i % 3 ? "<ColumnDefinition/>" : "<ColumnDefinition Width='2*'/>";
    text += "</Grid.ColumnDefinitions><Grid.RowDefinitions>";
    for (int i = 0; i < kSide; ++i)
        text += "<RowDefinition/>";
    text += "</Grid.RowDefinitions>";
    char sz[160];
    for (int row = 0; row < kSide; ++row)
    {
        for (int column = 0; column < kSide; ++column)
        {
            snprintf(sz, sizeof(sz), "<Panel Grid.Row='%d' Grid.Column='%d' Margin='1' Background='%s'/>", row, column,
                     Colour(row * kSide + column).c_str());
            text += sz;
        }
    }
    return text + "</Grid>";
}

std::string GenerateCanvas()
{
    std::string text = "<Canvas>";
    char sz[200];
    for (int i = 0; i < kSide * kSide; ++i)
    {
        const int x = (i * 7919) % (kCanvas - 20);
        const int y = (i * 104729) % (kCanvas - 20);
        const std::string clr = Colour(i);
        switch (i % 4)
        {
        case 0:
            snprintf(sz, sizeof(sz),
                     "<Rectangle Canvas.Left='%d' Canvas.Top='%d' Width='12' Height='8' Fill='%s' "
                     "Stroke='Black'/>",
                     x, y, clr.c_str());
            break;
        case 1:
            snprintf(sz, sizeof(sz), "<Ellipse Canvas.Left='%d' Canvas.Top='%d' Width='12' Height='8' Fill='%s'/>", x,
                     y, clr.c_str());
            break;
        case 2:
            snprintf(sz, sizeof(sz),
                     "<Line Canvas.Left='%d' Canvas.Top='%d' X1='0' Y1='0' X2='15' Y2='9' "
                     "Stroke='%s' StrokeThickness='2'/>",
                     x, y, clr.c_str());
            break;
        default:
            snprintf(sz, sizeof(sz),
                     "<Polygon Canvas.Left='%d' Canvas.Top='%d' Points='0,0 12,0 6,10' Fill='%s' "
                     "Stroke='Black'/>",
                     x, y, clr.c_str());
            break;
        }
        text += sz;
    }
    return text + "</Canvas>";
}

// The same count of elements as kSide stack panels of kSide - 1 panels each.
std::string GenerateStacks()
{
    std::string text = "<StackPanel>";
    char sz[128];
    for (int row = 0; row < kSide; ++row)
    {
        text += "<StackPanel Orientation='Horizontal'>";
        for (int column = 0; column < kSide - 1; ++column)
        {
            snprintf(sz, sizeof(sz), "<Panel Width='8' Height='8' Margin='1' Background='%s'/>",
                     Colour(row * kSide + column).c_str());
            text += sz;
        }
        text += "</StackPanel>";
    }
    return text + "</StackPanel>";
}

TreeTimings Run(const std::string& text, HDC hDC)
{
    CXTPMarkupFrameworkElement* pRoot = LoadTree(text);
    if (!pRoot)
        return TreeTimings{};
    CXTPMarkupGdiPainter painter(hDC);
    const TreeTimings t = LayOutAndRender(pRoot, painter, kCanvas, kCanvas);
    pRoot->Release();
    return t;
}

// The best of several fresh trees, so that one slow run does not count.
void Report(const char* pszName, const std::string& text, HDC hDC)
{
    TreeTimings best = {1e9, 1e9};
    for (int i = 0; i < 5; ++i)
    {
        const TreeTimings t = Run(text, hDC);
        best.dLayout = std::min(best.dLayout, t.dLayout);
        best.dRender = std::min(best.dRender, t.dRender);
    }
    printf("%-36s measure + arrange %8.3f ms, render %8.3f ms, together %8.3f ms\n", pszName, best.dLayout * 1e3,
           best.dRender * 1e3, (best.dLayout + best.dRender) * 1e3);
}
} // namespace

int main()
{
    RegisterMarkupTypes();
    CXTPMarkupType::InitializeTypes();

    void* pBits = nullptr;
    CXTPBitmapHandle hBitmap(XTPCreateDIB32(kCanvas, kCanvas, &pBits));
    CXTPMemoryDC dc;
    dc.SelectBitmap(hBitmap.Get());

    printf("%d elements each, into a %dx%d DIB\n", kSide * kSide, kCanvas, kCanvas);
    Report("grid of 100 x 100 star cells:", GenerateGrid(), dc.Get());
    Report("canvas of shapes:", GenerateCanvas(), dc.Get());
    Report("nested stack panels (reference):", GenerateStacks(), dc.Get());
    return 0;
}
