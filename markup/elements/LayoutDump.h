// The laid-out tree as text, for tests and for people checking a layout.
#pragma once

#include <string>

class CXTPMarkupVisual;

// Which rectangle each line shows.
enum XTPMarkupLayoutDumpRect
{
    xtpMarkupDumpArrangedRect,  // (0, 0, ArrangedSize) at the element's offset: where layout put it
    xtpMarkupDumpBounds,        // the subtree's bounds, as the host repaints and hit-tests them
    xtpMarkupDumpVisibleBounds, // the bounds cut to the clipping elements above, in the root's coordinates
};

// Text added after an element's rectangle on its line (with a space before
// it), or nothing when it answers an empty text.
using XTPMarkupLayoutDumpNote = std::string (*)(const CXTPMarkupVisual* pVisual);

// One line per visual, parent before children in child order: two spaces per
// depth, the element's markup tag (its type's tag, or its class name, when it
// was not made from markup), one space, and its rectangle in the coordinates
// the root was arranged in (the window's, for a host's root) as
// left,top,right,bottom:
//
//     StackPanel 0,0,124,24
//       Image 0,0,24,24
//
// Every line ends with "\n". A null root gives an empty text.
std::string DumpMarkupLayout(const CXTPMarkupVisual* pRoot, XTPMarkupLayoutDumpRect nRect = xtpMarkupDumpArrangedRect,
                             XTPMarkupLayoutDumpNote pfnNote = nullptr);
