#include "markup/elements/LayoutDump.h"

#include "markup/elements/LayoutExtent.h"
#include "markup/elements/Visual.h"

#include "markup/model/Type.h"

#include <cstdio>

namespace
{
// Positions near the unbounded extent must not wrap round into negative ones.
LONG Shift(LONG n, LONG nBy)
{
    return XTPMarkupLayout::Clamp(static_cast<long long>(n) + nBy);
}

std::string TagOf(const CXTPMarkupVisual* pVisual)
{
    LPCWSTR lpszTag = pVisual->GetMarkupTag();
    if (!lpszTag || !*lpszTag)
        lpszTag = pVisual->GetType()->GetTag();
    if (!lpszTag || !*lpszTag)
        lpszTag = pVisual->GetType()->GetTypeName();
    std::string strTag;
    for (; *lpszTag; ++lpszTag)
        strTag += *lpszTag < 0x80 ? static_cast<char>(*lpszTag) : '?';
    return strTag;
}

void DumpVisual(const CXTPMarkupVisual* pVisual, XTPMarkupLayoutDumpRect nRect, XTPMarkupLayoutDumpNote pfnNote,
                int nDepth, POINT ptParentOrigin, std::string& strOut)
{
    const POINT ptOffset = pVisual->GetOffset();
    const POINT ptOrigin = {Shift(ptParentOrigin.x, ptOffset.x), Shift(ptParentOrigin.y, ptOffset.y)};
    const SIZE szArranged = pVisual->GetArrangedSize();
    RECT rc = nRect == xtpMarkupDumpArrangedRect ? RECT{0, 0, szArranged.cx, szArranged.cy} : pVisual->GetBounds();
    if (nRect == xtpMarkupDumpVisibleBounds)
    {
        // Where the host repaints the subtree.
        rc = pVisual->ToRoot(rc, TRUE);
    }
    else
    {
        rc = {Shift(rc.left, ptOrigin.x), Shift(rc.top, ptOrigin.y), Shift(rc.right, ptOrigin.x),
              Shift(rc.bottom, ptOrigin.y)};
    }

    char szRect[64];
    snprintf(szRect, sizeof(szRect), " %li,%li,%li,%li", rc.left, rc.top, rc.right, rc.bottom);
    strOut.append(2 * nDepth, ' ');
    strOut += TagOf(pVisual);
    strOut += szRect;
    const std::string strNote = pfnNote ? pfnNote(pVisual) : std::string();
    if (!strNote.empty())
        strOut += " " + strNote;
    strOut += "\n";

    const int nCount = pVisual->GetChildCount();
    for (int i = 0; i < nCount; ++i)
    {
        if (const CXTPMarkupVisual* pChild = pVisual->GetChild(i))
            DumpVisual(pChild, nRect, pfnNote, nDepth + 1, ptOrigin, strOut);
    }
}
} // namespace

std::string DumpMarkupLayout(const CXTPMarkupVisual* pRoot, XTPMarkupLayoutDumpRect nRect,
                             XTPMarkupLayoutDumpNote pfnNote)
{
    std::string strOut;
    if (pRoot)
        DumpVisual(pRoot, nRect, pfnNote, 0, POINT{0, 0}, strOut);
    return strOut;
}
