#include "markup/elements/Visual.h"

#include "markup/elements/LayoutExtent.h"

#include "markup/elements/Painter.h"

#include "markup/model/Numbers.h"
#include "markup/model/Type.h"

IMPLEMENT_MARKUPCLASS(nullptr, CXTPMarkupVisual, CXTPMarkupInputElement)

namespace
{
BOOL Intersect(const RECT& a, const RECT& b)
{
    RECT rc;
    return IntersectRect(&rc, &a, &b);
}

BOOL Contains(const RECT& rc, int x, int y)
{
    return x >= rc.left && x < rc.right && y >= rc.top && y < rc.bottom;
}
} // namespace

CXTPMarkupVisual::CXTPMarkupVisual() : m_ptOffset{0, 0}, m_szArranged{0, 0}, m_rcBounds{0, 0, 0, 0} {}

int CXTPMarkupVisual::GetChildCount() const
{
    return 0;
}

CXTPMarkupVisual* CXTPMarkupVisual::GetChild(int /*nIndex*/) const
{
    return nullptr;
}

int CXTPMarkupVisual::GetLogicalChildCount() const
{
    return GetChildCount();
}

CXTPMarkupObject* CXTPMarkupVisual::GetLogicalChild(int nIndex) const
{
    return GetChild(nIndex);
}

RECT CXTPMarkupVisual::CutToVisible(const RECT& rc) const
{
    RECT rcClip;
    RECT rcVisible = rc;
    if (GetClipRect(rcClip) && !IsRectEmpty(&rcClip) && !IntersectRect(&rcVisible, &rc, &rcClip))
        SetRectEmpty(&rcVisible);
    return rcVisible;
}

RECT CXTPMarkupVisual::ToRoot(RECT rc, BOOL bCutToVisible) const
{
    for (const CXTPMarkupVisual* pVisual = this; pVisual; pVisual = pVisual->GetParentVisual())
        rc = XTPMarkupLayout::Moved(bCutToVisible ? pVisual->CutToVisible(rc) : rc, pVisual->GetOffset());
    return rc;
}

BOOL CXTPMarkupVisual::GetClipRect(RECT& /*rcClip*/) const
{
    return FALSE;
}

void CXTPMarkupVisual::DrawContent(CXTPMarkupPainter* /*pPainter*/) {}

void CXTPMarkupVisual::DrawFocusCue(CXTPMarkupPainter* /*pPainter*/) {}

CXTPMarkupInputElement* CXTPMarkupVisual::HitTestSelf(int /*x*/, int /*y*/)
{
    return this;
}

CXTPMarkupVisual* CXTPMarkupVisual::GetParentVisual() const
{
    for (CXTPMarkupObject* pParent = GetLogicalParent(); pParent; pParent = pParent->GetLogicalParent())
    {
        if (CXTPMarkupVisual* pVisual = MarkupCast<CXTPMarkupVisual>(pParent))
            return pVisual;
    }
    return nullptr;
}

void CXTPMarkupVisual::UpdateBounds()
{
    RECT rcBounds = {0, 0, m_szArranged.cx, m_szArranged.cy};
    const int nCount = GetChildCount();
    for (int i = 0; i < nCount; ++i)
    {
        CXTPMarkupVisual* pChild = GetChild(i);
        if (!pChild)
            continue;
        pChild->UpdateBounds();
        const RECT rcChild = XTPMarkupLayout::Moved(pChild->m_rcBounds, pChild->m_ptOffset);
        // UnionRect takes an empty rectangle as nothing, on either side.
        UnionRect(&rcBounds, &rcBounds, &rcChild);
    }
    m_rcBounds = rcBounds;
}

void CXTPMarkupVisual::Render(CXTPMarkupPainter* pPainter)
{
    RECT rcVisible = pPainter->GetClipBox();
    OffsetRect(&rcVisible, -m_ptOffset.x, -m_ptOffset.y);
    if (!Intersect(m_rcBounds, rcVisible))
        return;

    RECT rcClip;
    const BOOL bClip = GetClipRect(rcClip);
    if (bClip)
    {
        if (IsRectEmpty(&rcClip))
            return;
        IntersectRect(&rcVisible, &rcVisible, &rcClip);
        if (!Intersect(m_rcBounds, rcVisible))
            return;
    }

    const POINT ptPrevious = pPainter->OffsetViewportOrigin(m_ptOffset);
    HRGN hrgnSaved = nullptr;
    if (bClip)
    {
        hrgnSaved = pPainter->SaveClipRegion();
        // Without a saved region the clip could not be taken back, and every
        // later sibling would be cut to this element.
        // The clip as far as it can be seen: an unbounded clip moved to
        // the device would wrap round and hide everything.
        if (hrgnSaved)
            pPainter->IntersectClipRect(rcVisible);
    }

    DrawContent(pPainter);
    const int nCount = GetChildCount();
    for (int i = 0; i < nCount; ++i)
    {
        if (CXTPMarkupVisual* pChild = GetChild(i))
            pChild->Render(pPainter);
    }
    const CXTPMarkupBool* pFocused = MarkupCast<CXTPMarkupBool>(GetValue(m_pIsKeyboardFocusedProperty));
    if (pFocused && *pFocused)
        DrawFocusCue(pPainter);

    if (hrgnSaved)
        pPainter->RestoreClipRegion(hrgnSaved);
    pPainter->SetViewportOrigin(ptPrevious);
}

CXTPMarkupInputElement* CXTPMarkupVisual::HitTest(int x, int y)
{
    x -= m_ptOffset.x;
    y -= m_ptOffset.y;
    if (!Contains(m_rcBounds, x, y))
        return nullptr;
    RECT rcClip;
    if (GetClipRect(rcClip) && !Contains(rcClip, x, y))
        return nullptr;

    for (int i = GetChildCount() - 1; i >= 0; --i)
    {
        CXTPMarkupVisual* pChild = GetChild(i);
        if (!pChild)
            continue;
        if (CXTPMarkupInputElement* pHit = pChild->HitTest(x, y))
            return pHit;
    }
    if (x >= 0 && x < m_szArranged.cx && y >= 0 && y < m_szArranged.cy)
        return HitTestSelf(x, y);
    return nullptr;
}

const CXTPMarkupVisual* CXTPMarkupVisual::GetPlacement(RECT* pRect) const
{
    *pRect = GetBounds();
    return this;
}
