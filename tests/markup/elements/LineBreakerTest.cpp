// The line breaker on its own, over leaves of fixed-width characters.
#include "markup/elements/LineBreaker.h"

#include "markup/model/Converter.h"

#include "toolkit/CodePage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

namespace
{
constexpr int kEnd = CXTPMarkupLineBreaker::kEnd;
constexpr int kCharWidth = 10;
constexpr int kHeight = 16;

// Cells a character takes: two for ideographs, full-width forms and the curly
// quotes Chinese fonts draw full-width, one for the rest.
int Cells(WCHAR ch)
{
    return ch >= 0x2E80 || (ch >= 0x2018 && ch <= 0x201D) ? 2 : 1;
}

// Every cell is kCharWidth wide; own leaves are added at the end.
class CFixedWidthText : public CXTPMarkupLineBreaker::CText
{
public:
    explicit CFixedWidthText(std::vector<std::wstring> leaves)
        : m_leaves(std::move(leaves)), m_nContent(m_leaves.size())
    {
    }

    int GetLeafCount() const override { return static_cast<int>(m_nContent); }
    void BeginLeaf(int) override {}
    int GetTextStart(int nLeaf) const override { return m_leaves[nLeaf].empty() ? kEnd : 0; }
    int Advance(int nLeaf, int nPos) const override
    {
        return nPos + 1 < static_cast<int>(m_leaves[nLeaf].size()) ? nPos + 1 : kEnd;
    }
    BOOL IsWhiteSpaceAt(int nLeaf, int nPos) const override { return wcschr(L" \t\n", At(nLeaf, nPos)) != nullptr; }
    BOOL IsSpaceAt(int nLeaf, int nPos) const override { return At(nLeaf, nPos) == L' '; }
    BOOL IsLineBreakAt(int nLeaf, int nPos) const override { return At(nLeaf, nPos) == L'\n'; }
    SIZE MeasureRange(int nLeaf, int nStart, int nEnd) override
    {
        int nCells = 0;
        for (int nPos = nStart; nPos < End(nLeaf, nEnd); ++nPos)
            nCells += Cells(At(nLeaf, nPos));
        return {kCharWidth * nCells, kHeight};
    }
    SIZE MeasureRangeUpTo(int nLeaf, int nStart, int nEnd, int) override { return MeasureRange(nLeaf, nStart, nEnd); }
    int FitRange(int nLeaf, int nStart, int nEnd, int nMaxExtent) override
    {
        int nFit = nStart;
        while (nFit < End(nLeaf, nEnd) && MeasureRange(nLeaf, nStart, nFit + 1).cx <= nMaxExtent)
            ++nFit;
        return nFit >= static_cast<int>(m_leaves[nLeaf].size()) ? kEnd : nFit;
    }
    WCHAR CharAt(int nLeaf, int nPos) const override { return At(nLeaf, nPos); }
    int GetDescent(int) const override { return 3; }
    int AddOwnLeaf(LPCWSTR lpszText) override
    {
        m_leaves.push_back(lpszText);
        return static_cast<int>(m_leaves.size()) - 1;
    }

    // The lines as text, pieces separated by '|', an empty piece as '_'.
    std::vector<std::wstring> Dump(const CXTPMarkupLineBreaker::CResult& result) const
    {
        std::vector<std::wstring> lines;
        for (const CXTPMarkupLineBreaker::CLine& line : result.lines)
        {
            std::wstring text;
            for (size_t i = line.nFirst; i < line.nFirst + line.nCount; ++i)
            {
                const CXTPMarkupLineBreaker::CPiece& piece = result.pieces[i];
                if (i > line.nFirst)
                    text += L'|';
                if (piece.IsEmpty())
                    text += L'_';
                else
                    text += m_leaves[piece.nLeaf].substr(piece.nStart, End(piece.nLeaf, piece.nEnd) - piece.nStart);
            }
            lines.push_back(text);
        }
        return lines;
    }

private:
    WCHAR At(int nLeaf, int nPos) const { return nPos == kEnd ? 0 : m_leaves[nLeaf][nPos]; }
    int End(int nLeaf, int nEnd) const { return nEnd == kEnd ? static_cast<int>(m_leaves[nLeaf].size()) : nEnd; }

