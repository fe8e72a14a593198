// Value classes: what each text form accepts and rejects, equality, hashing,
// shared instances, system colours and the builder's message formatting.
#include "support/MarkupValues.h"

#include "markup/model/Brush.h"
#include "markup/model/BuilderException.h"
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
#include <string>

namespace
{
template <class T> using Ptr = CXTPMarkupPtr<T>;

// ParseValue of a fresh prototype of T, as the builder converts.
template <class T> Ptr<CXTPMarkupObject> Parse(LPCWSTR lpszText)
{
    Ptr<CXTPMarkupObject> prototype(CXTPMarkupType::CreateObject(nullptr, MARKUP_TYPE(T)));
    Ptr<CXTPMarkupString> text(CXTPMarkupString::CreateValue(lpszText));
    return Ptr<CXTPMarkupObject>(prototype->ParseValue(text.Get()));
}

Ptr<CXTPMarkupObject> Convert(PFNCONVERTPROPERTYVALUE pfnConvert, LPCWSTR lpszText)
{
    Ptr<CXTPMarkupString> text(CXTPMarkupString::CreateValue(lpszText));
    return Ptr<CXTPMarkupObject>(pfnConvert(nullptr, text.Get()));
}

int ReadInt(LPCWSTR lpszText)
{
    Ptr<CXTPMarkupObject> value = Parse<CXTPMarkupInt>(lpszText);
    return *MarkupCast<CXTPMarkupInt>(value.Get());
}

// The double as text, or "fails".
std::string ReadDouble(LPCWSTR lpszText)
{
    Ptr<CXTPMarkupObject> value = Parse<CXTPMarkupDouble>(lpszText);
    return value ? std::to_string(static_cast<double>(*MarkupCast<CXTPMarkupDouble>(value.Get()))) : "fails";
}

// The colour as "r,g,b", or "fails".
std::string ReadColor(LPCWSTR lpszText)
{
    Ptr<CXTPMarkupObject> value = Parse<CXTPMarkupColor>(lpszText);
    if (!value)
        return "fails";
    COLORREF clr = MarkupCast<CXTPMarkupColor>(value.Get())->GetColor();
    return std::to_string(GetRValue(clr)) + "," + std::to_string(GetGValue(clr)) + "," + std::to_string(GetBValue(clr));
}

std::string ReadThickness(LPCWSTR lpszText)
{
    Ptr<CXTPMarkupObject> value = Parse<CXTPMarkupThickness>(lpszText);
    if (!value)
        return "fails";
    const CXTPMarkupThickness* p = MarkupCast<CXTPMarkupThickness>(value.Get());
    return std::to_string(p->GetLeft()) + "," + std::to_string(p->GetTop()) + "," + std::to_string(p->GetRight()) + ","
           + std::to_string(p->GetBottom());
}

std::string ReadPoint(LPCWSTR lpszText)
{
    Ptr<CXTPMarkupObject> value = Parse<CXTPMarkupPoint>(lpszText);
    if (!value)
        return "fails";
    const CXTPMarkupPoint* p = MarkupCast<CXTPMarkupPoint>(value.Get());
    return std::to_string(p->GetX()) + " " + std::to_string(p->GetY());
}

int EnumOf(const Ptr<CXTPMarkupObject>& value)
{
    const CXTPMarkupEnum* pEnum = MarkupCast<CXTPMarkupEnum>(value.Get());
    return pEnum ? static_cast<int>(*pEnum) : -1;
}

int IntOf(const Ptr<CXTPMarkupObject>& value)
{
    return IntOf(value.Get());
}

TEST(TextFormTest, IntegersFollowAtolAndSaturate)
{
    EXPECT_EQ(12, ReadInt(L"12px"));
    EXPECT_EQ(0, ReadInt(L"abc"));
    EXPECT_EQ(0, ReadInt(L""));
    EXPECT_EQ(-7, ReadInt(L" \t-7"));
    EXPECT_EQ(5, ReadInt(L"+5"));
    EXPECT_EQ(0, ReadInt(L"+-5"));
    EXPECT_EQ(10, ReadInt(L"010"));
    EXPECT_EQ(INT_MAX, ReadInt(L"2147483647"));
    EXPECT_EQ(INT_MAX, ReadInt(L"2147483648"));
    EXPECT_EQ(INT_MIN, ReadInt(L"-2147483648"));
    EXPECT_EQ(INT_MIN, ReadInt(L"-99999999999999999999"));
}

TEST(TextFormTest, DoublesUseTheirOwnReader)
{
    EXPECT_EQ("1.500000", ReadDouble(L"1.5"));
    EXPECT_EQ("-0.250000", ReadDouble(L"-.25"));
    EXPECT_EQ("0.500000", ReadDouble(L".5"));
    EXPECT_EQ("2.000000", ReadDouble(L" 2 "));
    EXPECT_EQ("5.000000", ReadDouble(L"+5."));
    for (LPCWSTR lpszBad : {L"1e3", L"1,5", L".", L"", L"-", L"1.2.3", L"1 2", L"\t1", L"0x10", L"1.5f"})
        EXPECT_EQ("fails", ReadDouble(lpszBad)) << lpszBad;
}

TEST(TextFormTest, BooleansAreTrueOrFalseInAnyCaseAndShared)
{
    Ptr<CXTPMarkupObject> yes = Parse<CXTPMarkupBool>(L"TRUE");
    Ptr<CXTPMarkupObject> no = Parse<CXTPMarkupBool>(L"false");
    Ptr<CXTPMarkupBool> shared(CXTPMarkupBool::CreateTrueValue());
    EXPECT_EQ(shared.Get(), yes.Get());
    ASSERT_NE(nullptr, no.Get());
    EXPECT_FALSE(*MarkupCast<CXTPMarkupBool>(no.Get()));
    for (LPCWSTR lpszBad : {L"yes", L"1", L"", L"True ", L"Tru"})
        EXPECT_EQ(nullptr, Parse<CXTPMarkupBool>(lpszBad).Get()) << lpszBad;
}

TEST(TextFormTest, ColoursReadBothHashFormsAndTheNames)
{
    EXPECT_EQ("255,0,0", ReadColor(L"#FF0000"));
    EXPECT_EQ("255,0,0", ReadColor(L"#80FF0000")); // alpha dropped
    EXPECT_EQ("18,52,86", ReadColor(L"#123456"));
    EXPECT_EQ("255,0,0", ReadColor(L"red"));
    EXPECT_EQ("255,0,0", ReadColor(L"Red"));
    EXPECT_EQ("255,0,0", ReadColor(L"RED"));
    EXPECT_EQ("0,0,0", ReadColor(L"Black"));
    EXPECT_EQ("0,255,0", ReadColor(L"Lime"));
    EXPECT_EQ("210,180,140", ReadColor(L"tan"));
    EXPECT_EQ("240,248,255", ReadColor(L"AliceBlue"));  // first of the table
    EXPECT_EQ("154,205,50", ReadColor(L"YellowGreen")); // last of the table
    EXPECT_EQ("250,250,210", ReadColor(L"LightGoldenrodYellow"));
    for (LPCWSTR lpszBad :
         {L"#F00", L"#FF00000", L"#GG0000", L"#", L"Grey", L"Transparent", L"1red", L"Re", L"Redd", L"", L" Red"})
        EXPECT_EQ("fails", ReadColor(lpszBad)) << lpszBad;

    // Brush properties read the same texts into solid brushes.
    Ptr<CXTPMarkupObject> brush = Parse<CXTPMarkupBrush>(L"Red");
    ASSERT_NE(nullptr, MarkupCast<CXTPMarkupSolidColorBrush>(brush.Get()));
    EXPECT_EQ(RGB(255, 0, 0), MarkupCast<CXTPMarkupSolidColorBrush>(brush.Get())->GetColor());
    EXPECT_EQ(nullptr, Parse<CXTPMarkupSolidColorBrush>(L"Transparent").Get());
    Ptr<CXTPMarkupSolidColorBrush> same(new CXTPMarkupSolidColorBrush(RGB(255, 0, 0)));
    Ptr<CXTPMarkupSolidColorBrush> unset(new CXTPMarkupSolidColorBrush());
    EXPECT_TRUE(same->IsEqual(brush.Get()));
    EXPECT_EQ(0u, unset->GetColor());
    EXPECT_FALSE(unset->IsEqual(brush.Get()));
}

TEST(TextFormTest, ColourContentSetsTheColourOrRaisesTheContentError)
{
    Ptr<CXTPMarkupColor> color(new CXTPMarkupColor());
    color->AddContent(nullptr, CXTPMarkupString::CreateValue(L"#00FF00"));
    EXPECT_EQ(RGB(0, 255, 0), color->GetColor());
    try
    {
        color->AddContent(nullptr, CXTPMarkupString::CreateValue(L"nope"));
        FAIL() << "no error";
    }
    catch (const CXTPMarkupBuilderException& e)
    {
        EXPECT_STREQ("Cannot convert the string 'nope' into a 'CXTPMarkupColor' object", e.what());
    }
}

TEST(TextFormTest, ThicknessesReadScanfNumbersOrOneUniformInteger)
{
    EXPECT_EQ("5,5,5,5", ReadThickness(L"5"));
    EXPECT_EQ("10,10,10,10", ReadThickness(L"010")); // atol: decimal
    EXPECT_EQ("1,2,3,4", ReadThickness(L"1,2,3,4"));
    EXPECT_EQ("1,2,3,4", ReadThickness(L"1, 2,\t3,  4"));
    EXPECT_EQ("16,0,8,-1", ReadThickness(L"0x10, 0, 010, -1")); // %i: hex and octal
    EXPECT_EQ("1,2,3,4", ReadThickness(L" 1,2,3,4xyz"));
    EXPECT_EQ("2147483647,0,0,-2147483648", ReadThickness(L"99999999999,0,0,-0x999999999"));
    for (LPCWSTR lpszBad : {L"1,2", L"1,2,3", L"1 ,2,3,4", L",1,2,3", L"1,2,,4", L"08,1,2,3", L"a,b,c,d"})
        EXPECT_EQ("fails", ReadThickness(lpszBad)) << lpszBad;

    Ptr<CXTPMarkupObject> zero = Parse<CXTPMarkupThickness>(L"0,0,0,0");
    Ptr<CXTPMarkupThickness> shared(CXTPMarkupThickness::CreateZeroValue());
    EXPECT_EQ(shared.Get(), zero.Get());

    RECT rc = {0, 0, 10, 10};
    Ptr<CXTPMarkupThickness> wide(new CXTPMarkupThickness(4, 3, 8, 20));
    RECT rcInner = CXTPMarkupThickness::DeflateRect(rc, wide.Get());
    EXPECT_EQ(4, rcInner.left);
    EXPECT_EQ(3, rcInner.top);
    EXPECT_EQ(4, rcInner.right); // never inside out
    EXPECT_EQ(3, rcInner.bottom);
    RECT rcHuge = {0, 0, INT_MAX, INT_MAX};
    Ptr<CXTPMarkupThickness> negative(new CXTPMarkupThickness(0, 0, -5, INT_MIN));
    EXPECT_EQ(INT_MAX, CXTPMarkupThickness::DeflateRect(rcHuge, negative.Get()).right);
    EXPECT_EQ(INT_MAX, CXTPMarkupThickness::DeflateRect(rcHuge, negative.Get()).bottom);
    EXPECT_EQ(10, CXTPMarkupThickness::DeflateRect(rc, nullptr).right);
}

TEST(TextFormTest, PointsAreTwoNumbers)
{
    EXPECT_EQ("1.000000 5.000000", ReadPoint(L"1,5"));
    EXPECT_EQ("3.000000 4.000000", ReadPoint(L"3 4"));
    EXPECT_EQ("0.500000 -2.000000", ReadPoint(L" .5 , -2 "));
    for (LPCWSTR lpszBad : {L"1", L"1,", L"1,2,3", L"1,,2", L"1;2", L""})
        EXPECT_EQ("fails", ReadPoint(lpszBad)) << lpszBad;
}

TEST(TextFormTest, KeywordsCompareWholeTextsIgnoringCase)
{
    EXPECT_EQ(1, EnumOf(Convert(&CXTPMarkupConverter::ConvertVisibility, L"hidden")));
    EXPECT_EQ(3, EnumOf(Convert(&CXTPMarkupConverter::ConvertHorizontalAlignment, L"STRETCH")));
    EXPECT_EQ(2, EnumOf(Convert(&CXTPMarkupConverter::ConvertTextAlignment, L"Center")));
    EXPECT_EQ(1, EnumOf(Convert(&CXTPMarkupConverter::ConvertVerticalAlignment, L"Center")));
    EXPECT_EQ(7, EnumOf(Convert(&CXTPMarkupConverter::ConvertBaselineAlignment, L"superscript")));
    EXPECT_EQ(0, EnumOf(Convert(&CXTPMarkupConverter::ConvertTextDecorations, L"")));
    EXPECT_EQ(5, EnumOf(Convert(&CXTPMarkupConverter::ConvertFontQuality, L"cleartype")));
    EXPECT_EQ(5, EnumOf(Convert(&CXTPMarkupConverter::ConvertTabNavigation, L"Local")));
    EXPECT_EQ(950, EnumOf(Convert(&CXTPMarkupConverter::ConvertFontWeight, L"ExtraBlack")));
    for (LPCWSTR lpszBad : {L"Visible ", L"Vis", L"", L"Visible-"})
        EXPECT_EQ(nullptr, Convert(&CXTPMarkupConverter::ConvertVisibility, lpszBad).Get()) << lpszBad;
    Ptr<CXTPMarkupInt> notText(new CXTPMarkupInt(0));
    EXPECT_EQ(nullptr, CXTPMarkupConverter::ConvertStretch(nullptr, notText.Get()));

    // Values 0..7 are shared; others are new every time.
    Ptr<CXTPMarkupObject> collapsed1 = Convert(&CXTPMarkupConverter::ConvertVisibility, L"Collapsed");
    Ptr<CXTPMarkupObject> collapsed2 = Convert(&CXTPMarkupConverter::ConvertVisibility, L"collapsed");
    EXPECT_EQ(collapsed1.Get(), collapsed2.Get());
    Ptr<CXTPMarkupObject> bold1 = Convert(&CXTPMarkupConverter::ConvertFontWeight, L"Bold");
    Ptr<CXTPMarkupObject> bold2 = Convert(&CXTPMarkupConverter::ConvertFontWeight, L"bold");
    EXPECT_EQ(700, EnumOf(bold1));
    EXPECT_NE(bold1.Get(), bold2.Get());
    EXPECT_TRUE(bold1->IsEqual(bold2.Get()));

    // Cursors are integers: the system cursor identifiers.
    EXPECT_EQ(32649, IntOf(Convert(&CXTPMarkupConverter::ConvertCursor, L"hand")));
    EXPECT_EQ(0, IntOf(Convert(&CXTPMarkupConverter::ConvertCursor, L"None")));
    EXPECT_EQ(nullptr, Convert(&CXTPMarkupConverter::ConvertCursor, L"Pointer").Get());
}

TEST(TextFormTest, LengthsHaveUnitsAutoAndSaturate)
{
    EXPECT_EQ(16, IntOf(Convert(&CXTPMarkupConverter::ConvertLength, L"12pt")));
    EXPECT_EQ(96, IntOf(Convert(&CXTPMarkupConverter::ConvertLength, L"1in")));
    EXPECT_EQ(75, IntOf(Convert(&CXTPMarkupConverter::ConvertLength, L"2cm")));
    EXPECT_EQ(0x7FFFFFFF, IntOf(Convert(&CXTPMarkupConverter::ConvertLength, L"auto")));
    EXPECT_EQ(15, IntOf(Convert(&CXTPMarkupConverter::ConvertLength, L"15px")));
    EXPECT_EQ(15, IntOf(Convert(&CXTPMarkupConverter::ConvertLength, L"15")));
    EXPECT_EQ(-16, IntOf(Convert(&CXTPMarkupConverter::ConvertLength, L"-12PT")));
    EXPECT_EQ(1, IntOf(Convert(&CXTPMarkupConverter::ConvertLength, L"1pt"))); // 1.33 rounds down
    EXPECT_EQ(3, IntOf(Convert(&CXTPMarkupConverter::ConvertLength, L"2pt"))); // 2.67 rounds up
    EXPECT_EQ(0, IntOf(Convert(&CXTPMarkupConverter::ConvertLength, L"Autos")));
    EXPECT_EQ(INT_MAX, IntOf(Convert(&CXTPMarkupConverter::ConvertLength, L"99999999in")));
    EXPECT_EQ(INT_MIN, IntOf(Convert(&CXTPMarkupConverter::ConvertLength, L"-2000000000pt")));
    EXPECT_EQ(INT_MAX, IntOf(Convert(&CXTPMarkupConverter::ConvertLength, L"999999999cm")));
}

TEST(TextFormTest, StringsAreSharedWhenTinyAndCompareByText)
{
    Ptr<CXTPMarkupString> empty1(CXTPMarkupString::CreateValue(nullptr));
    Ptr<CXTPMarkupString> empty2(CXTPMarkupString::CreateValue(L"abc", 0));
    Ptr<CXTPMarkupString> space1(CXTPMarkupString::CreateValue(L" "));
    Ptr<CXTPMarkupString> space2(CXTPMarkupString::CreateValue(L" x", 1));
    Ptr<CXTPMarkupString> newLine(CXTPMarkupString::CreateValue(L"\n"));
    EXPECT_EQ(empty1.Get(), empty2.Get());
    EXPECT_EQ(space1.Get(), space2.Get());
    EXPECT_EQ(1, newLine->GetLength());
    EXPECT_STREQ(L"", empty1->GetText());

    Ptr<CXTPMarkupString> a1(CXTPMarkupString::CreateValue(L"Key"));
    Ptr<CXTPMarkupString> a2(CXTPMarkupString::CreateValue(L"Key!", 3));
    Ptr<CXTPMarkupString> lower(CXTPMarkupString::CreateValue(L"key"));
    Ptr<CXTPMarkupString> withNul(CXTPMarkupString::CreateValue(L"Key\0x", 5));
    EXPECT_NE(a1.Get(), a2.Get());
    EXPECT_TRUE(a1->IsEqual(a2.Get()));
    EXPECT_EQ(a1->HashValue(), a2->HashValue());
    EXPECT_EQ((UINT(L'K') * 33 + L'e') * 33 + L'y', a1->HashValue());
    EXPECT_FALSE(a1->IsEqual(lower.Get()));
    EXPECT_FALSE(a1->IsEqual(withNul.Get()));
    EXPECT_EQ(5, withNul->GetLength());

    // Equal values of different classes are not equal.
    Ptr<CXTPMarkupInt> one(new CXTPMarkupInt(1));
    Ptr<CXTPMarkupEnum> enumOne(CXTPMarkupEnum::CreateValue(1));
    Ptr<CXTPMarkupInt> otherOne(new CXTPMarkupInt(1));
    EXPECT_FALSE(one->IsEqual(enumOne.Get()));
    EXPECT_TRUE(one->IsEqual(otherOne.Get()));
    EXPECT_FALSE(one->IsEqual(nullptr));
}

TEST(TextFormTest, SystemColourMembersResolveOncePerLoad)
{
    CXTPMarkupSystemColors colors;
    Ptr<CXTPMarkupObject> brush(colors.ResolveStaticMember(L"SystemColors.ControlBrush"));
    ASSERT_NE(nullptr, MarkupCast<CXTPMarkupSolidColorBrush>(brush.Get()));
    EXPECT_EQ(GetSysColor(15), MarkupCast<CXTPMarkupSolidColorBrush>(brush.Get())->GetColor());

    Ptr<CXTPMarkupObject> scrollBar(colors.ResolveStaticMember(L"SystemColors.ScrollBarColor"));
    EXPECT_EQ(GetSysColor(0), MarkupCast<CXTPMarkupColor>(scrollBar.Get())->GetColor());

    Ptr<CXTPMarkupObject> windowKey(colors.ResolveStaticMember(L"SystemColors.WindowColorKey"));
    EXPECT_EQ(5, MarkupCast<CXTPMarkupColorKey>(windowKey.Get())->GetIndex());
    Ptr<CXTPMarkupObject> infoKey(colors.ResolveStaticMember(L"SystemColors.InfoTextBrushKey"));
    EXPECT_EQ(23, MarkupCast<CXTPMarkupBrushKey>(infoKey.Get())->GetIndex());
    Ptr<CXTPMarkupObject> abbreviated(colors.ResolveStaticMember(L"SystemColors.MenuHBrushKey"));
    EXPECT_EQ(29, MarkupCast<CXTPMarkupBrushKey>(abbreviated.Get())->GetIndex());

    // The same member twice in one load is the same object, so keys match.
    Ptr<CXTPMarkupObject> key1(colors.ResolveStaticMember(L"SystemColors.ControlBrushKey"));
    Ptr<CXTPMarkupObject> key2(colors.ResolveStaticMember(L"SystemColors.ControlBrushKey"));
    EXPECT_EQ(key1.Get(), key2.Get());
    Ptr<CXTPMarkupObject> keyed(colors.ResolveKey(key1.Get()));
    EXPECT_EQ(brush.Get(), keyed.Get());
    EXPECT_EQ(nullptr, colors.ResolveKey(scrollBar.Get()));

    for (LPCWSTR lpszBad : {L"SystemColors.controlBrush", L"SystemColors.ControlPen", L"SystemColors.ColorKey",
                            L"SystemColors.Info", L"SystemColor.ControlBrush", L"SystemColors.WindowsColor"})
    {
        try
        {
            Ptr<CXTPMarkupObject> value(colors.ResolveStaticMember(lpszBad));
            ADD_FAILURE() << "no error for " << lpszBad;
        }
        catch (const CXTPMarkupBuilderException& e)
        {
            std::wstring strMember(lpszBad);
            EXPECT_EQ("Cannot find the static member  '" + std::string(strMember.begin(), strMember.end()) + "'",
                      e.what());
        }
    }
}

TEST(TextFormTest, BuilderMessagesAreCutAtWholeCharactersInTheAnsiCodePage)
{
    CXTPMarkupBuilderException plain("%s at %i, %u%% '%ls'", "Error", -3, 7u, L"Tag");
    EXPECT_STREQ("Error at -3, 7% 'Tag'", plain.what());

    // 300 CJK characters: two bytes each in code page 936, '?' in others.
    std::wstring strLong(300, L'\x4E2D');
    CXTPMarkupBuilderException cut("x'%ls'", strLong.c_str());
    size_t nBytes = strlen(cut.what());
    EXPECT_LE(nBytes, 255u);
    EXPECT_GE(nBytes, 254u);
    EXPECT_NE(0, MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, cut.what(), static_cast<int>(nBytes), nullptr, 0));
}
} // namespace
