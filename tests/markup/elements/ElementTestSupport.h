// What the element tests share: a counting element, loading markup into
// trees, finding elements by name, laying trees out, and a host that records
// what it is asked to repaint.
#pragma once

#include "markup/elements/StackPanel.h"
#include "markup/host/Host.h"

#include <string>
#include <vector>

class CDibCanvas;

template <class T> using Ptr = CXTPMarkupPtr<T>;

// A stack panel that counts its measures, arrangements and draws, remembers
// the constraint of its last measure, and can ask for a content size of its
// own ("ContentWidth", "ContentHeight"), as a text or a picture would. With
// children it stacks them as well; its size is then the larger of both.
class CTestBox : public CXTPMarkupStackPanel
{
    DECLARE_MARKUPCLASS(CTestBox)
public:
    CTestBox();

    static CXTPMarkupDependencyProperty* m_pContentWidthProperty;  // Int, re-measures
    static CXTPMarkupDependencyProperty* m_pContentHeightProperty; // Int, re-measures
    static void RegisterMarkupProperties();

    int m_nMeasureCount = 0;
    int m_nArrangeCount = 0;
    int m_nDrawCount = 0;
    SIZE m_szLastConstraint = {-1, -1};

protected:
    SIZE MeasureContent(CXTPMarkupPainter* pPainter, int cxConstraint, int cyConstraint) override;
    SIZE ArrangeContent(int cx, int cy) override;
    void DrawContent(CXTPMarkupPainter* pPainter) override;
};

// Records every repaint request, with the element's window rectangle at the
// moment it was asked.
class CRecordingHost : public CXTPMarkupHost
{
public:
    void InvalidateElement(CXTPMarkupInputElement* pElement) override;
    void InvalidateAll() override;

    std::vector<RECT> m_invalidated;
    int m_nInvalidateAll = 0;
};

// The tree of an ASCII markup text, made for pHost (may be null); a failed
// load fails the test and gives null.
Ptr<CXTPMarkupFrameworkElement> Load(const char* pszMarkup, CXTPMarkupHost* pHost = nullptr);

// The builder's error text for markup that must not load.
std::string LoadError(const char* pszMarkup);

// The element of the tree whose "x:Name" is lpszName, or null; borrowed.
CXTPMarkupFrameworkElement* Find(CXTPMarkupVisual* pRoot, LPCWSTR lpszName);
CTestBox* FindBox(CXTPMarkupVisual* pRoot, LPCWSTR lpszName);

// Measures the root with (cx, cy), arranges it to (0, 0, cx, cy), and
// answers the arranged-rectangle dump.
std::string LayOut(CXTPMarkupUIElement* pRoot, int cx, int cy);

// Lays the root out over the whole canvas and draws it there.
void Paint(CXTPMarkupUIElement* pRoot, CDibCanvas& canvas);

const COLORREF kBlack = RGB(0, 0, 0);
const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kGreen = RGB(0, 255, 0);
const COLORREF kBlue = RGB(0, 0, 255);

// A pixel of a drawing and the colour it must have.
struct Probe
{
    int x;
    int y;
    COLORREF clr;
};
void ExpectPixels(const CDibCanvas& canvas, const std::vector<Probe>& probes);

// Sum of the counters over every test box of the tree.
int TotalMeasures(CXTPMarkupVisual* pRoot);
int TotalArranges(CXTPMarkupVisual* pRoot);

bool operator==(const RECT& a, const RECT& b);
std::ostream& operator<<(std::ostream& os, const RECT& rc);