    std::vector<std::wstring> m_leaves;
    size_t m_nContent;
};

struct BreakCase
{
    const char* name;
    std::vector<std::wstring> leaves;
    int nWidth;
    int nWrapping;
    int nTrimming;
    std::vector<std::wstring> lines;
};

const BreakCase kBreakCases[] = {
    {"no wrap keeps one line", {L"one two three"}, 50, xtpMarkupTextNoWrap, 0, {L"one two three"}},
    {"words move whole", {L"one two three"}, 80, xtpMarkupTextWrap, 0, {L"one two", L"three"}},
    {"blanks leave the next line", {L"ab    cd"}, 30, xtpMarkupTextWrap, 0, {L"ab ", L"cd"}},
    {"long word is cut", {L"abcdefgh"}, 30, xtpMarkupTextWrap, 0, {L"abc", L"def", L"gh"}},
    {"word over two leaves stays together", {L"xx ab", L"cd"}, 50, xtpMarkupTextWrap, 0, {L"xx", L"ab|cd"}},
    {"line feed ends a line", {L"ab\ncd"}, 200, xtpMarkupTextNoWrap, 0, {L"ab", L"cd"}},
    {"empty line has a space", {L"a\n\nb"}, 200, xtpMarkupTextNoWrap, 0, {L"a", L"_", L"b"}},
    {"no leaves still make a line", {}, 100, xtpMarkupTextNoWrap, 0, {L"_"}},
    {"character ellipsis",
     {L"abcdefgh"},
     60,
     xtpMarkupTextNoWrap,
     xtpMarkupTextTrimmingCharacterEllipsis,
     {L"abc|..."}},
    {"word ellipsis", {L"ab cdefgh"}, 70, xtpMarkupTextNoWrap, xtpMarkupTextTrimmingWordEllipsis, {L"ab|..."}},
    {"fitting line is not trimmed",
     {L"abc"},
     30,
     xtpMarkupTextNoWrap,
     xtpMarkupTextTrimmingCharacterEllipsis,
     {L"abc"}},
};

class LineBreakerTest : public testing::TestWithParam<BreakCase>
{
};

TEST_P(LineBreakerTest, BreaksAsExpected)
{
    const BreakCase& c = GetParam();
    CFixedWidthText text(c.leaves);
    CXTPMarkupLineBreaker::COptions options;
    options.nWidth = c.nWidth;
    options.nWrapping = c.nWrapping;
    options.nTrimming = c.nTrimming;
    const CXTPMarkupLineBreaker::CResult result = CXTPMarkupLineBreaker(text, options).Break();
    EXPECT_EQ(c.lines, text.Dump(result));
    EXPECT_EQ(kHeight * static_cast<int>(result.lines.size()), result.nHeight);
}

// Chinese and Latin text in one leaf, from a table of input, width in cells
// and expected lines; a line's pieces are compared as one text, blanks that
// end it aside.
TEST(LineBreakerChineseTest, BreaksAsTheTableSays)
{
    std::ifstream file(HORALEON_SOURCE_DIR "/tests/data/linebreak/chinese.tsv", std::ios::binary);
    ASSERT_TRUE(file.is_open());
    int nCases = 0;
    for (std::string strLine; std::getline(file, strLine);)
    {
        if (strLine.empty() || strLine[0] == '#' || strLine.compare(0, 3, "\xEF\xBB\xBF") == 0)
            continue;
        const std::wstring strFields = XTPToWide(strLine.c_str(), static_cast<int>(strLine.size()), CP_UTF8);
        const size_t nTab1 = strFields.find(L'\t'), nTab2 = strFields.find(L'\t', nTab1 + 1);
        ASSERT_NE(nTab2, std::wstring::npos) << strLine;
        const std::wstring strInput = strFields.substr(0, nTab1);
        const int nCells = std::stoi(strFields.substr(nTab1 + 1, nTab2 - nTab1 - 1));
        std::vector<std::wstring> expected;
        for (size_t nStart = nTab2 + 1;;)
        {
            const size_t nBar = strFields.find(L'|', nStart);
            expected.push_back(strFields.substr(nStart, nBar == std::wstring::npos ? nBar : nBar - nStart));
            if (nBar == std::wstring::npos)
                break;
            nStart = nBar + 1;
        }

        CFixedWidthText text({strInput});
        CXTPMarkupLineBreaker::COptions options;
        options.nWidth = nCells * kCharWidth;
        options.nWrapping = xtpMarkupTextWrap;
        std::vector<std::wstring> lines = text.Dump(CXTPMarkupLineBreaker(text, options).Break());
        for (std::wstring& strText : lines)
        {
            strText.erase(std::remove(strText.begin(), strText.end(), L'|'), strText.end());
            strText.erase(strText.find_last_not_of(L' ') + 1);
        }
        EXPECT_EQ(expected, lines) << strLine;
        ++nCases;
    }
    EXPECT_EQ(nCases, 18) << "cases read";
}

INSTANTIATE_TEST_SUITE_P(Table, LineBreakerTest, testing::ValuesIn(kBreakCases),
                         [](const testing::TestParamInfo<BreakCase>& info)
                         {
                             std::string name;
                             for (const char* p = info.param.name; *p; ++p)
                                 name += isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             return name;
                         });
} // namespace
