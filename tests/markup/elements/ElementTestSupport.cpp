#include "ElementTestSupport.h"

#include "markup/elements/LayoutDump.h"
#include "markup/host/GdiPainter.h"
#include "markup/model/DependencyProperty.h"
#include "markup/model/Numbers.h"
#include "markup/model/ObjectBuilder.h"
#include "markup/model/String.h"
#include "markup/model/Type.h"
#include "support/DibCanvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <ostream>

IMPLEMENT_MARKUPCLASS(L"TestBox", CTestBox, CXTPMarkupStackPanel)

CXTPMarkupDependencyProperty* CTestBox::m_pContentWidthProperty = nullptr;
CXTPMarkupDependencyProperty* CTestBox::m_pContentHeightProperty = nullptr;

void CTestBox::RegisterMarkupProperties()
{
    m_pContentWidthProperty = CXTPMarkupDependencyProperty::Register(
        L"ContentWidth", MARKUP_TYPE(CXTPMarkupInt), MARKUP_TYPE(CTestBox),
        new CXTPMarkupPropertyOptions(nullptr, CXTPMarkupPropertyOptions::AffectsMeasure));
    m_pContentHeightProperty = CXTPMarkupDependencyProperty::Register(
        L"ContentHeight", MARKUP_TYPE(CXTPMarkupInt), MARKUP_TYPE(CTestBox),
        new CXTPMarkupPropertyOptions(nullptr, CXTPMarkupPropertyOptions::AffectsMeasure));
}

CTestBox::CTestBox() {}

SIZE CTestBox::MeasureContent(CXTPMarkupPainter* pPainter, int cxConstraint, int cyConstraint)
{
    ++m_nMeasureCount;
    m_szLastConstraint = {cxConstraint, cyConstraint};
    SIZE sz = CXTPMarkupStackPanel::MeasureContent(pPainter, cxConstraint, cyConstraint);
    const CXTPMarkupInt* pWidth = MarkupCast<CXTPMarkupInt>(GetValue(m_pContentWidthProperty));
    const CXTPMarkupInt* pHeight = MarkupCast<CXTPMarkupInt>(GetValue(m_pContentHeightProperty));
    sz.cx = std::max<LONG>(sz.cx, pWidth ? int(*pWidth) : 0);
    sz.cy = std::max<LONG>(sz.cy, pHeight ? int(*pHeight) : 0);
    return sz;
}

SIZE CTestBox::ArrangeContent(int cx, int cy)
{
    ++m_nArrangeCount;
    return CXTPMarkupStackPanel::ArrangeContent(cx, cy);
}

void CTestBox::DrawContent(CXTPMarkupPainter* pPainter)
{
    ++m_nDrawCount;
    CXTPMarkupStackPanel::DrawContent(pPainter);
}

void CRecordingHost::InvalidateElement(CXTPMarkupInputElement* pElement)
{
    m_invalidated.push_back(GetElementRect(pElement));
}

void CRecordingHost::InvalidateAll()
{
    ++m_nInvalidateAll;
}

namespace
{
CXTPMarkupObject* Parse(const char* pszMarkup, CXTPMarkupHost* pHost, std::string& strError)
{
    CTestBox::GetMarkupType(); // registered and initialised on first use
    return CXTPMarkupObjectBuilder::Parse(pHost, pszMarkup, strlen(pszMarkup), &strError);
}

template <class TVisit> void ForEachVisual(CXTPMarkupVisual* pVisual, const TVisit& visit)
{
    visit(pVisual);
    for (int i = 0; i < pVisual->GetChildCount(); ++i)
    {
        if (CXTPMarkupVisual* pChild = pVisual->GetChild(i))
            ForEachVisual(pChild, visit);
    }
}
} // namespace

Ptr<CXTPMarkupFrameworkElement> Load(const char* pszMarkup, CXTPMarkupHost* pHost)
{
    std::string strError;
    Ptr<CXTPMarkupObject> root(Parse(pszMarkup, pHost, strError));
    EXPECT_TRUE(root) << strError;
    CXTPMarkupFrameworkElement* pElement = MarkupCast<CXTPMarkupFrameworkElement>(root.Get());
    EXPECT_TRUE(!root || pElement) << "the root is no framework element";
    return pElement ? Ptr<CXTPMarkupFrameworkElement>(static_cast<CXTPMarkupFrameworkElement*>(root.Detach()))
                    : Ptr<CXTPMarkupFrameworkElement>();
}

std::string LoadError(const char* pszMarkup)
{
    std::string strError;
    Ptr<CXTPMarkupObject> root(Parse(pszMarkup, nullptr, strError));
    EXPECT_FALSE(root);
    return strError;
}

CXTPMarkupFrameworkElement* Find(CXTPMarkupVisual* pRoot, LPCWSTR lpszName)
{
    CXTPMarkupFrameworkElement* pFound = nullptr;
    ForEachVisual(pRoot,
                  [&](CXTPMarkupVisual* pVisual)
                  {
                      const CXTPMarkupString* pName =
                          MarkupCast<CXTPMarkupString>(pVisual->GetValue(CXTPMarkupObject::m_pNameProperty));
                      if (pName && wcscmp(pName->GetText(), lpszName) == 0)
                          pFound = MarkupCast<CXTPMarkupFrameworkElement>(pVisual);
                  });
    EXPECT_TRUE(pFound) << "no element named " << std::string(lpszName, lpszName + wcslen(lpszName));
    return pFound;
}

CTestBox* FindBox(CXTPMarkupVisual* pRoot, LPCWSTR lpszName)
{
    return MarkupCast<CTestBox>(Find(pRoot, lpszName));
}

std::string LayOut(CXTPMarkupUIElement* pRoot, int cx, int cy)
{
    CXTPMarkupGdiPainter painter;
    pRoot->Measure(&painter, cx, cy);
    pRoot->Arrange(RECT{0, 0, cx, cy});
    return DumpMarkupLayout(pRoot);
}

void Paint(CXTPMarkupUIElement* pRoot, CDibCanvas& canvas)
{
    CXTPMarkupGdiPainter painter(canvas.GetDC());
    pRoot->Measure(&painter, canvas.Width(), canvas.Height());
    pRoot->Arrange(RECT{0, 0, canvas.Width(), canvas.Height()});
    pRoot->Render(&painter);
}

void ExpectPixels(const CDibCanvas& canvas, const std::vector<Probe>& probes)
{
    for (const Probe& probe : probes)
        EXPECT_EQ(probe.clr, canvas.Color(probe.x, probe.y)) << "at " << probe.x << "," << probe.y;
}

int TotalMeasures(CXTPMarkupVisual* pRoot)
{
    int nTotal = 0;
    ForEachVisual(pRoot,
                  [&](CXTPMarkupVisual* pVisual)
                  {
                      if (CTestBox* pBox = MarkupCast<CTestBox>(pVisual))
                          nTotal += pBox->m_nMeasureCount;
                  });
    return nTotal;
}

int TotalArranges(CXTPMarkupVisual* pRoot)
{
    int nTotal = 0;
    ForEachVisual(pRoot,
                  [&](CXTPMarkupVisual* pVisual)
                  {
                      if (CTestBox* pBox = MarkupCast<CTestBox>(pVisual))
                          nTotal += pBox->m_nArrangeCount;
                  });
    return nTotal;
}

bool operator==(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::ostream& operator<<(std::ostream& os, const RECT& rc)
{
    return os << rc.left << "," << rc.top << "," << rc.right << "," << rc.bottom;
}
