// Line breaking and drawing of long text: a wrapping text block holding 1 MB
// and then 4 MB (code page 936 bytes) of mixed Chinese and Latin text, as
// markup with bold runs and line breaks, and as one run of Chinese without a
// single blank. Each phase should cost four times as much for four times the
// text.
#include "BenchSupport.h"
#include "markup/elements/TextBlock.h"
#include "markup/host/Host.h"
#include "markup/host/GdiPainter.h"
#include "markup/model/Converter.h"
#include "markup/model/Numbers.h"
#include "markup/model/ObjectBuilder.h"
#include "markup/model/String.h"
#include "markup/model/Type.h"
#include "toolkit/GdiHandles.h"
#include "toolkit/CodePage.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace
{
const int kWidth = 485;
const int kOtherWidth = 400;
const int kPage = 600;
const size_t kMegabyte = 1 << 20;

std::string ToCp936(const std::wstring& strText)
{
    return XTPToMultiByte(strText.c_str(), int(strText.size()), 936);
}

// Sentences of the program's own vocabulary and Latin words, with a bold run
// now and then and a line break every few sentences.
std::string MixedMarkup(size_t cbText)
{
    static const wchar_t* const kChinese[] = {L"本工具是通过互联网进行自动校时，", L"所以您必须首先确保已连接互联网",
                                              L"才能使用校时功能！", L"您的系统时间比标准时间慢了", L"已经成功校时！"};
    static const char* const kLatin[] = {"clock ", "server ", "offset ", "sync ", "time.windows.com ", "NTP "};
    std::vector<std::string> chinese;
    for (const wchar_t* psz : kChinese)
        chinese.push_back(ToCp936(psz));

    std::string strText = "<TextBlock TextWrapping='Wrap' FontSize='14'>";
    size_t cb = 0;
    for (unsigned i = 0; cb < cbText; ++i)
    {
        std::string strPiece = chinese[i % chinese.size()];
        strPiece += kLatin[(i * 7) % 6];
        if (i % 5 == 0)
            strPiece = "<Run FontWeight='Bold'>" + strPiece + "</Run>";
        if (i % 23 == 22)
            strPiece += "<LineBreak/>";
        cb += strPiece.size();
        strText += strPiece;
    }
    return strText + "</TextBlock>";
}

struct Timings
{
    double dParse = 0;
    double dLayout = 0;
    double dRelayout = 0;
    double dFirstPage = 0;
    double dAllPages = 0;
    int nHeight = 0;
};

CXTPMarkupTextBlock* Load(CXTPMarkupHost* pHost, const std::string& strMarkup, Timings& t)
{
    const double dStart = Seconds();
    CXTPMarkupObject* pObject = CXTPMarkupObjectBuilder::Parse(pHost, strMarkup.data(), strMarkup.size(), nullptr);
    t.dParse = Seconds() - dStart;
    CXTPMarkupTextBlock* pTextBlock = MarkupCast<CXTPMarkupTextBlock>(pObject);
    if (!pTextBlock && pObject)
        pObject->Release();
    return pTextBlock;
}

void Measure(CXTPMarkupTextBlock* pTextBlock, HDC hDC, Timings& t)
{
    {
        CXTPMarkupGdiPainter painter(hDC);
        double dStart = Seconds();
        pTextBlock->Measure(&painter, kWidth, 0x7FFFFFFF);
        pTextBlock->Arrange(RECT{0, 0, kWidth, pTextBlock->GetMeasuredSize().cy});
        t.dLayout = Seconds() - dStart;
        t.nHeight = pTextBlock->GetMeasuredSize().cy;

        dStart = Seconds();
        pTextBlock->Render(&painter);
        t.dFirstPage = Seconds() - dStart;

        // Every page of the text once, as scrolling through it would draw.
        dStart = Seconds();
        for (int y = 0; y < t.nHeight; y += kPage)
        {
            const POINT ptPrevious = painter.OffsetViewportOrigin(POINT{0, -y});
            pTextBlock->Render(&painter);
            painter.SetViewportOrigin(ptPrevious);
        }
        t.dAllPages = Seconds() - dStart;
    }
    CXTPMarkupGdiPainter painter(hDC);
    const double dStart = Seconds();
    pTextBlock->Measure(&painter, kOtherWidth, 0x7FFFFFFF);
    t.dRelayout = Seconds() - dStart;
}

Timings Run(CXTPMarkupHost* pHost, const std::string& strMarkup, HDC hDC)
{
    Timings t;
    CXTPMarkupTextBlock* pTextBlock = Load(pHost, strMarkup, t);
    if (!pTextBlock)
        return t;
    Measure(pTextBlock, hDC, t);
    pTextBlock->Release();
    return t;
}

// One run of Chinese without a blank: every line is cut by characters.
Timings RunWithoutBlanks(CXTPMarkupHost* pHost, size_t cbText, HDC hDC)
{
    const std::wstring strSentence = L"本工具是通过互联网进行自动校时所以您必须首先确保已连接互联网才能使用校时功能";
    std::wstring strText;
    while (strText.size() * 2 < cbText)
        strText += strSentence;
    Timings t;
    CXTPMarkupTextBlock* pTextBlock =
        static_cast<CXTPMarkupTextBlock*>(CXTPMarkupType::CreateObject(pHost, MARKUP_TYPE(CXTPMarkupTextBlock)));
    pTextBlock->SetValue(CXTPMarkupTextBlock::m_pTextProperty, CXTPMarkupString::CreateValue(strText.c_str()));
    pTextBlock->SetValue(CXTPMarkupTextBlock::m_pTextWrappingProperty, CXTPMarkupEnum::CreateValue(xtpMarkupTextWrap));
    Measure(pTextBlock, hDC, t);
    pTextBlock->Release();
    return t;
}

void Print(const char* pszName, const Timings& t)
{
    printf("%-22s parse %8.1f ms  layout %8.1f ms  relayout %8.1f ms  first page %6.2f ms  all pages %8.1f ms"
           "  (%d px high)\n",
           pszName, t.dParse * 1e3, t.dLayout * 1e3, t.dRelayout * 1e3, t.dFirstPage * 1e3, t.dAllPages * 1e3,
           t.nHeight);
}

void PrintRatio(const char* pszName, const Timings& a, const Timings& b)
{
    auto ratio = [](double x, double y) { return x > 0 ? y / x : 0.0; };
    printf("%-22s parse %8.2fx    layout %8.2fx    relayout %8.2fx    first page %6.2fx   all pages %8.2fx\n", pszName,
           ratio(a.dParse, b.dParse), ratio(a.dLayout, b.dLayout), ratio(a.dRelayout, b.dRelayout),
           ratio(a.dFirstPage, b.dFirstPage), ratio(a.dAllPages, b.dAllPages));
}

// The best of a few runs, phase by phase.
template <class TRun> Timings Best(const TRun& run)
{
    Timings best = run();
    for (int i = 0; i < 2; ++i)
    {
        const Timings t = run();
        best.dParse = std::min(best.dParse, t.dParse);
        best.dLayout = std::min(best.dLayout, t.dLayout);
        best.dRelayout = std::min(best.dRelayout, t.dRelayout);
        best.dFirstPage = std::min(best.dFirstPage, t.dFirstPage);
        best.dAllPages = std::min(best.dAllPages, t.dAllPages);
    }
    return best;
}
} // namespace

