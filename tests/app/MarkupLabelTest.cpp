#include "app/DialogMarkup.h"
#include "app/MarkupLabel.h"
#include "app/MarkupPlainText.h"
#include "markup/elements/Run.h"
#include "markup/elements/TextBlock.h"
#include "markup/host/Host.h"
#include "support/DialogTexts.h"
#include "support/DibCanvas.h"
#include "support/TestWindow.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace
{
// A label over a static control in a window of its own, shown without being
// activated (a window that was active takes seconds to go under Wine).
class MarkupLabelTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_hFrame = CreateTestWindow("HoraleonMarkupLabelTest", DefWindowProcA, 0, 0, 600, 60, nullptr);
        HWND hStatic =
            CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 600, 60, m_hFrame, NULL, NULL, NULL);
        ASSERT_TRUE(m_label.SubclassWindow(hStatic));
    }

    void TearDown() override { DestroyWindow(m_hFrame); }

    std::unique_ptr<CDibCanvas> Painted()
    {
        RedrawWindow(m_label, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
        return CDibCanvas::FromScreen(m_label);
    }

    static int CountRed(const CDibCanvas& canvas)
    {
        int nRed = 0;
        for (int y = 0; y < canvas.Height(); ++y)
        {
            for (int x = 0; x < canvas.Width(); ++x)
            {
                const COLORREF clr = canvas.Color(x, y);
                nRed += GetRValue(clr) > 180 && GetGValue(clr) < 90 && GetBValue(clr) < 90;
            }
        }
        return nRed;
    }

    // Every pixel of the label in the button face colour.
    static bool AllFace(const CDibCanvas& canvas)
    {
        const RECT rc = {0, 0, canvas.Width(), canvas.Height()};
        return canvas.Count(GetSysColor(COLOR_BTNFACE), rc) == canvas.Width() * canvas.Height();
    }

    HWND m_hFrame = NULL;
    CMarkupLabel m_label;
};

} // namespace

TEST_F(MarkupLabelTest, WithoutMarkupPaintsOnlyTheButtonFace)
{
    EXPECT_TRUE(AllFace(*Painted()));

    // Markup that does not parse leaves the label as it was without any.
    m_label.SetMarkupText("<StackPanel><TextBlock>");
    EXPECT_EQ(m_label.GetRoot(), nullptr);
    EXPECT_TRUE(AllFace(*Painted()));
}

// The program's texts are code page 936 whatever the system's code page is;
// this also runs where the ANSI code page is a Western one.
TEST_F(MarkupLabelTest, ShowsTheResultWithItsOffsetInRed)
{
    const std::string strMarkup = SampleResultPanelMarkup();
    m_label.SetMarkupText(strMarkup.c_str());
    ASSERT_NE(m_label.GetRoot(), nullptr) << m_label.GetMarkupContext()->GetParseError();
    EXPECT_GT(CountRed(*Painted()), 20);

    // The tree holds the Chinese text, not the bytes read in another code page.
    const auto* pTextBlock = MarkupCast<CXTPMarkupTextBlock>(m_label.GetRoot()->GetChild(1));
    ASSERT_NE(pTextBlock, nullptr);
    const auto* pRun = MarkupCast<CXTPMarkupRun>(pTextBlock->GetInlines()->GetItem(0));
    ASSERT_NE(pRun, nullptr);
    EXPECT_EQ(std::wstring(pRun->GetText()), L"已经成功校时！您的系统时间比标准时间快了");

    // Readers get the text the label shows, without its markup.
    EXPECT_EQ(m_label.GetWindowText(), L"已经成功校时！您的系统时间比标准时间快了0.1234秒！");
}

