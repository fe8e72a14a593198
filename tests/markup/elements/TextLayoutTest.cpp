// Line breaking of text blocks, checked against widths measured apart from
// the layout (fonts differ between machines, so no test names a pixel width):
// wrapping of Chinese and Latin text, surrogate pairs, line feeds, blanks at
// line starts, trimming, alignment, baselines and embedded elements.
#include "TextTestSupport.h"

#include "app/DialogMarkup.h"
#include "markup/elements/Inline.h"
#include "markup/elements/InlineUIContainer.h"
#include "markup/elements/LineBreakRules.h"
#include "markup/elements/Run.h"
#include "markup/elements/Span.h"
#include "markup/host/CachedFont.h"
#include "markup/host/GdiPainter.h"
#include "markup/model/Converter.h"
#include "markup/model/Numbers.h"
#include "markup/model/String.h"

#include <gtest/gtest.h>

namespace
{
const int kTall = 1000;
const int kUnbounded = 0x7FFFFFFF;

size_t NextChar(const std::wstring& strText, size_t nPos)
{
    const bool bPair =
        nPos + 1 < strText.size() && IS_HIGH_SURROGATE(strText[nPos]) && IS_LOW_SURROGATE(strText[nPos + 1]);
    return nPos + (bPair ? 2 : 1);
}

// What wrapping text without blanks must give: each line the longest run of
// whole characters that fits, and at least one character.
std::vector<std::wstring> FillLines(const LOGFONTA& lf, const std::wstring& strText, int cx)
{
    std::vector<std::wstring> lines;
    for (size_t nStart = 0; nStart < strText.size();)
    {
        size_t nEnd = NextChar(strText, nStart);
        while (nEnd < strText.size() && TextWidth(lf, strText.substr(nStart, NextChar(strText, nEnd) - nStart)) <= cx)
            nEnd = NextChar(strText, nEnd);
        lines.push_back(strText.substr(nStart, nEnd - nStart));
        nStart = nEnd;
    }
    return lines;
}

// The text block's lines are those FillLines makes of the text, each as
// wide as GDI measures it.
void ExpectFilledLines(const CXTPMarkupTextBlock* pTextBlock, const LOGFONTA& lf, const std::wstring& strText, int cx)
{
    const std::vector<std::wstring> expected = FillLines(lf, strText, cx);
    EXPECT_EQ(expected, LineTexts(pTextBlock));
    const std::vector<CXTPMarkupTextBlock::CLineInfo> lines = pTextBlock->GetLines();
    ASSERT_EQ(expected.size(), lines.size());
    for (size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(TextWidth(lf, expected[i]), lines[i].cx) << i;
}

void SetEnum(CXTPMarkupObject* pObject, CXTPMarkupDependencyProperty* pProperty, int nValue)
{
    pObject->SetValue(pProperty, CXTPMarkupEnum::CreateValue(nValue));
}

const CXTPMarkupRun* FirstRun(const CXTPMarkupTextBlock* pTextBlock)
{
    return MarkupCast<CXTPMarkupRun>(pTextBlock->GetInlines()->GetInline(0));
}

int SpaceHeight(const LOGFONTA& lf)
{
    CXTPMarkupCachedFont* pFont = new CXTPMarkupCachedFont(lf);
    int cy = 0;
    {
        CXTPMarkupGdiPainter painter;
        painter.SetFont(pFont);
        cy = painter.GetTextExtent(L" ", 1).cy;
    }
    pFont->Release();
    return cy;
}

TEST(TextLayoutTest, TheInformationTextWrapsAtItsMaximumWidthWhereTheMeasuredFontSays)
{
    CHostHolder host;
    Ptr<CXTPMarkupFrameworkElement> root = Load(kInfoMarkup, host.pHost);
    ASSERT_TRUE(root);
    LayOut(root.Get(), 600, 400);
    const std::vector<CXTPMarkupTextBlock*> blocks = TextBlocks(root.Get());
    ASSERT_EQ(2u, blocks.size());

    const CXTPMarkupRun* pHeading = FirstRun(blocks[0]);
    ASSERT_TRUE(pHeading);
    EXPECT_EQ(-16, FontOf(pHeading).lfHeight);
    EXPECT_EQ(700, FontOf(pHeading).lfWeight);
    EXPECT_EQ(std::vector<std::wstring>{L"使用说明"}, LineTexts(blocks[0]));

    // "MaxWidth" 485 less the left padding of 5.
    CXTPMarkupTextBlock* pText = blocks[1];
    const CXTPMarkupRun* pRun = FirstRun(pText);
    ASSERT_TRUE(pRun);
    const LOGFONTA lf = FontOf(pRun);
    EXPECT_EQ(-14, lf.lfHeight);
    ExpectFilledLines(pText, lf, pRun->GetText(), 480);

    const std::vector<CXTPMarkupTextBlock::CLineInfo> lines = pText->GetLines();
    EXPECT_LE(2u, lines.size());
    for (size_t i = 0; i < lines.size(); ++i)
    {
        EXPECT_EQ(i + 1 < lines.size(), !!lines[i].bWrapped) << i;
        // The padding puts the text 5 right and 10 down.
        EXPECT_EQ(5, lines[i].pieces.front().rc.left) << i;
    }
    EXPECT_EQ(10, lines[0].pieces.front().rc.top);
    EXPECT_LE(pText->GetArrangedSize().cx, 485);
}

TEST(TextLayoutTest, TextWithoutBlanksWrapsByCharactersAndKeepsSurrogatePairsWhole)
{
    const std::wstring strChinese = L"更新本机系统时间失败！您的系统时间比标准时间慢了";
    Ptr<CXTPMarkupTextBlock> textBlock = NewTextBlock(strChinese);
    SetEnum(textBlock.Get(), CXTPMarkupTextBlock::m_pTextWrappingProperty, xtpMarkupTextWrap);
    LayOut(textBlock.Get(), kUnbounded, kTall);
    EXPECT_EQ(std::vector<std::wstring>{strChinese}, LineTexts(textBlock.Get()));
    const LOGFONTA lf = FontOf(FirstRun(textBlock.Get()));

    // Three characters and a half: lines of as many as fit.
    const int cxThreeAndHalf = TextWidth(lf, L"更新本") + TextWidth(lf, L"机") / 2;
    LayOut(textBlock.Get(), cxThreeAndHalf, kTall);
    EXPECT_EQ(FillLines(lf, strChinese, cxThreeAndHalf), LineTexts(textBlock.Get()));

    // Narrower than any character: one character a line, and no empty line
    // after the last.
    LayOut(textBlock.Get(), 3, kTall);
    EXPECT_EQ(FillLines(lf, strChinese, 3), LineTexts(textBlock.Get()));
    EXPECT_EQ(strChinese.size(), textBlock->GetLines().size());

    // Lines longer than the widths measured at once from a line's start (64
    // characters).
    std::wstring strLong;
    for (int i = 0; i < 8; ++i)
        strLong += strChinese;
    Ptr<CXTPMarkupTextBlock> longBlock = NewTextBlock(strLong);
    SetEnum(longBlock.Get(), CXTPMarkupTextBlock::m_pTextWrappingProperty, xtpMarkupTextWrap);
    const int cxLong = TextWidth(lf, strLong.substr(0, 90));
    LayOut(longBlock.Get(), cxLong, kTall);
    ExpectFilledLines(longBlock.Get(), lf, strLong, cxLong);

    // Characters beyond the basic plane are two UTF-16 units each.
    const std::wstring strWide = L"\U00020000\U00020001a\U00020002\U0002000B\U00020010";
    Ptr<CXTPMarkupTextBlock> wide = NewTextBlock(strWide);
    SetEnum(wide.Get(), CXTPMarkupTextBlock::m_pTextWrappingProperty, xtpMarkupTextWrap);
    const int cxPair = TextWidth(lf, L"\U00020000");
    for (int cx : {3, cxPair, cxPair + cxPair / 2, 2 * cxPair + 1})
    {
        LayOut(wide.Get(), cx, kTall);
        const std::vector<std::wstring> lines = LineTexts(wide.Get());
        EXPECT_EQ(FillLines(lf, strWide, cx), lines) << cx;
        for (const std::wstring& strLine : lines)
        {
            ASSERT_FALSE(strLine.empty());
            EXPECT_FALSE(IS_LOW_SURROGATE(strLine.front())) << cx;
            EXPECT_FALSE(IS_HIGH_SURROGATE(strLine.back())) << cx;
        }
    }
}

TEST(TextLayoutTest, WrappingModesBreakAtBlanksAndDropBlanksAtTheStartOfLaterLines)
{
    Ptr<CXTPMarkupTextBlock> textBlock = NewTextBlock(L"  alpha beta gamma\n   delta");
    LayOut(textBlock.Get(), kUnbounded, kTall);
    const LOGFONTA lf = FontOf(FirstRun(textBlock.Get()));

    // Without wrapping only line feeds break, and the widest line is measured
    // even where it is wider than the room.
    LayOut(textBlock.Get(), 10, kTall);
    EXPECT_EQ((std::vector<std::wstring>{L"  alpha beta gamma", L"delta"}), LineTexts(textBlock.Get()));
    CXTPMarkupGdiPainter painter;
    textBlock->Measure(&painter, kUnbounded, kTall);
    EXPECT_EQ(TextWidth(lf, L"  alpha beta gamma"), textBlock->GetMeasuredSize().cx);

    // Words that do not fit go to the next line; a line feed ends the line,
    // and blanks after either are dropped, those of the first line kept.
    SetEnum(textBlock.Get(), CXTPMarkupTextBlock::m_pTextWrappingProperty, xtpMarkupTextWrap);
    LayOut(textBlock.Get(), TextWidth(lf, L"  alpha beta g"), kTall);
    EXPECT_EQ((std::vector<std::wstring>{L"  alpha beta", L"gamma", L"delta"}), LineTexts(textBlock.Get()));

    // A word wider than the line: cut by characters with "Wrap", left whole
    // and overflowing with "WrapWithOverflow".
    Ptr<CXTPMarkupTextBlock> longWord = NewTextBlock(L"ab abcdefghijkl ab");
    SetEnum(longWord.Get(), CXTPMarkupTextBlock::m_pTextWrappingProperty, xtpMarkupTextWrapWithOverflow);
    const int cxNarrow = TextWidth(lf, L"abcd");
    LayOut(longWord.Get(), cxNarrow, kTall);
    EXPECT_EQ((std::vector<std::wstring>{L"ab", L"abcdefghijkl", L"ab"}), LineTexts(longWord.Get()));
    EXPECT_GT(longWord->GetLines()[1].cx, cxNarrow);
    SetEnum(longWord.Get(), CXTPMarkupTextBlock::m_pTextWrappingProperty, xtpMarkupTextWrap);
    LayOut(longWord.Get(), cxNarrow, kTall);
    std::vector<std::wstring> expected = {L"ab"};
    for (const std::wstring& strPiece : FillLines(lf, L"abcdefghijkl", cxNarrow))
        expected.push_back(strPiece);
    if (TextWidth(lf, expected.back() + L" ab") <= cxNarrow)
        expected.back() += L" ab";
    else
        expected.push_back(L"ab");
    EXPECT_LE(5u, expected.size());
    EXPECT_EQ(expected, LineTexts(longWord.Get()));
}

TEST(TextLayoutTest, AWordSpreadOverSeveralRunsMovesToTheNextLineWhole)
{
    Ptr<CXTPMarkupFrameworkElement> root =
        Load("<TextBlock TextWrapping='Wrap'>first sec<Run FontWeight='Bold'>ond</Run><Italic>word</Italic> end"
             "</TextBlock>");
    ASSERT_TRUE(root);
    CXTPMarkupTextBlock* pTextBlock = MarkupCast<CXTPMarkupTextBlock>(root.Get());
    LayOut(pTextBlock, kUnbounded, kTall);
    ASSERT_EQ(std::vector<std::wstring>{L"first secondword end"}, LineTexts(pTextBlock));
    const LOGFONTA lf = FontOf(FirstRun(pTextBlock));

    // Room for "first sec" and more, not for the whole word after it.
    LayOut(pTextBlock, TextWidth(lf, L"first secondwo"), kTall);
    const std::vector<std::wstring> lines = LineTexts(pTextBlock);
    ASSERT_LE(2u, lines.size());
    EXPECT_EQ(L"first", lines[0]);
    EXPECT_EQ(L"secondword", lines[1].substr(0, 10));
}

TEST(TextLayoutTest, LineFeedsAndLineBreaksEndLinesWithTheHeightOfTheirFont)
{
    // An empty text block is one space high, plus its padding.
    Ptr<CXTPMarkupFrameworkElement> empty = Load("<TextBlock Padding='1,2,3,4'/>");
    ASSERT_TRUE(empty);
    LayOut(empty.Get(), 100, kTall);
    const std::vector<CXTPMarkupTextBlock::CLineInfo> emptyLines =
        MarkupCast<CXTPMarkupTextBlock>(empty.Get())->GetLines();
    ASSERT_EQ(1u, emptyLines.size());
    const CXTPMarkupRun* pSpace = MarkupCast<CXTPMarkupRun>(emptyLines[0].pieces[0].pInline);
    ASSERT_TRUE(pSpace);
    const int cySpace = SpaceHeight(FontOf(pSpace));
    EXPECT_EQ(4, empty->GetMeasuredSize().cx);
    EXPECT_EQ(cySpace + 6, empty->GetMeasuredSize().cy);

    // A line holding only a line feed is as high as a space of the line
    // break before it; only a line feed at the very start takes the text
    // block's own font.
    Ptr<CXTPMarkupFrameworkElement> root =
        Load("<TextBlock FontSize='40'><LineBreak FontSize='10'/><Run FontSize='10'>a</Run><LineBreak FontSize='12'/>"
             "<LineBreak FontSize='12'/><Run FontSize='10'>b</Run></TextBlock>");
    ASSERT_TRUE(root);
    CXTPMarkupTextBlock* pTextBlock = MarkupCast<CXTPMarkupTextBlock>(root.Get());
    LayOut(pTextBlock, 200, kTall);
    EXPECT_EQ((std::vector<std::wstring>{L"", L"a", L"", L"b"}), LineTexts(pTextBlock));
    const std::vector<CXTPMarkupTextBlock::CLineInfo> lines = pTextBlock->GetLines();
    LOGFONTA lf = FontOf(MarkupCast<CXTPMarkupRun>(lines[1].pieces[0].pInline));
    const int cySmall = SpaceHeight(lf);
    lf.lfHeight = -40;
    const int cyLarge = SpaceHeight(lf);
    lf.lfHeight = -12;
    const int cyMiddle = SpaceHeight(lf);
    ASSERT_LT(cySmall, cyMiddle);
    EXPECT_EQ(cyLarge, lines[0].cy);
    EXPECT_EQ(cySmall, lines[1].cy);
    EXPECT_EQ(cyMiddle, lines[2].cy);
    EXPECT_EQ(cyMiddle, lines[3].cy);
    EXPECT_EQ(cyLarge + cySmall + 2 * cyMiddle, pTextBlock->GetMeasuredSize().cy);
}

TEST(TextLayoutTest, TrimmingCutsTheLineWhereTextAndEllipsisFit)
{
    const std::wstring strText = L"alpha beta gamma delta";
    Ptr<CXTPMarkupTextBlock> textBlock = NewTextBlock(strText);
    LayOut(textBlock.Get(), kUnbounded, kTall);
    const LOGFONTA lf = FontOf(FirstRun(textBlock.Get()));
    const int cx = TextWidth(lf, L"alpha beta gam...");

    // A line that fits is left alone.
    SetEnum(textBlock.Get(), CXTPMarkupTextBlock::m_pTextTrimmingProperty, xtpMarkupTextTrimmingCharacterEllipsis);
    LayOut(textBlock.Get(), kUnbounded, kTall);
    EXPECT_EQ(std::vector<std::wstring>{strText}, LineTexts(textBlock.Get()));

    // By characters: the longest start that leaves room for the ellipsis.
    LayOut(textBlock.Get(), cx, kTall);
    std::vector<std::wstring> lines = LineTexts(textBlock.Get());
    ASSERT_EQ(1u, lines.size());
    ASSERT_GE(lines[0].size(), 3u);
    const std::wstring strKept = lines[0].substr(0, lines[0].size() - 3);
    EXPECT_EQ(L"...", lines[0].substr(strKept.size()));
    EXPECT_EQ(strText.substr(0, strKept.size()), strKept);
    EXPECT_LE(TextWidth(lf, strKept) + TextWidth(lf, L"..."), cx);
    EXPECT_GT(TextWidth(lf, strText.substr(0, strKept.size() + 1)) + TextWidth(lf, L"..."), cx);
    EXPECT_EQ(TextWidth(lf, strKept + L"..."), textBlock->GetLines()[0].cx);
    // The ellipsis is hit as the text block, the text as its run.
    const RECT rcEllipsis = textBlock->GetLines()[0].pieces.back().rc;
    EXPECT_EQ(textBlock.Get(), textBlock->HitTest(rcEllipsis.left + 1, rcEllipsis.top + 1));
    EXPECT_EQ(FirstRun(textBlock.Get()), textBlock->HitTest(1, rcEllipsis.top + 1));

    // By words: at the last blank that fits.
    SetEnum(textBlock.Get(), CXTPMarkupTextBlock::m_pTextTrimmingProperty, xtpMarkupTextTrimmingWordEllipsis);
    LayOut(textBlock.Get(), cx, kTall);
    EXPECT_EQ(std::vector<std::wstring>{L"alpha beta..."}, LineTexts(textBlock.Get()));

    // A later piece with no blank in the room is dropped whole.
    Ptr<CXTPMarkupFrameworkElement> root =
        Load("<TextBlock TextTrimming='WordEllipsis'>alpha <Bold>betagammadelta</Bold></TextBlock>");
    ASSERT_TRUE(root);
    LayOut(root.Get(), cx, kTall);
    EXPECT_EQ(std::vector<std::wstring>{L"alpha ..."}, LineTexts(MarkupCast<CXTPMarkupTextBlock>(root.Get())));
}

TEST(TextLayoutTest, AlignmentShiftsLinesAndJustifySpreadsWrappedLinesOnly)
{
    Ptr<CXTPMarkupTextBlock> textBlock = NewTextBlock(L"ab cd ef gh ij");
    LayOut(textBlock.Get(), kUnbounded, kTall);
    const LOGFONTA lf = FontOf(FirstRun(textBlock.Get()));
    const int cxLine = textBlock->GetLines()[0].cx;

    // A spare width of 5: "Center" shifts by 2.
    textBlock->SetValue(CXTPMarkupFrameworkElement::m_pWidthProperty, new CXTPMarkupInt(cxLine + 5));
    SetEnum(textBlock.Get(), CXTPMarkupTextBlock::m_pTextAlignmentProperty, xtpMarkupTextAlignmentCenter);
    LayOut(textBlock.Get(), cxLine + 5, kTall);
    EXPECT_EQ(2, textBlock->GetLines()[0].pieces[0].rc.left);
    // A line that does not wrap is not justified.
    SetEnum(textBlock.Get(), CXTPMarkupTextBlock::m_pTextAlignmentProperty, xtpMarkupTextAlignmentJustify);
    EXPECT_EQ(0, textBlock->GetLines()[0].pieces[0].rc.left);
    EXPECT_EQ(1u, textBlock->GetLines()[0].pieces.size());

    // Wrapped lines reach from edge to edge, word by word; the last line of
    // the paragraph stays left.
    const int cx = TextWidth(lf, L"ab cd ef g");
    textBlock->SetValue(CXTPMarkupFrameworkElement::m_pWidthProperty, new CXTPMarkupInt(cx));
    SetEnum(textBlock.Get(), CXTPMarkupTextBlock::m_pTextWrappingProperty, xtpMarkupTextWrap);
    LayOut(textBlock.Get(), cx, kTall);
    EXPECT_EQ((std::vector<std::wstring>{L"ab cd ef", L"gh ij"}), LineTexts(textBlock.Get()));
    const std::vector<CXTPMarkupTextBlock::CLineInfo> lines = textBlock->GetLines();
    ASSERT_EQ(3u, lines[0].pieces.size());
    EXPECT_EQ(0, lines[0].pieces.front().rc.left);
    EXPECT_EQ(cx, lines[0].pieces.back().rc.right);
    EXPECT_LT(lines[0].pieces[0].rc.right, lines[0].pieces[1].rc.left);
    EXPECT_EQ(0, lines[1].pieces.front().rc.left);
    EXPECT_EQ(lines[1].cx, lines[1].pieces.back().rc.right);
}

TEST(TextLayoutTest, RunsOfDifferentSizesShareTheBaselineUnlessTheyAlignOtherwise)
{
    Ptr<CXTPMarkupFrameworkElement> root = Load("<TextBlock><Run FontSize='30'>Ab</Run><Run FontSize='10'>cd</Run>"
                                                "<Run FontSize='10' BaselineAlignment='Top'>ef</Run></TextBlock>");
    ASSERT_TRUE(root);
    LayOut(root.Get(), 300, kTall);
    const CXTPMarkupTextBlock::CLineInfo line = MarkupCast<CXTPMarkupTextBlock>(root.Get())->GetLines()[0];
    ASSERT_EQ(3u, line.pieces.size());
    auto baseline = [](const CXTPMarkupTextBlock::CPieceInfo& piece)
    { return piece.rc.bottom - piece.pInline->GetDescent(); };
    EXPECT_EQ((RECT{0, 0, line.pieces[0].rc.right, line.cy}), line.pieces[0].rc);
    EXPECT_EQ(baseline(line.pieces[0]), baseline(line.pieces[1]));
    EXPECT_EQ(0, line.pieces[2].rc.top);
}

TEST(TextLayoutTest, ContentBecomesInlinesAndEmbeddedElementsTakeTheirPlaceInTheLine)
{
    Ptr<CXTPMarkupFrameworkElement> root = Load(
        "<TextBlock>a<TestBox Background='#FF0000' ContentWidth='10' ContentHeight='30'/>b <Bold>c</Bold></TextBlock>");
    ASSERT_TRUE(root);
    CXTPMarkupTextBlock* pTextBlock = MarkupCast<CXTPMarkupTextBlock>(root.Get());
    LayOut(pTextBlock, 300, kTall);
    EXPECT_EQ(std::vector<std::wstring>{L"a[]b c"}, LineTexts(pTextBlock));
    const std::vector<CXTPMarkupTextBlock::CLineInfo> lines = pTextBlock->GetLines();
    const CXTPMarkupInlineUIContainer* pContainer = MarkupCast<CXTPMarkupInlineUIContainer>(lines[0].pieces[1].pInline);
    ASSERT_TRUE(pContainer);
    CXTPMarkupUIElement* pBox = pContainer->GetChild();
    const RECT rc = lines[0].pieces[1].rc;
    EXPECT_EQ(lines[0].pieces[0].rc.right, rc.left);
    EXPECT_EQ((RECT{rc.left, rc.top, rc.left + 10, rc.top + 30}), rc);
    EXPECT_EQ(rc.left, pBox->GetOffset().x);
    EXPECT_EQ(rc.top, pBox->GetOffset().y);
    // The element stands on the baseline and makes the line as high as it.
    EXPECT_EQ(lines[0].cy, rc.bottom + lines[0].nMaxDescent);

    // Hits find the element, the run under the point, or the text block.
    EXPECT_EQ(pBox, root->HitTest(rc.left + 1, rc.top + 1));
    EXPECT_EQ(lines[0].pieces[0].pInline, root->HitTest(0, lines[0].pieces[0].rc.top));
    EXPECT_EQ(pTextBlock, root->HitTest(299, 0));

    // A change inside the content breaks the lines again.
    CXTPMarkupSpan* pBold = MarkupCast<CXTPMarkupSpan>(pTextBlock->GetInlines()->GetInline(3));
    ASSERT_TRUE(pBold);
    pBold->GetInlines()->GetInline(0)->SetValue(CXTPMarkupRun::m_pTextProperty, CXTPMarkupString::CreateValue(L"cd"));
    EXPECT_EQ(std::vector<std::wstring>{L"a[]b cd"}, LineTexts(pTextBlock));

    // "Text" replaces the content by one run.
    pTextBlock->SetValue(CXTPMarkupTextBlock::m_pTextProperty, CXTPMarkupString::CreateValue(L"new"));
    EXPECT_EQ(1, pTextBlock->GetInlines()->GetCount());
    EXPECT_EQ(std::vector<std::wstring>{L"new"}, LineTexts(pTextBlock));

    // Only inlines, text and elements become content.
    EXPECT_NE(std::string::npos,
              LoadError("<TextBlock><SolidColorBrush/></TextBlock>")
                  .find("'CXTPMarkupSolidColorBrush' object cannot be added to 'CXTPMarkupInlineCollection'. "
                        "Object cannot be converted to type 'CXTPMarkupInline'"));
    EXPECT_NE(std::string::npos, LoadError("<TextBlock><InlineUIContainer><Run/></InlineUIContainer></TextBlock>")
                                     .find("'CXTPMarkupRun' object cannot be added to 'CXTPMarkupInlineUIContainer'. "
                                           "Object cannot be converted to type 'CXTPMarkupUIElement'"));
}

} // namespace

TEST(TextLayoutTest, ANumberInTextWithoutBlanksIsNeverCutAndClosingMarksNeverStartALine)
{
    // A result message as the program shows it: the number a run of its own.
    CHostHolder host;
    const std::string strMarkup = "<TextBlock TextWrapping='Wrap'>" + Cp936(L"您的系统时间比标准时间慢了")
                                  + "<Run FontWeight='Bold'>1234567890.0017</Run>" + Cp936(L"秒！") + "</TextBlock>";
    Ptr<CXTPMarkupFrameworkElement> root = Load(strMarkup.c_str(), host.pHost);
    ASSERT_TRUE(root);
    auto* pTextBlock = MarkupCast<CXTPMarkupTextBlock>(root.Get());
    ASSERT_TRUE(pTextBlock);
    LayOut(pTextBlock, kUnbounded, kTall);
    const LOGFONTA lf = FontOf(FirstRun(pTextBlock));
    LOGFONTA lfBold = lf;
    lfBold.lfWeight = FW_BOLD;
    const int cxNumber = TextWidth(lfBold, L"1234567890.0017");

    // Every width from just wider than the number to the whole text on one line.
    for (int cx = cxNumber + 1; cx < TextWidth(lf, L"您的系统时间比标准时间慢了秒！") + cxNumber; cx += 3)
    {
        LayOut(pTextBlock, cx, kTall);
        const std::vector<std::wstring> lines = LineTexts(pTextBlock);
        int nWhole = 0;
        for (const std::wstring& strLine : lines)
        {
            nWhole += strLine.find(L"1234567890.0017") != std::wstring::npos;
            ASSERT_NE(strLine.front(), L'\xFF01') << cx; // "！"
        }
        ASSERT_EQ(nWhole, 1) << cx;
        for (const CXTPMarkupTextBlock::CLineInfo& line : pTextBlock->GetLines())
            ASSERT_LE(line.cx, cx) << cx;
    }

    // Narrower than the number itself, it is cut where it must.
    LayOut(pTextBlock, cxNumber / 2, kTall);
    for (const CXTPMarkupTextBlock::CLineInfo& line : pTextBlock->GetLines())
        EXPECT_LE(line.cx, cxNumber / 2);
}

TEST(LineBreakRules, IdeographsBreakAnywhereButNumbersWordsAndPunctuationHold)
{
    struct Case
    {
        WCHAR chBefore, chAfter;
        bool bBreak;
    };
    const Case cases[] = {
        {L'时', L'间', true},  {L'了', L'1', true},           {L'7', L'秒', true},       {L'，', L'所', true},
        {L'1', L'2', false},   {L'4', L'.', false},           {L'.', L'5', false},       {L'a', L'b', false},
        {L'秒', L'！', false}, {L'败', L'\x3002', false},     {L'\xFF08', L'注', false}, {L'a', L' ', false},
        {L'：', L'“', true},   {L'“', L'你', false},          {L'a', L'（', true},       {L'f', L'(', false},
        {L')', L'a', false},   {L'\xD840', L'\xDC00', false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(XTPMarkupCanBreakBetween(c.chBefore, c.chAfter), c.bBreak)
            << int(c.chBefore) << " " << int(c.chAfter);
}
