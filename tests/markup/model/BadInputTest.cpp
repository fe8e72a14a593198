// Every text form on hostile input: it answers or refuses, and never reads a
// character past the text it was given.
#include "markup/model/Brush.h"
#include "markup/model/Color.h"
#include "markup/model/Converter.h"
#include "markup/model/Numbers.h"
#include "markup/model/Point.h"
#include "markup/model/String.h"
#include "markup/model/SystemColors.h"
#include "markup/model/Thickness.h"
#include "markup/model/Type.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

namespace
{
// Places a text at the very end of readable memory, without a terminator, so
// that reading one character too far faults at once.
class CGuardedText
{
public:
    explicit CGuardedText(const std::wstring& strText)
    {
        SYSTEM_INFO si;
        GetSystemInfo(&si);
        size_t nBytes = (strText.size() * sizeof(WCHAR) + si.dwPageSize - 1) / si.dwPageSize * si.dwPageSize;
        if (nBytes == 0)
            nBytes = si.dwPageSize;
        m_pBase =
            static_cast<BYTE*>(VirtualAlloc(nullptr, nBytes + si.dwPageSize, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD dwOld;
        VirtualProtect(m_pBase + nBytes, si.dwPageSize, PAGE_NOACCESS, &dwOld);
        m_pText = reinterpret_cast<WCHAR*>(m_pBase + nBytes) - strText.size();
        if (!strText.empty())
            memcpy(m_pText, strText.data(), strText.size() * sizeof(WCHAR));
        m_nLength = static_cast<int>(strText.size());
    }
    CGuardedText(const CGuardedText&) = delete;
    CGuardedText& operator=(const CGuardedText&) = delete;
    ~CGuardedText() { VirtualFree(m_pBase, 0, MEM_RELEASE); }

    LPCWSTR Text() const { return m_pText; }
    int Length() const { return m_nLength; }

private:
    BYTE* m_pBase;
    WCHAR* m_pText;
    int m_nLength;
};

std::vector<std::wstring> HostileTexts()
{
    std::vector<std::wstring> texts = {
        L"",
        L" ",
        L"#",
        L"-",
        L"+",
        L".",
        L",",
        L"0x",
        L"0X",
        L"#0x1234",
        L"#+1+2+3",
        L"# 1 2 3",
        L"\x4E2D\x6587",
        L"\xFF11\xFF12",
        L"12\x4E2D",
        L"\xD800",
        L"\xDFFF\xD800",
        L"Red\x0301",
        std::wstring(L"1\0"
                     L"2,3,4",
                     7),
        std::wstring(L"#FF\0"
                     L"000",
                     7),
        std::wstring(1, L'\0'),
        L"SystemColors.",
        L"SystemColors.XXXXXXXColor",
        L"1,2,3,",
        L"0x,0x,0x,0x",
        L"-0x80000000,0,0,0",
    };
    for (const wchar_t* pszUnit : {L"9", L"#", L",", L" ", L".", L"-", L"a", L"\x4E2D", L"0x"})
    {
        std::wstring strLong;
        while (strLong.size() < 100000)
            strLong += pszUnit;
        texts.push_back(strLong);
        texts.push_back(L"1" + strLong + L"pt");
    }
    return texts;
}

TEST(BadInputTest, RawTextReadersStayInsideTheirText)
{
    for (const std::wstring& strText : HostileTexts())
    {
        CGuardedText text(strText);
        LPCWSTR p = text.Text();
        int n = text.Length();
        COLORREF clr;
        double x, y;
        int l, t, r, b;
        CXTPMarkupInt::ReadText(p, n);
        CXTPMarkupDouble::ReadText(p, n, x);
        CXTPMarkupColor::ParseColorText(p, n, clr);
        CXTPMarkupColor::LookupNamedColor(p, n, clr);
        CXTPMarkupThickness::ReadText(p, n, l, t, r, b);
        CXTPMarkupPoint::ReadText(p, n, x, y);
        CXTPMarkupConverter::ReadLength(p, n);
        CXTPMarkupSystemColors::FindColorIndex(p, n);
    }
}

TEST(BadInputTest, EveryParserAnswersOrRefusesAnyText)
{
    const PFNCONVERTPROPERTYVALUE kParsers[] = {
        &CXTPMarkupConverter::ConvertVisibility,
        &CXTPMarkupConverter::ConvertHorizontalAlignment,
        &CXTPMarkupConverter::ConvertVerticalAlignment,
        &CXTPMarkupConverter::ConvertTextWrapping,
        &CXTPMarkupConverter::ConvertTextTrimming,
        &CXTPMarkupConverter::ConvertTextAlignment,
        &CXTPMarkupConverter::ConvertOrientation,
        &CXTPMarkupConverter::ConvertBaselineAlignment,
        &CXTPMarkupConverter::ConvertFontWeight,
        &CXTPMarkupConverter::ConvertFontStyle,
        &CXTPMarkupConverter::ConvertTextDecorations,
        &CXTPMarkupConverter::ConvertFontQuality,
        &CXTPMarkupConverter::ConvertScrollBarVisibility,
        &CXTPMarkupConverter::ConvertStretch,
        &CXTPMarkupConverter::ConvertTabNavigation,
        &CXTPMarkupConverter::ConvertCursor,
        &CXTPMarkupConverter::ConvertLength,
    };
    CXTPMarkupType* const kTypes[] = {
        MARKUP_TYPE(CXTPMarkupInt),   MARKUP_TYPE(CXTPMarkupDouble),    MARKUP_TYPE(CXTPMarkupBool),
        MARKUP_TYPE(CXTPMarkupColor), MARKUP_TYPE(CXTPMarkupThickness), MARKUP_TYPE(CXTPMarkupPoint),
        MARKUP_TYPE(CXTPMarkupBrush), MARKUP_TYPE(CXTPMarkupType),      MARKUP_TYPE(CXTPMarkupString),
    };

    CXTPMarkupPtr<CXTPMarkupObject> notText(new CXTPMarkupInt(1));
    for (PFNCONVERTPROPERTYVALUE pfnParse : kParsers)
    {
        EXPECT_EQ(nullptr, pfnParse(nullptr, nullptr));
        EXPECT_EQ(nullptr, pfnParse(nullptr, notText.Get()));
    }
    for (CXTPMarkupType* pType : kTypes)
    {
        CXTPMarkupPtr<CXTPMarkupObject> prototype(CXTPMarkupType::CreateObject(nullptr, pType));
        EXPECT_EQ(nullptr, prototype->ParseValue(nullptr));
        EXPECT_EQ(nullptr, prototype->ParseValue(notText.Get()));
    }

    for (const std::wstring& strText : HostileTexts())
    {
        CXTPMarkupPtr<CXTPMarkupString> text(
            CXTPMarkupString::CreateValue(strText.c_str(), static_cast<int>(strText.size())));
        for (PFNCONVERTPROPERTYVALUE pfnParse : kParsers)
            CXTPMarkupPtr<CXTPMarkupObject>(pfnParse(nullptr, text.Get()));
        for (CXTPMarkupType* pType : kTypes)
        {
            CXTPMarkupPtr<CXTPMarkupObject> prototype(CXTPMarkupType::CreateObject(nullptr, pType));
            CXTPMarkupPtr<CXTPMarkupObject>(prototype->ParseValue(text.Get()));
        }
    }
}

TEST(BadInputTest, LongTextsGiveSaturatedOrRefusedResults)
{
    std::wstring strDigits(100000, L'9');
    EXPECT_EQ(INT_MAX, CXTPMarkupInt::ReadText(strDigits.c_str(), 100000));
    EXPECT_EQ(INT_MAX, CXTPMarkupConverter::ReadLength(strDigits.c_str(), 100000));
    double d;
    EXPECT_FALSE(CXTPMarkupDouble::ReadText(strDigits.c_str(), 100000, d)); // beyond any double
    std::wstring strFraction = L"0." + strDigits;
    EXPECT_TRUE(CXTPMarkupDouble::ReadText(strFraction.c_str(), static_cast<int>(strFraction.size()), d));
    EXPECT_NEAR(1.0, d, 1e-9);

    std::wstring strSides =
        L"-" + strDigits + L"," + strDigits + L",0x" + strDigits + L",0" + std::wstring(99999, L'7');
    int l, t, r, b;
    ASSERT_TRUE(CXTPMarkupThickness::ReadText(strSides.c_str(), static_cast<int>(strSides.size()), l, t, r, b));
    EXPECT_EQ(INT_MIN, l);
    EXPECT_EQ(INT_MAX, t);
    EXPECT_EQ(INT_MAX, r);
    EXPECT_EQ(INT_MAX, b);

    COLORREF clr;
    std::wstring strName(100000, L'A');
    EXPECT_FALSE(CXTPMarkupColor::ParseColorText(strName.c_str(), 100000, clr));
    EXPECT_EQ(-1, CXTPMarkupSystemColors::FindColorIndex(strName.c_str(), 100000));
}
} // namespace
