// Laying out and drawing a whole element tree, timed: what the layout
// benchmarks share.
#pragma once

#include "BenchSupport.h"

#include "markup/elements/FrameworkElement.h"
#include "markup/host/GdiPainter.h"
#include "markup/model/ObjectBuilder.h"

#include <string>

struct TreeTimings
{
    double dLayout; // seconds of measure and arrange
    double dRender; // seconds of render
};

// The root of markup text as a framework element (one reference), or null.
inline CXTPMarkupFrameworkElement* LoadTree(const std::string& text)
{
    CXTPMarkupObject* pObject = CXTPMarkupObjectBuilder::Parse(nullptr, text.data(), text.size(), nullptr);
    CXTPMarkupFrameworkElement* pRoot = MarkupCast<CXTPMarkupFrameworkElement>(pObject);
    if (!pRoot && pObject)
        pObject->Release();
    return pRoot;
}

// One pass as a window paints it: measure and arrange to cx by cy, then render.
inline TreeTimings LayOutAndRender(CXTPMarkupFrameworkElement* pRoot, CXTPMarkupPainter& painter, int cx, int cy)
{
    TreeTimings t = {};
    double start = Seconds();
    pRoot->Measure(&painter, cx, cy);
    pRoot->Arrange(RECT{0, 0, cx, cy});
    t.dLayout = Seconds() - start;
    start = Seconds();
    pRoot->Render(&painter);
    t.dRender = Seconds() - start;
    return t;
}
