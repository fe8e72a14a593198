// The dialog's three markup texts (the result panel showing a typical
// result) loaded, laid out and drawn into a 32-bit DIB, as happens whenever a
// result arrives, and repainted once laid out; against the floor of plain GDI
// in the same process: the same strings drawn with DrawTextW in the same
// fonts and the same three pictures alpha-blended. Also splits the markup
// pass into parse, measure, arrange and render, and counts the allocations
// of one repaint.
#include "BenchSupport.h"

#include "support/DialogTexts.h"

#include "markup/elements/UIElement.h"
#include "markup/host/Host.h"
#include "markup/host/ImageLoader.h"
#include "markup/host/GdiPainter.h"
#include "markup/host/WindowHelpers.h"
#include "toolkit/GdiHandles.h"
#include "toolkit/CodePage.h"
#include "toolkit/ImageStore.h"
#include "toolkit/ImageStoreImage.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

// The operators below replace the global ones: new and delete meet in malloc
// and free, which the compiler cannot see.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

namespace
{
std::atomic<long> g_nAllocations{0};
} // namespace

void* operator new(size_t nBytes)
{
    ++g_nAllocations;
    if (void* p = malloc(nBytes ? nBytes : 1))
        return p;
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept
{
    free(p);
}

void operator delete(void* p, size_t) noexcept
{
    free(p);
}

namespace
{
const int kCanvasWidth = 560;
const int kCanvasHeight = 240;

// The labels as the dialog places them, in pixels at 96 DPI.
struct Label
{
    const char* pszName;
    std::string strMarkup;
    RECT rc;
};

std::vector<Label> DialogLabels()
{
    return {{"information", kInfoMarkup, RECT{10, 10, 500, 100}},
            {"result", SampleResultPanelMarkup(), RECT{10, 110, 540, 138}},
            {"button", kButtonFaceMarkup, RECT{10, 145, 130, 230}}};
}

std::wstring Wide(const char* pszCp936)
{
    return XTPToWide(pszCp936, -1, 936);
}

struct Split
{
    double dParse = 0, dMeasure = 0, dArrange = 0, dRender = 0;
    double Total() const { return dParse + dMeasure + dArrange + dRender; }
};

// One label's tree measured, arranged and drawn as the label's paint does.
void Paint(CXTPMarkupUIElement* pRoot, HDC hDC, const RECT& rc, Split* pSplit)
{
    const POINT ptOrigin = {rc.left, rc.top};
    POINT ptPrevious;
    ::SetViewportOrgEx(hDC, ptOrigin.x, ptOrigin.y, &ptPrevious);
    const RECT rcClient = {0, 0, rc.right - rc.left, rc.bottom - rc.top};
    {
        CXTPMarkupGdiPainter painter(hDC);
        double dStart = Seconds();
        pRoot->Measure(&painter, rcClient.right, rcClient.bottom);
        double dNow = Seconds();
        if (pSplit)
            pSplit->dMeasure += dNow - dStart;
        dStart = dNow;
        pRoot->Arrange(rcClient);
        dNow = Seconds();
        if (pSplit)
            pSplit->dArrange += dNow - dStart;
        dStart = dNow;
        pRoot->Render(&painter);
        if (pSplit)
            pSplit->dRender += Seconds() - dStart;
    }
    ::SetViewportOrgEx(hDC, ptPrevious.x, ptPrevious.y, nullptr);
}

class CMarkupDialog
{
public:
    CMarkupDialog() : m_labels(DialogLabels())
    {
        for (size_t i = 0; i < m_labels.size(); ++i)
        {
            m_hosts.push_back(HostForWindow(nullptr));
            m_roots.push_back(nullptr);
        }
    }
    ~CMarkupDialog()
    {
        for (size_t i = 0; i < m_labels.size(); ++i)
        {
            DropElement(m_roots[i]);
            DropHost(m_hosts[i]);
        }
    }

    // Every label's text loaded again and drawn: a result arrived.
    void LoadAndDraw(HDC hDC, Split* pSplit)
    {
        for (size_t i = 0; i < m_labels.size(); ++i)
        {
            const double dStart = Seconds();
            DropElement(m_roots[i]);
            m_roots[i] = ParseWithHost(m_hosts[i], m_labels[i].strMarkup.c_str(), 936);
            if (pSplit)
                pSplit->dParse += Seconds() - dStart;
            if (m_roots[i])
                Paint(m_roots[i], hDC, m_labels[i].rc, pSplit);
        }
    }

    void Repaint(HDC hDC, Split* pSplit)
    {
        for (size_t i = 0; i < m_labels.size(); ++i)
            if (m_roots[i])
                Paint(m_roots[i], hDC, m_labels[i].rc, pSplit);
    }

    bool Loaded() const
    {
        return std::all_of(m_roots.begin(), m_roots.end(), [](CXTPMarkupUIElement* p) { return p != nullptr; });
    }

private:
    std::vector<Label> m_labels;
    std::vector<CXTPMarkupHost*> m_hosts;
    std::vector<CXTPMarkupUIElement*> m_roots;
};

// The same strings and pictures in plain GDI: fonts and pictures made once,
// as a hand-written dialog would.
class CPlainDialog
{
public:
    CPlainDialog()
    {
        NONCLIENTMETRICSA metrics = {};
        metrics.cbSize = sizeof(metrics);
        ::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
        const LOGFONTA& lfBase = metrics.lfMessageFont;
        m_fonts.emplace_back(MakeFont(lfBase, 16, FW_BOLD));
        m_fonts.emplace_back(MakeFont(lfBase, 14, FW_NORMAL));
        m_fonts.emplace_back(MakeFont(lfBase, 14, FW_BOLD));
        m_fonts.emplace_back(MakeFont(lfBase, 18, FW_BOLD));
        for (const char* pszName : {"info.png", "clock.png", "sync.png"})
        {
            BOOL bAlpha = FALSE;
            m_pictures.emplace_back(CXTPImageLoader::LoadImageResource(::GetModuleHandleW(nullptr), pszName, &bAlpha));
        }
        // "使用说明", the information text, the result's three runs, "立即校时".
        m_title = Wide("\xca\xb9\xd3\xc3\xcb\xb5\xc3\xf7");
        const std::string strInfo = kInfoMarkup;
        const size_t nBody = strInfo.find("0,0'>", strInfo.find("MaxWidth")) + 5;
        m_body = Wide(strInfo.substr(nBody, strInfo.find("</TextBlock>", nBody) - nBody).c_str());
        const std::string strResult = kSampleResultMessage;
        const size_t nRun = strResult.find('<');
        const size_t nRunText = strResult.find('>', nRun) + 1;
        const size_t nRunEnd = strResult.find("</Run>");
        m_resultHead = Wide(strResult.substr(0, nRun).c_str());
        m_resultFigure = Wide(strResult.substr(nRunText, nRunEnd - nRunText).c_str());
        m_resultTail = Wide(strResult.substr(nRunEnd + 6).c_str());
        m_button = Wide("\xc1\xa2\xbc\xb4\xd0\xa3\xca\xb1");
    }

    bool Loaded() const
    {
        return std::all_of(m_pictures.begin(), m_pictures.end(), [](const CXTPBitmapHandle& h) { return bool(h); });
    }

    void Draw(HDC hDC, HDC hPictureDC)
    {
        ::SetBkMode(hDC, TRANSPARENT);
        Blend(hDC, hPictureDC, 0, 10, 10, 24);
        Text(hDC, 0, m_title, RECT{39, 10, 500, 34}, DT_SINGLELINE | DT_VCENTER);
        Text(hDC, 1, m_body, RECT{15, 44, 500, 100}, DT_WORDBREAK);
        Blend(hDC, hPictureDC, 1, 10, 112, 24);
        RECT rc = {39, 112, 540, 136};
        rc.left += Text(hDC, 1, m_resultHead, rc, DT_SINGLELINE | DT_VCENTER, true);
        const COLORREF clrPrevious = ::SetTextColor(hDC, RGB(255, 0, 0));
        rc.left += Text(hDC, 2, m_resultFigure, rc, DT_SINGLELINE | DT_VCENTER, true);
        ::SetTextColor(hDC, clrPrevious);
        Text(hDC, 1, m_resultTail, rc, DT_SINGLELINE | DT_VCENTER);
        Blend(hDC, hPictureDC, 2, 10, 145, 32);
        Text(hDC, 3, m_button, RECT{10, 187, 130, 230}, DT_SINGLELINE);
    }

private:
    static HFONT MakeFont(LOGFONTA lf, int nSize, int nWeight)
    {
        lf.lfHeight = -nSize;
        lf.lfWeight = nWeight;
        return ::CreateFontIndirectA(&lf);
    }

    // Draws and answers the width drawn where a run of mixed fonts needs it.
    int Text(HDC hDC, size_t nFont, const std::wstring& str, RECT rc, UINT nFormat, bool bWidth = false)
    {
        const HGDIOBJ hPrevious = ::SelectObject(hDC, m_fonts[nFont].Get());
        SIZE sz = {};
        if (bWidth)
            ::GetTextExtentPoint32W(hDC, str.c_str(), int(str.size()), &sz);
        ::DrawTextW(hDC, str.c_str(), int(str.size()), &rc, nFormat | DT_NOPREFIX);
        ::SelectObject(hDC, hPrevious);
        return sz.cx;
    }

    void Blend(HDC hDC, HDC hPictureDC, size_t nPicture, int x, int y, int nSide)
    {
        BITMAP bm = {};
        ::GetObject(m_pictures[nPicture].Get(), sizeof(bm), &bm);
        const HGDIOBJ hPrevious = ::SelectObject(hPictureDC, m_pictures[nPicture].Get());
        const BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        ::GdiAlphaBlend(hDC, x, y, nSide, nSide, hPictureDC, 0, 0, bm.bmWidth, bm.bmHeight, blend);
        ::SelectObject(hPictureDC, hPrevious);
    }

    std::vector<CXTPGdiObject<HFONT>> m_fonts;
    std::vector<CXTPBitmapHandle> m_pictures;
    std::wstring m_title, m_body, m_resultHead, m_resultFigure, m_resultTail, m_button;
};

// Bytes in use in every heap of the process (the C runtime's included).
size_t HeapBytesInUse()
{
    HANDLE heaps[64];
    const DWORD nHeaps = ::GetProcessHeaps(64, heaps);
    size_t nBytes = 0;
    for (DWORD i = 0; i < nHeaps && i < 64; ++i)
    {
        PROCESS_HEAP_ENTRY entry = {};
        if (!::HeapLock(heaps[i]))
            continue;
        while (::HeapWalk(heaps[i], &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
                nBytes += entry.cbData;
        ::HeapUnlock(heaps[i]);
    }
    return nBytes;
}

// What the dialog's markup keeps on the heap, step by step as the program
// reaches its first paint.
int ReportMemory()
{
    void* pBits = nullptr;
    CXTPBitmapHandle hBitmap(XTPCreateDIB32(kCanvasWidth, kCanvasHeight, &pBits));
    CXTPMemoryDC dc;
    dc.SelectBitmap(hBitmap.Get());
    size_t nLast = HeapBytesInUse();
    double dLast = Seconds();
    // The time is that of the step's first run in the process, as at start.
    auto step = [&](const char* pszWhat)
    {
        const double dNow = Seconds();
        const size_t nNow = HeapBytesInUse();
        printf("%-52s %+9.1f KB %9.2f ms\n", pszWhat, (double(nNow) - double(nLast)) / 1024, (dNow - dLast) * 1e3);
        nLast = nNow;
        dLast = Seconds();
    };
    printf("heap in use and time, by step:\n");
    CXTPMarkupHost* pFirst = HostForWindow(nullptr);
    step("types registered and the first host");
    std::vector<Label> labels = DialogLabels();
    std::vector<CXTPMarkupHost*> hosts = {pFirst, HostForWindow(nullptr), HostForWindow(nullptr)};
    step("two more hosts");
    std::vector<CXTPMarkupUIElement*> roots;
    for (size_t i = 0; i < labels.size(); ++i)
        roots.push_back(ParseWithHost(hosts[i], labels[i].strMarkup.c_str(), 936));
    step("the three texts parsed");
    for (size_t i = 0; i < labels.size(); ++i)
    {
        CXTPMarkupGdiPainter painter(dc.Get());
        if (roots[i])
            roots[i]->Measure(&painter, labels[i].rc.right - labels[i].rc.left, labels[i].rc.bottom - labels[i].rc.top);
    }
    step("measured (pictures decoded, fonts made)");
    for (size_t i = 0; i < labels.size(); ++i)
        if (roots[i])
            Paint(roots[i], dc.Get(), labels[i].rc, nullptr);
    step("arranged and drawn");
    for (size_t i = 0; i < labels.size(); ++i)
    {
        DropElement(roots[i]);
        roots[i] = ParseWithHost(hosts[i], labels[i].strMarkup.c_str(), 936);
        if (roots[i])
            Paint(roots[i], dc.Get(), labels[i].rc, nullptr);
    }
    step("loaded and drawn again");
    for (size_t i = 0; i < labels.size(); ++i)
    {
        DropElement(roots[i]);
        DropHost(hosts[i]);
    }
    step("trees and hosts released");
    return 0;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double Minimum(const std::vector<double>& values)
{
    return *std::min_element(values.begin(), values.end());
}
} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && strcmp(argv[1], "--memory") == 0)
        return ReportMemory();
    const int nRounds = argc > 1 ? std::max(1, atoi(argv[1])) : 9;
    void* pBits = nullptr;
    CXTPBitmapHandle hBitmap(XTPCreateDIB32(kCanvasWidth, kCanvasHeight, &pBits));
    CXTPMemoryDC dc;
    dc.SelectBitmap(hBitmap.Get());
    CXTPMemoryDC pictureDC;
    const RECT rcCanvas = {0, 0, kCanvasWidth, kCanvasHeight};
    auto clear = [&] { ::FillRect(dc.Get(), &rcCanvas, ::GetSysColorBrush(COLOR_BTNFACE)); };

    CMarkupDialog markup;
    CPlainDialog plain;
    markup.LoadAndDraw(dc.Get(), nullptr);
    if (!markup.Loaded() || !plain.Loaded())
    {
        fprintf(stderr, "the dialog's markup or pictures did not load\n");
        return 1;
    }

    // Rounds alternate the three passes so that load on the machine falls on
    // all of them alike.
    std::vector<double> floor, fresh, repaint;
    for (int i = 0; i < nRounds; ++i)
    {
        floor.push_back(SecondsPerRun(
                            [&]
                            {
                                clear();
                                plain.Draw(dc.Get(), pictureDC.Get());
                            },
                            0.2)
                        * 1e6);
        fresh.push_back(SecondsPerRun(
                            [&]
                            {
                                clear();
                                markup.LoadAndDraw(dc.Get(), nullptr);
                            },
                            0.2)
                        * 1e6);
        repaint.push_back(SecondsPerRun(
                              [&]
                              {
                                  clear();
                                  markup.Repaint(dc.Get(), nullptr);
                              },
                              0.2)
                          * 1e6);
    }

    // Where a fresh pass and a repaint spend their time: the fastest of many.
    const int kSplitRuns = 400;
    Split bestFresh, bestRepaint;
    for (int i = 0; i < kSplitRuns; ++i)
    {
        Split s;
        markup.LoadAndDraw(dc.Get(), &s);
        if (i == 0 || s.Total() < bestFresh.Total())
            bestFresh = s;
        Split r;
        markup.Repaint(dc.Get(), &r);
        if (i == 0 || r.Total() < bestRepaint.Total())
            bestRepaint = r;
    }
    const long nBeforeFresh = g_nAllocations.load();
    markup.LoadAndDraw(dc.Get(), nullptr);
    const long nFreshAllocations = g_nAllocations.load() - nBeforeFresh;
    const long nBeforeRepaint = g_nAllocations.load();
    markup.Repaint(dc.Get(), nullptr);
    const long nRepaintAllocations = g_nAllocations.load() - nBeforeRepaint;

    printf("%d rounds; microseconds per pass of all three labels, median (fastest):\n", nRounds);
    printf("plain GDI floor:         %8.1f (%8.1f)\n", Median(floor), Minimum(floor));
    printf("markup load and draw:    %8.1f (%8.1f)\n", Median(fresh), Minimum(fresh));
    printf("markup repaint:          %8.1f (%8.1f)\n", Median(repaint), Minimum(repaint));
    printf("fastest load and draw: parse %.1f, measure %.1f, arrange %.1f, render %.1f us\n", bestFresh.dParse * 1e6,
           bestFresh.dMeasure * 1e6, bestFresh.dArrange * 1e6, bestFresh.dRender * 1e6);
    printf("fastest repaint: measure %.1f, arrange %.1f, render %.1f us\n", bestRepaint.dMeasure * 1e6,
           bestRepaint.dArrange * 1e6, bestRepaint.dRender * 1e6);
    printf("allocations: load and draw %ld, repaint %ld\n", nFreshAllocations, nRepaintAllocations);
    printf("load and draw against the floor: %.2f median, %.2f fastest (goal <= 2)\n", Median(fresh) / Median(floor),
           Minimum(fresh) / Minimum(floor));
    printf("repaint against the floor:       %.2f median, %.2f fastest (goal <= 1.2)\n",
           Median(repaint) / Median(floor), Minimum(repaint) / Minimum(floor));
    return 0;
}