int main()
{
    // The first host registers every markup type.
    CXTPMarkupHost* pHost = new CXTPMarkupHost();
    void* pBits = nullptr;
    CXTPBitmapHandle hBitmap(XTPCreateDIB32(kWidth, kPage, &pBits));
    CXTPMemoryDC dc;
    dc.SelectBitmap(hBitmap.Get());

    printf("wrapping text block %d px wide (then %d), drawn into a %dx%d DIB\n", kWidth, kOtherWidth, kWidth, kPage);
    const std::string strOne = MixedMarkup(kMegabyte);
    const std::string strFour = MixedMarkup(4 * kMegabyte);
    const Timings one = Best([&] { return Run(pHost, strOne, dc.Get()); });
    const Timings four = Best([&] { return Run(pHost, strFour, dc.Get()); });
    Print("mixed, 1 MB", one);
    Print("mixed, 4 MB", four);
    PrintRatio("4 MB / 1 MB", one, four);

    const Timings oneCjk = Best([&] { return RunWithoutBlanks(pHost, kMegabyte, dc.Get()); });
    const Timings fourCjk = Best([&] { return RunWithoutBlanks(pHost, 4 * kMegabyte, dc.Get()); });
    Print("no blanks, 1 MB", oneCjk);
    Print("no blanks, 4 MB", fourCjk);
    PrintRatio("4 MB / 1 MB", oneCjk, fourCjk);
    pHost->Release();
    return 0;
}