TEST(MarkupLabelText, PlainTextDropsTagsAndDecodesEntitiesWithEachTextBlockOnALine)
{
    const struct
    {
        const wchar_t* pszMarkup;
        const wchar_t* pszText;
    } cases[] = {
        {L"<TextBlock>a &lt;b&gt; &amp; <Run>c</Run>&quot;&apos;</TextBlock>", L"a <b> & c\"'"},
        {L"x &unknown; y", L"x &unknown; y"},
        {L"cut <TextBlock", L"cut "},
        // The information panel: heading and sentence apart, no empty lines.
        {L"<StackPanel><StackPanel><Image/><TextBlock>head</TextBlock></StackPanel><StackPanel>"
         L"<TextBlock>one <Run>two</Run></TextBlock></StackPanel></StackPanel>",
         L"head\r\none two"},
        {L"<TextBlock>a<LineBreak/>b</TextBlock><TextBlock/><TextBlock>c</TextBlock>", L"a\r\nb\r\nc"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MarkupPlainText(c.pszMarkup), c.pszText) << c.pszMarkup;
}

TEST_F(MarkupLabelTest, ReplacesItsTreeWithEveryTextShownOnlyWhenTheLabelPaintsIt)
{
    // The stock static would paint the plain text straight to the screen on
    // WM_SETTEXT: until the label's own paint, the old picture stays.
    m_label.SetMarkupText(SampleResultPanelMarkup().c_str());
    const std::unique_ptr<CDibCanvas> before = Painted();
    ASSERT_GT(CountRed(*before), 20);
    m_label.SetMarkupText(kInfoMarkup);
    ASSERT_NE(m_label.GetRoot(), nullptr);
    const std::unique_ptr<CDibCanvas> during = CDibCanvas::FromScreen(m_label);
    EXPECT_TRUE(before->SameAs(*during));
    const std::unique_ptr<CDibCanvas> after = Painted();
    EXPECT_FALSE(before->SameAs(*after));
    EXPECT_EQ(CountRed(*after), 0);
    EXPECT_EQ(m_label.GetWindowText().substr(0, 4), L"使用说明");

    m_label.SetMarkupText("");
    EXPECT_EQ(m_label.GetRoot(), nullptr);
    EXPECT_EQ(m_label.GetWindowText(), L"");
}

TEST_F(MarkupLabelTest, ATenDigitResultFitsTheRoomAboveTheSeparatorAtEveryDpi)
{
    // The result panel is 458 pixels wide at 96 DPI with 42 down to the
    // separator line; both scale with the dialog.
    const std::string strMessage = std::string(kSampleResultMessage)
                                       .replace(std::string(kSampleResultMessage).find("0.1234"), 6, "9999999999.9999");
    for (int nDpi : {96, 120, 144, 192})
    {
        m_label.SetDpi(nDpi);
        m_label.SetMarkupText(ResultPanelMarkup(strMessage.c_str()).c_str());
        EXPECT_EQ(m_label.GetDpi(), 96) << "a new text reads the window's own DPI";
        m_label.SetDpi(nDpi);
        ASSERT_NE(m_label.GetRoot(), nullptr);
        const int cx = MulDiv(458, nDpi, 96);
        const SIZE size = m_label.MeasureMarkup(cx);
        EXPECT_LE(size.cx, cx) << nDpi;
        EXPECT_LE(size.cy, MulDiv(42, nDpi, 96)) << nDpi;

        // The number on one line, the text's end (its "！") within the width.
        const auto* pTextBlock = MarkupCast<CXTPMarkupTextBlock>(m_label.GetRoot()->GetChild(1));
        ASSERT_NE(pTextBlock, nullptr);
        const std::vector<CXTPMarkupTextBlock::CLineInfo> lines = pTextBlock->GetLines();
        ASSERT_GE(lines.size(), 2u) << nDpi;
        int nNumberPieces = 0;
        for (const CXTPMarkupTextBlock::CLineInfo& line : lines)
        {
            for (const CXTPMarkupTextBlock::CPieceInfo& piece : line.pieces)
                nNumberPieces +=
                    MarkupCast<CXTPMarkupRun>(piece.pInline)
                    && std::wstring(MarkupCast<CXTPMarkupRun>(piece.pInline)->GetText()) == L"9999999999.9999";
        }
        EXPECT_EQ(nNumberPieces, 1) << nDpi;
        // Beside the picture and its padding, 29 pixels at 96 DPI.
        for (const CXTPMarkupTextBlock::CLineInfo& line : lines)
            EXPECT_LE(line.cx, cx - MulDiv(29, nDpi, 96)) << nDpi;
    }
}

namespace
{
// Button face and text colours set for the session while it lives, and put
// back after.
class CSchemeColors
{
public:
    CSchemeColors(COLORREF clrFace, COLORREF clrText)
        : m_saved{::GetSysColor(COLOR_BTNFACE), ::GetSysColor(COLOR_BTNTEXT)}
    {
        const COLORREF colors[] = {clrFace, clrText};
        ::SetSysColors(2, kElements, colors);
    }
    ~CSchemeColors() { ::SetSysColors(2, kElements, m_saved); }

private:
    static constexpr INT kElements[2] = {COLOR_BTNFACE, COLOR_BTNTEXT};
    COLORREF m_saved[2];
};
} // namespace

TEST_F(MarkupLabelTest, TextTakesTheSchemesButtonTextColourAndTheOffsetStaysRed)
{
    m_label.SetMarkupText(SampleResultPanelMarkup().c_str());
    ASSERT_GT(CountRed(*Painted()), 20);
    const CSchemeColors dark(RGB(32, 32, 32), RGB(235, 235, 235));
    ::SendMessageW(m_label, WM_SYSCOLORCHANGE, 0, 0);
    const std::unique_ptr<CDibCanvas> canvas = Painted();
    const RECT rc = {0, 0, canvas->Width(), canvas->Height()};
    EXPECT_GT(canvas->Count(RGB(235, 235, 235), rc), 40) << "no text in the scheme's colour";
    EXPECT_EQ(canvas->Count(RGB(0, 0, 0), rc), 0) << "black text on the dark face";
    EXPECT_GT(CountRed(*canvas), 20);
}
