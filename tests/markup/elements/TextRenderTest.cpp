// Text drawn on real pixels: the result panel's offset in bold red, colours,
// backgrounds and decorations; fonts inherited from ancestors and shared
// through the host's cache; links with their look, cursor and "Click"
// routing; GDI objects and fonts after many passes.
#include "TextTestSupport.h"

#include "app/DialogMarkup.h"
#include "markup/elements/Hyperlink.h"
#include "markup/elements/Run.h"
#include "markup/host/CachedFont.h"
#include "markup/elements/Delegate.h"
#include "markup/elements/EventArgs.h"
#include "markup/host/GdiPainter.h"
#include "markup/model/Brush.h"
#include "markup/model/Numbers.h"
#include "markup/model/String.h"
#include "support/DibCanvas.h"
#include "support/GdiObjectCount.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace
{
const COLORREF kWhite = RGB(255, 255, 255);

// Pixels of rc (clipped to the canvas) that pass the test.
int CountPixels(const CDibCanvas& canvas, RECT rc, const std::function<bool(COLORREF)>& test)
{
    rc.left = std::max<LONG>(rc.left, 0);
    rc.top = std::max<LONG>(rc.top, 0);
    rc.right = std::min<LONG>(rc.right, canvas.Width());
    rc.bottom = std::min<LONG>(rc.bottom, canvas.Height());
    int nCount = 0;
    for (int y = rc.top; y < rc.bottom; ++y)
        for (int x = rc.left; x < rc.right; ++x)
            nCount += test(canvas.Color(x, y));
    return nCount;
}

bool IsRedInk(COLORREF clr)
{
    return GetRValue(clr) >= 192 && GetGValue(clr) <= 64 && GetBValue(clr) <= 64;
}

bool IsDarkInk(COLORREF clr)
{
    return GetRValue(clr) < 96 && GetGValue(clr) < 96 && GetBValue(clr) < 96;
}

RECT Moved(RECT rc, POINT pt)
{
    OffsetRect(&rc, pt.x, pt.y);
    return rc;
}

std::string ResultPanel(const std::wstring& strMessage)
{
    return ResultPanelMarkup(Cp936(strMessage).c_str());
}

const wchar_t kSlowMessage[] =
    L"更新本机系统时间失败！您的系统时间比标准时间慢了<Run Foreground='Red' FontWeight='Bold'>10.0000</Run>秒！";

TEST(TextRenderTest, TheResultPanelDrawsTheOffsetInBoldRed)
{
    CHostHolder host;
    Ptr<CXTPMarkupFrameworkElement> root = Load(ResultPanel(kSlowMessage).c_str(), host.pHost);
    ASSERT_TRUE(root);
    CDibCanvas canvas(600, 40, kWhite);
    Paint(root.Get(), canvas);

    CXTPMarkupTextBlock* pTextBlock = TextBlocks(root.Get())[0];
    EXPECT_EQ(std::vector<std::wstring>{L"更新本机系统时间失败！您的系统时间比标准时间慢了10.0000秒！"},
              LineTexts(pTextBlock));
    const std::vector<CXTPMarkupTextBlock::CLineInfo> lines = pTextBlock->GetLines();
    ASSERT_EQ(3u, lines[0].pieces.size());
    // The picture stands before the text, both centred in the row.
    EXPECT_EQ(24, pTextBlock->GetOffset().x);
    EXPECT_EQ(5, lines[0].pieces[0].rc.left);

    const CXTPMarkupRun* pBefore = MarkupCast<CXTPMarkupRun>(lines[0].pieces[0].pInline);
    const CXTPMarkupRun* pNumber = MarkupCast<CXTPMarkupRun>(lines[0].pieces[1].pInline);
    const CXTPMarkupRun* pAfter = MarkupCast<CXTPMarkupRun>(lines[0].pieces[2].pInline);
    ASSERT_TRUE(pBefore && pNumber && pAfter);
    const LOGFONTA lfNumber = FontOf(pNumber);
    EXPECT_EQ(700, lfNumber.lfWeight);
    EXPECT_EQ(-14, lfNumber.lfHeight);
    EXPECT_NE(700, FontOf(pBefore).lfWeight);
    EXPECT_EQ(-14, FontOf(pBefore).lfHeight);
    // Only the number has the bold font; the text around it shares the other.
    EXPECT_EQ(pBefore->GetFont(), pAfter->GetFont());
    EXPECT_EQ(TextWidth(lfNumber, L"10.0000"), lines[0].pieces[1].rc.right - lines[0].pieces[1].rc.left);

    const POINT ptText = pTextBlock->GetOffset();
    const RECT rcNumber = Moved(lines[0].pieces[1].rc, ptText);
    EXPECT_LT(20, CountPixels(canvas, rcNumber, IsRedInk));
    EXPECT_EQ(0, CountPixels(canvas, RECT{0, 0, rcNumber.left, 40}, IsRedInk));
    EXPECT_EQ(0, CountPixels(canvas, RECT{rcNumber.right, 0, 600, 40}, IsRedInk));
    EXPECT_LT(20, CountPixels(canvas, Moved(lines[0].pieces[0].rc, ptText), IsDarkInk));
    EXPECT_LT(5, CountPixels(canvas, Moved(lines[0].pieces[2].rc, ptText), IsDarkInk));
}

TEST(TextRenderTest, BackgroundsColoursAndDecorationsFollowTheirElements)
{
    CHostHolder host;
    host->SetDefaultTextColor(RGB(0, 128, 0));
    Ptr<CXTPMarkupFrameworkElement> root =
        Load("<TextBlock Background='#FFFF00' FontSize='24'>plain <Run Background='#00FFFF'>cyan</Run> "
             "<Underline Foreground='#0000FF'>under</Underline> <Run TextDecorations='Strikethrough' "
             "Foreground='#FF0000'>struck</Run> <Hyperlink>link</Hyperlink></TextBlock>",
             host.pHost);
    ASSERT_TRUE(root);
    CDibCanvas canvas(700, 40, kWhite);
    Paint(root.Get(), canvas);
    CXTPMarkupTextBlock* pTextBlock = MarkupCast<CXTPMarkupTextBlock>(root.Get());
    const std::vector<CXTPMarkupTextBlock::CLineInfo> lines = pTextBlock->GetLines();
    ASSERT_EQ(1u, lines.size());
    const CXTPMarkupTextBlock::CLineInfo& line = lines[0];
    auto pieceWith = [&](const wchar_t* pszText) -> const CXTPMarkupTextBlock::CPieceInfo&
    {
        for (const CXTPMarkupTextBlock::CPieceInfo& piece : line.pieces)
        {
            const CXTPMarkupRun* pRun = MarkupCast<CXTPMarkupRun>(piece.pInline);
            if (pRun && std::wstring(pRun->GetText()).find(pszText) != std::wstring::npos)
                return piece;
        }
        ADD_FAILURE() << "no piece";
        return line.pieces[0];
    };

    // The text block's background fills its area, the run's its piece.
    EXPECT_EQ(RGB(255, 255, 0), canvas.Color(699, 39));
    const RECT rcCyan = pieceWith(L"cyan").rc;
    const int nCyanArea = (rcCyan.right - rcCyan.left) * (rcCyan.bottom - rcCyan.top);
    EXPECT_LT(nCyanArea / 2, canvas.Count(RGB(0, 255, 255), rcCyan));

    // Text without a colour of its own takes the host's.
    EXPECT_LT(10, CountPixels(canvas, pieceWith(L"plain").rc,
                              [](COLORREF clr)
                              { return GetRValue(clr) < 64 && GetGValue(clr) > 96 && GetBValue(clr) < 64; }));

    // Bars a third of the descent thick: an underline below the baseline,
    // a strike through the middle, each across the whole piece in the colour
    // of the element the decoration comes from.
    const int m = line.nMaxDescent;
    const int k = std::max(1, m / 3);
    auto expectBar = [&](const CXTPMarkupTextBlock::CPieceInfo& piece, int nTop, COLORREF clr)
    {
        const RECT rcBar = {piece.rc.left, nTop, piece.rc.right, nTop + k};
        EXPECT_EQ((rcBar.right - rcBar.left) * k, canvas.Count(clr, rcBar)) << rcBar;
    };
    const CXTPMarkupTextBlock::CPieceInfo& under = pieceWith(L"under");
    expectBar(under, under.rc.bottom - under.pInline->GetDescent() + k, RGB(0, 0, 255));
    const CXTPMarkupTextBlock::CPieceInfo& struck = pieceWith(L"struck");
    expectBar(struck, struck.rc.bottom - struck.pInline->GetDescent() + m - (line.cy - m) / 2, RGB(255, 0, 0));

    // A link is blue and underlined.
    const CXTPMarkupTextBlock::CPieceInfo& link = pieceWith(L"link");
    expectBar(link, link.rc.bottom - link.pInline->GetDescent() + k, RGB(0, 0, 255));
    EXPECT_LT(10, CountPixels(canvas, RECT{link.rc.left, link.rc.top, link.rc.right, link.rc.bottom - m},
                              [](COLORREF clr) { return clr == RGB(0, 0, 255); }));
}

TEST(TextRenderTest, InlinesTakeTheirFontFromTheirAncestorsThroughTheHostsCache)
{
    CHostHolder host;
    Ptr<CXTPMarkupFrameworkElement> root =
        Load("<StackPanel x:Name='panel' TextElement.FontSize='20' TextElement.FontFamily='Tahoma'>"
             "<TextBlock FontWeight='Bold'><Italic><Run>one</Run></Italic> <Run FontSize='12pt'>two</Run></TextBlock>"
             "<TextBlock>three</TextBlock><TextBlock>four</TextBlock></StackPanel>",
             host.pHost);
    ASSERT_TRUE(root);
    LayOut(root.Get(), 400, 300);
    const std::vector<CXTPMarkupTextBlock*> blocks = TextBlocks(root.Get());
    ASSERT_EQ(3u, blocks.size());
    const std::vector<CXTPMarkupTextBlock::CLineInfo> lines = blocks[0]->GetLines();
    const CXTPMarkupRun* pOne = MarkupCast<CXTPMarkupRun>(lines[0].pieces[0].pInline);
    const CXTPMarkupRun* pTwo = MarkupCast<CXTPMarkupRun>(lines[0].pieces.back().pInline);
    const CXTPMarkupRun* pThree = MarkupCast<CXTPMarkupRun>(blocks[1]->GetLines()[0].pieces[0].pInline);
    const CXTPMarkupRun* pFour = MarkupCast<CXTPMarkupRun>(blocks[2]->GetLines()[0].pieces[0].pInline);
    ASSERT_TRUE(pOne && pTwo && pThree && pFour);

    const LOGFONTA lfOne = FontOf(pOne);
    EXPECT_EQ(-20, lfOne.lfHeight);
    EXPECT_EQ(700, lfOne.lfWeight);
    EXPECT_EQ(1, lfOne.lfItalic);
    EXPECT_STREQ("Tahoma", lfOne.lfFaceName);
    const LOGFONTA lfTwo = FontOf(pTwo);
    EXPECT_EQ(-16, lfTwo.lfHeight);
    EXPECT_EQ(700, lfTwo.lfWeight);
    EXPECT_EQ(0, lfTwo.lfItalic);
    EXPECT_EQ(host->GetDefaultFont().lfWeight, FontOf(pThree).lfWeight);
    EXPECT_EQ(-20, FontOf(pThree).lfHeight);
    // One font object for one description.
    EXPECT_EQ(pThree->GetFont(), pFour->GetFont());

    // A change on the ancestor reaches the text and lays it out again.
    const int cyBefore = blocks[1]->GetMeasuredSize().cy;
    Find(root.Get(), L"panel")->SetValue(CXTPMarkupTextElement::m_pFontSizeProperty, new CXTPMarkupInt(30));
    EXPECT_EQ(-30, FontOf(pThree).lfHeight);
    EXPECT_EQ(-30, FontOf(pOne).lfHeight);
    EXPECT_EQ(-16, FontOf(pTwo).lfHeight);
    EXPECT_LT(cyBefore, blocks[1]->GetMeasuredSize().cy);

    // A face name too long for a font description is cut between characters.
    const std::wstring strLongFace = L"微软雅黑微软雅黑微软雅黑微软雅黑";
    Find(root.Get(), L"panel")
        ->SetValue(CXTPMarkupTextElement::m_pFontFamilyProperty, CXTPMarkupString::CreateValue(strLongFace.c_str()));
    EXPECT_EQ(Cp936(strLongFace.substr(0, 15)), FontOf(pThree).lfFaceName);
}

TEST(TextRenderTest, ALinkLooksLikeOneAndRaisesClickThroughItsAncestorsToTheHost)
{
    CHostHolder host;
    Ptr<CXTPMarkupFrameworkElement> root = Load("<StackPanel x:Name='panel'><TextBlock>Go <Hyperlink>here</Hyperlink>"
                                                " now</TextBlock></StackPanel>",
                                                host.pHost);
    ASSERT_TRUE(root);
    LayOut(root.Get(), 300, 100);
    CXTPMarkupTextBlock* pText = TextBlocks(root.Get())[0];
    CXTPMarkupHyperlink* pLink = MarkupCast<CXTPMarkupHyperlink>(pText->GetInlines()->GetInline(1));
    ASSERT_TRUE(pLink);
    CXTPMarkupRun* pRun = MarkupCast<CXTPMarkupRun>(pLink->GetInlines()->GetInline(0));
    auto color = [&]
    {
        const CXTPMarkupSolidColorBrush* pBrush = MarkupCast<CXTPMarkupSolidColorBrush>(pRun->GetForeground());
        return pBrush ? pBrush->GetColor() : CLR_INVALID;
    };
    // The host's calls on the link, as it makes them on the pointer's chain.
    auto input = [&](void (CXTPMarkupInputElement::*pfnInput)(CXTPMarkupEventArgs*))
    {
        CXTPMarkupEventArgs args(nullptr, pRun);
        (pLink->*pfnInput)(&args);
        return args.m_bHandled;
    };

    // Blue and underlined; the text under the pointer is the link's run.
    EXPECT_EQ(RGB(0, 0, 255), color());
    const CXTPMarkupEnum* pDecorations =
        MarkupCast<CXTPMarkupEnum>(pRun->GetValue(CXTPMarkupTextElement::m_pTextDecorationsProperty));
    EXPECT_TRUE(pDecorations && *pDecorations == xtpMarkupTextDecorationsUnderline);
    const RECT rcLink = pText->GetInlineRect(pLink);
    const POINT pt = pText->GetOffset();
    EXPECT_EQ(pRun, root->HitTest(pt.x + rcLink.left + 1, pt.y + rcLink.top + 1));
    // Its tooltip and repaints cover that text in the window.
    EXPECT_EQ(Moved(rcLink, pt), host->GetElementRect(pLink));

    // The hand cursor is the link's; red while the mouse is over it.
    CXTPMarkupEventArgs query;
    pRun->OnQueryCursor(&query);
    EXPECT_FALSE(query.m_bHandled);
    pLink->OnQueryCursor(&query);
    EXPECT_TRUE(query.m_bHandled);
    EXPECT_EQ(LoadCursor(nullptr, IDC_HAND), query.m_hCursor);
    const size_t nRepaints = host->m_invalidated.size();
    input(&CXTPMarkupInputElement::OnMouseEnter);
    EXPECT_EQ(RGB(255, 0, 0), color());
    EXPECT_LT(nRepaints, host->m_invalidated.size());
    input(&CXTPMarkupInputElement::OnMouseLeave);
    EXPECT_EQ(RGB(0, 0, 255), color());

    // "Click" after a press and a release, bubbling up to the host.
    std::vector<std::string> log;
    auto recorder = [&](const std::string& strName, BOOL bHandle)
    {
        return new CXTPMarkupDelegate(
            [&log, strName, bHandle](CXTPMarkupObject*, CXTPMarkupEventArgs* pArgs)
            {
                log.push_back(strName);
                pArgs->m_bHandled = pArgs->m_bHandled || bHandle;
            });
    };
    pLink->AddHandler(CXTPMarkupHyperlink::m_pClickEvent, recorder("link", FALSE));
    pText->AddHandler(CXTPMarkupHyperlink::m_pClickEvent, recorder("text", FALSE));
    Find(root.Get(), L"panel")->AddHandler(CXTPMarkupHyperlink::m_pClickEvent, recorder("panel", FALSE));
    host->AddHandler(CXTPMarkupHyperlink::m_pClickEvent, recorder("host", FALSE));
    EXPECT_FALSE(input(&CXTPMarkupInputElement::OnMouseLeftButtonUp));
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(input(&CXTPMarkupInputElement::OnMouseLeftButtonDown));
    EXPECT_TRUE(input(&CXTPMarkupInputElement::OnMouseLeftButtonUp));
    EXPECT_EQ((std::vector<std::string>{"link", "text", "panel", "host"}), log);

    // Pressed, then off the link: the release that later comes over it (of a
    // press elsewhere) is no click.
    log.clear();
    input(&CXTPMarkupInputElement::OnMouseLeftButtonDown);
    input(&CXTPMarkupInputElement::OnMouseLeave);
    input(&CXTPMarkupInputElement::OnMouseEnter);
    EXPECT_FALSE(input(&CXTPMarkupInputElement::OnMouseLeftButtonUp));
    EXPECT_TRUE(log.empty());
}

TEST(TextRenderLeakTest, ManyPassesLeaveNoGdiObjectsOrFontsBehind)
{
    CHostHolder host;
    CDibCanvas canvas(600, 40, kWhite);
    auto pass = [&](int i)
    {
        Ptr<CXTPMarkupFrameworkElement> root = Load(ResultPanel(kSlowMessage).c_str(), host.pHost);
        ASSERT_TRUE(root);
        // A new width each time breaks the lines again; trimming adds runs.
        root->SetValue(CXTPMarkupFrameworkElement::m_pWidthProperty, new CXTPMarkupInt(300 + i % 7));
        TextBlocks(root.Get())[0]->SetValue(CXTPMarkupTextBlock::m_pTextTrimmingProperty,
                                            CXTPMarkupEnum::CreateValue(xtpMarkupTextTrimmingCharacterEllipsis));
        Paint(root.Get(), canvas);
    };
    pass(0);
    const DWORD nBefore = CountGdiObjects();
    for (int i = 0; i < 300; ++i)
        pass(i);
    EXPECT_EQ(nBefore, CountGdiObjects());
    ASSERT_TRUE(host->GetFontList());
    EXPECT_EQ(nullptr, host->GetFontList()->GetHead());
}
} // namespace
