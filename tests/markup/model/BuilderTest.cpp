// Loading markup into trees: what each element receives, the whitespace and
// extension rules, every error message with its position, and hostile input.
#include "TestNodes.h"
#include "support/DialogTexts.h"
#include "support/GuardedInput.h"
#include "support/MarkupLeakCheck.h"
#include "support/MarkupStandIns.h"

#include "markup/model/Brush.h"
#include "markup/model/Numbers.h"
#include "markup/model/ObjectBuilder.h"
#include "markup/model/ObjectProperty.h"
#include "markup/model/String.h"
#include "markup/model/SystemColors.h"
#include "markup/model/Thickness.h"
#include "markup/model/Tokenizer.h"
#include "markup/model/Type.h"

#include "toolkit/CodePage.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace
{
std::string Narrow(LPCWSTR psz, UINT nCodePage = CP_UTF8)
{
    return XTPToMultiByte(psz, -1, nCodePage);
}

// The outcome of one load: the tree, and the error text when there is none.
struct Loaded
{
    CXTPMarkupPtr<CXTPMarkupObject> root;
    std::string strError;
};

Loaded Load(const std::string& bytes)
{
    CGuardedInput input(bytes);
    Loaded loaded;
    loaded.root.Reset(CXTPMarkupObjectBuilder::Parse(nullptr, input.Begin(), input.Size(), &loaded.strError));
    return loaded;
}

std::string Error(const std::string& bytes)
{
    Loaded loaded = Load(bytes);
    EXPECT_FALSE(loaded.root) << bytes;
    return loaded.strError;
}

std::string DescribeValue(CXTPMarkupObject* pValue)
{
    if (CXTPMarkupString* pString = MarkupCast<CXTPMarkupString>(pValue))
        return "'" + Narrow(pString->GetText()) + "'";
    if (CXTPMarkupInt* pInt = MarkupCast<CXTPMarkupInt>(pValue))
        return std::to_string(int(*pInt));
    if (CXTPMarkupEnum* pEnum = MarkupCast<CXTPMarkupEnum>(pValue))
        return std::to_string(int(*pEnum));
    if (CXTPMarkupThickness* p = MarkupCast<CXTPMarkupThickness>(pValue))
    {
        return std::to_string(p->GetLeft()) + "," + std::to_string(p->GetTop()) + "," + std::to_string(p->GetRight())
               + "," + std::to_string(p->GetBottom());
    }
    if (CXTPMarkupSolidColorBrush* pBrush = MarkupCast<CXTPMarkupSolidColorBrush>(pValue))
    {
        char sz[16];
        const COLORREF clr = pBrush->GetColor();
        snprintf(sz, sizeof(sz), "#%02X%02X%02X", GetRValue(clr), GetGValue(clr), GetBValue(clr));
        return sz;
    }
    if (CXTPMarkupType* pType = MarkupCast<CXTPMarkupType>(pValue))
        return "type " + Narrow(pType->GetTypeName());
    return Narrow(pValue->GetType()->GetTypeName());
}

// A tree as text: Tag[Property=value ...]{children}, strings quoted.
std::string Dump(CXTPMarkupObject* pObject)
{
    if (!pObject)
        return "null";
    if (MarkupCast<CXTPMarkupString>(pObject))
        return DescribeValue(pObject);
    const CXTPMarkupDependencyProperty* const properties[] = {
        CXTPMarkupObject::m_pNameProperty,
        CXTPMarkupObject::m_pKeyProperty,
        CTestUIElement::m_pWidthProperty,
        CTestUIElement::m_pHeightProperty,
        CTestUIElement::m_pMaxWidthProperty,
        CTestUIElement::m_pMarginProperty,
        CTestUIElement::m_pVerticalAlignmentProperty,
        CTestUIElement::m_pTagProperty,
        CTestUIElement::m_pResourcesProperty,
        CTestStackPanel::m_pOrientationProperty,
        CTestTextBlock::m_pFontSizeProperty,
        CTestTextBlock::m_pFontWeightProperty,
        CTestTextBlock::m_pPaddingProperty,
        CTestTextBlock::m_pTextWrappingProperty,
        CTestTextBlock::m_pForegroundProperty,
        CTestRun::m_pTextProperty,
        CTestImage::m_pSourceProperty,
        CTestNode::m_pSizeProperty,
    };
    std::string dump =
        pObject->GetMarkupTag() ? Narrow(pObject->GetMarkupTag()) : Narrow(pObject->GetType()->GetTypeName());
    std::string values;
    for (const CXTPMarkupDependencyProperty* pProperty : properties)
    {
        if (CXTPMarkupObject* pValue = pObject->LookupOwnValue(pProperty))
            values += (values.empty() ? "" : " ") + Narrow(pProperty->GetName()) + "=" + DescribeValue(pValue);
    }
    if (!values.empty())
        dump += "[" + values + "]";
    if (pObject->GetLogicalChildCount() > 0)
    {
        dump += "{";
        for (int i = 0; i < pObject->GetLogicalChildCount(); i++)
            dump += (i ? " " : "") + Dump(pObject->GetLogicalChild(i));
        dump += "}";
    }
    return dump;
}

std::string DumpOf(const std::string& bytes)
{
    Loaded loaded = Load(bytes);
    return loaded.root ? Dump(loaded.root.Get()) : "error: " + loaded.strError;
}

std::string Repeat(const std::string& piece, int nTimes)
{
    std::string s;
    s.reserve(piece.size() * size_t(nTimes));
    for (int i = 0; i < nTimes; i++)
        s += piece;
    return s;
}

class Builder : public testing::Test
{
protected:
    void SetUp() override
    {
        RegisterStandInElements();
        MARKUP_TYPE(CTestNode);
        g_loadedElements.clear();
    }
    void TearDown() override { g_loadedElements.clear(); }
};
} // namespace

TEST_F(Builder, ApplicationMarkupBuildsTheSameTreeFromCodePage936AndUtf8)
{
    ASSERT_EQ(GetACP(), 936u) << "the tests run with the Chinese ANSI code page";
    const std::string expected[] = {
        "StackPanel{StackPanel[Orientation=0]{Image[Width=24 Height=24 VerticalAlignment=1 "
        "Source='res://info.png'] TextBlock[VerticalAlignment=1 FontSize=16 FontWeight=700 Padding=5,0,0,0]{"
        "'使用说明'}} StackPanel{TextBlock[MaxWidth=485 VerticalAlignment=1 FontSize=14 Padding=5,10,0,0 "
        "TextWrapping=1]{'本工具是通过互联网进行自动校时，所以您必须首先确保已连接互联网才能使用校时功能！'}}}",
        "TextBlock[FontSize=14]{'已经成功校时！您的系统时间比标准时间快了' "
        "Run[FontWeight=700 Foreground=#FF0000 Text='0.1234'] '秒！'}",
        "StackPanel{Image[Width=32 Height=32 Source='res://sync.png'] TextBlock[FontSize=18 FontWeight=700 "
        "Padding=0,10,0,0]{'立即校时'}}",
    };
    // A result message as the result panel holds it (the panel's grid is
    // left to the layout suites).
    const std::string texts[] = {kInfoMarkup,
                                 std::string("<TextBlock FontSize='14'>") + kSampleResultMessage + "</TextBlock>",
                                 kButtonFaceMarkup};
    for (int i = 0; i < 3; i++)
    {
        EXPECT_EQ(DumpOf(texts[i]), expected[i]);
        const std::string strUtf8 = Utf8FromCp936(texts[i]);
        // The declaration switches to UTF-8 however it spells the name.
        for (const char* pszDeclaration :
             {"<?xml version='1.0' encoding='utf-8'?>", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n",
              "<?xml encoding = 'Utf-8' ?>"})
        {
            EXPECT_EQ(DumpOf(pszDeclaration + strUtf8), expected[i]) << pszDeclaration;
        }
        EXPECT_EQ(DumpOf("\xEF\xBB\xBF" + strUtf8), expected[i]);
    }
}

TEST_F(Builder, WhitespaceBecomesOneBlankBetweenTextsAndAroundChildren)
{
    EXPECT_EQ(DumpOf("<TextBlock>a  b</TextBlock>"), "TextBlock{'a b'}");
    EXPECT_EQ(DumpOf("<TextBlock>\r\n  a \t\r\n b  </TextBlock>"), "TextBlock{'a b'}");
    EXPECT_EQ(DumpOf("<TextBlock>one <Run>x</Run> two</TextBlock>"), "TextBlock{'one ' Run[Text='x'] ' two'}");
    EXPECT_EQ(DumpOf("<TextBlock>\r\n    <Run>a</Run>\r\n    <Run>b</Run>\r\n</TextBlock>"),
              "TextBlock{Run[Text='a'] ' ' Run[Text='b']}");
    EXPECT_EQ(DumpOf("<StackPanel>\r\n    <Image/>\r\n    <Image/>\r\n</StackPanel>"), "StackPanel{Image Image}");
    // Text right against a child keeps no blank; an entity is text like any other.
    EXPECT_EQ(DumpOf("<TextBlock>a<Run>x</Run>b &amp; c&#65;</TextBlock>"), "TextBlock{'a' Run[Text='x'] 'b & cA'}");
    // Comments, CDATA sections and instructions add nothing and split nothing.
    EXPECT_EQ(DumpOf("<TextBlock>a<!-- c -->b <![CDATA[ x ]]> <?pi?>c</TextBlock>"), "TextBlock{'ab c'}");
    EXPECT_EQ(DumpOf("<TextBlock>   </TextBlock>"), "TextBlock");
}

TEST_F(Builder, LongTextRunsArriveWhole)
{
    // Chinese has no blanks to split a paragraph at: the tokenizer hands it
    // over in pieces and the element still gets one string.
    const std::string strChinese = Repeat("中", 5000);
    Loaded loaded = Load(Cp936FromUtf8("<TextBlock>" + strChinese + " x</TextBlock>"));
    ASSERT_TRUE(loaded.root) << loaded.strError;
    CXTPMarkupCollection* pInlines = static_cast<CTestTextBlock*>(loaded.root.Get())->GetInlines();
    ASSERT_EQ(pInlines->GetCount(), 1);
    CXTPMarkupString* pText = MarkupCast<CXTPMarkupString>(pInlines->GetItem(0));
    ASSERT_TRUE(pText);
    EXPECT_EQ(pText->GetLength(), 5002);
    EXPECT_EQ(std::wstring(pText->GetText(), 5000), std::wstring(5000, L'\x4E2D'));

    // Ten megabytes of text, and attribute values past the tokenizer's buffer.
    const std::string strLong(10 << 20, 'x');
    loaded = Load("<TextBlock Tag='" + strLong.substr(0, 5000) + "'>" + strLong + "</TextBlock>");
    ASSERT_TRUE(loaded.root) << loaded.strError;
    pText = MarkupCast<CXTPMarkupString>(static_cast<CTestTextBlock*>(loaded.root.Get())->GetInlines()->GetItem(0));
    ASSERT_TRUE(pText);
    EXPECT_EQ(pText->GetLength(), 10 << 20);
    const CXTPMarkupString* pTag =
        MarkupCast<CXTPMarkupString>(loaded.root->LookupOwnValue(CTestUIElement::m_pTagProperty));
    ASSERT_TRUE(pTag);
    EXPECT_EQ(pTag->GetLength(), CXTPMarkupTokenizer::kMaxValueLength);
}

TEST_F(Builder, AttributesConvertThroughParsersAndValueTypes)
{
    // Foreground has no parser: the brush type reads the colour. FontWeight
    // has a keyword parser; Margin is read by the thickness type.
    EXPECT_EQ(DumpOf("<TextBlock Foreground='Red' FontWeight='Bold' Margin='0,12,0,0' x:Name='n' "
                     "xmlns='http://x' xmlns:x='http://y' xmlnsfoo='z'/>"),
              "TextBlock[x:Name='n' Margin=0,12,0,0 FontWeight=700 Foreground=#FF0000]");
    // "Type.Property" names a property of another type; values are applied in
    // document order, so the later one wins.
    EXPECT_EQ(DumpOf("<StackPanel TextBlock.FontSize='9' Width='1' Width='2'/>"), "StackPanel[Width=2 FontSize=9]");
    EXPECT_EQ(DumpOf("<StackPanel Tag='{}{0}'/>"), "StackPanel[Tag='{0}']");
    EXPECT_EQ(DumpOf("<StackPanel Tag='{}'/>"), "StackPanel[Tag='']");
    EXPECT_EQ(DumpOf("<StackPanel Tag='{x:Type TextBlock}'/>"), "StackPanel[Tag=type CTestTextBlock]");
    EXPECT_EQ(DumpOf("<StackPanel Tag='{x:Static SystemColors.WindowColor}'/>"), "StackPanel[Tag=CXTPMarkupColor]");
}

TEST_F(Builder, PropertyElementsHandTheirValueOverOnce)
{
    EXPECT_EQ(DumpOf("<TextBlock><TextBlock.Foreground><SolidColorBrush Color='Blue'/></TextBlock.Foreground>"
                     "x</TextBlock>"),
              "TextBlock[Foreground=#0000FF]{'x'}");
    EXPECT_EQ(DumpOf("<TextBlock><TextBlock.Foreground> Lime </TextBlock.Foreground></TextBlock>"),
              "TextBlock[Foreground=#00FF00]");
    // A later child of the value type replaces the first, which is released
    // (the leak check of every test would name it).
    EXPECT_EQ(DumpOf("<TextBlock><TextBlock.Foreground><SolidColorBrush Color='Blue'/>"
                     "<SolidColorBrush Color='Red'/></TextBlock.Foreground></TextBlock>"),
              "TextBlock[Foreground=#FF0000]");
    // Children of another type fill a value created for them.
    EXPECT_EQ(DumpOf("<StackPanel><StackPanel.Resources><Image x:Key='a'/><Image x:Key='b'/>"
                     "</StackPanel.Resources></StackPanel>"),
              "StackPanel[Resources=CTestResourceTable]");

    Loaded loaded = Load("<TextBlock><TextBlock.Foreground><SolidColorBrush/></TextBlock.Foreground></TextBlock>");
    ASSERT_TRUE(loaded.root);
    CXTPMarkupObject* pBrush = loaded.root->LookupOwnValue(CTestTextBlock::m_pForegroundProperty);
    ASSERT_TRUE(pBrush);
    EXPECT_EQ(pBrush->GetRefCount(), 1);
    EXPECT_EQ(pBrush->GetLogicalParent(), loaded.root.Get());
}

TEST_F(Builder, ResourceExtensionsSearchTheOpenElementsInnermostFirst)
{
    // In an enclosing element's resources, with the nearest definition winning.
    EXPECT_EQ(DumpOf("<StackPanel><StackPanel.Resources><SolidColorBrush x:Key='b' Color='Red'/>"
                     "</StackPanel.Resources><StackPanel><StackPanel.Resources><SolidColorBrush x:Key='b' "
                     "Color='Blue'/></StackPanel.Resources><TextBlock Foreground='{StaticResource b}'/>"
                     "</StackPanel><TextBlock Foreground='{DynamicResource b}'/></StackPanel>"),
              "StackPanel[Resources=CTestResourceTable]{StackPanel[Resources=CTestResourceTable]{"
              "TextBlock[Foreground=#0000FF]} TextBlock[Foreground=#FF0000]}");
    // In the value a property element has collected so far.
    EXPECT_EQ(DumpOf("<StackPanel><StackPanel.Resources><SolidColorBrush x:Key='b' Color='Red'/>"
                     "<TextBlock x:Key='t' Foreground='{StaticResource \r\n b}'/></StackPanel.Resources>"
                     "</StackPanel>"),
              "StackPanel[Resources=CTestResourceTable]");
    // A key given by an extension: system colour keys are one object per
    // load, so a second extension finds the entry stored under the first.
    EXPECT_EQ(DumpOf("<StackPanel><StackPanel.Resources><SolidColorBrush Color='Lime' "
                     "x:Key='{x:Static SystemColors.ControlBrushKey}'/></StackPanel.Resources><TextBlock "
                     "Foreground='{StaticResource {x:Static SystemColors.ControlBrushKey}}'/></StackPanel>"),
              "StackPanel[Resources=CTestResourceTable]{TextBlock[Foreground=#00FF00]}");
    // Without an entry, a system brush key gives the system colour's brush.
    Loaded loaded = Load("<TextBlock Foreground='{StaticResource {x:Static SystemColors.ControlBrushKey}}'/>");
    ASSERT_TRUE(loaded.root) << loaded.strError;
    const CXTPMarkupSolidColorBrush* pBrush =
        MarkupCast<CXTPMarkupSolidColorBrush>(loaded.root->LookupOwnValue(CTestTextBlock::m_pForegroundProperty));
    ASSERT_TRUE(pBrush);
    EXPECT_EQ(pBrush->GetColor(), GetSysColor(COLOR_BTNFACE));
    // "{}" keeps a key that starts with a brace.
    EXPECT_EQ(DumpOf("<StackPanel><StackPanel.Resources><Image x:Key='{}{k}'/></StackPanel.Resources>"
                     "<StackPanel Tag='{StaticResource {}{k}}'/></StackPanel>"),
              "StackPanel[Resources=CTestResourceTable]{StackPanel[Tag=CTestImage]}");
}

TEST_F(Builder, LoadedTreesAreToldChildrenFirstAndOnlyOnSuccess)
{
    Loaded loaded = Load("<StackPanel x:Name='root'><StackPanel x:Name='a'><Image x:Name='a1'/>"
                         "<TextBlock x:Name='a2'/></StackPanel><Image x:Name='b'/></StackPanel>");
    ASSERT_TRUE(loaded.root);
    EXPECT_EQ(g_loadedElements, (std::vector<std::wstring>{L"a1", L"a2", L"a", L"b", L"root"}));

    g_loadedElements.clear();
    EXPECT_FALSE(Load("<StackPanel><Image/><Image/>").root);
    EXPECT_FALSE(Load("<TestNode><TestNode/></TestNode>").root);
    EXPECT_TRUE(g_loadedElements.empty());
}

// Each failure reports its message, and all but two the line and position
// just after the last character read; nothing made before it stays alive.
TEST_F(Builder, EveryErrorEndsTheLoadWithItsMessageAndPosition)
{
    const struct
    {
        const char* pszMarkup;
        const char* pszError;
    } cases[] = {
        // The builder's own.
        {"", "Data at the root level is invalid"},
        {" \r\n\t ", "Data at the root level is invalid"},
        {"text<A/>", "Data at the root level is invalid"},
        {"<StackPanel/>x", "Data at the root level is invalid. Line 1, position 15"},
        {"<!-- only a comment -->", "Root element is missing. Line 1, position 24"},
        {"<StackPanel>\r\n<TextBlock>a",
         "Unexpected end of file has occurred. The following elements are not closed: 'TextBlock'. Line 2, "
         "position 13"},
        // Saved on Windows, on old Macs and on Unix: one line per line end.
        {"<StackPanel>\r\n\r\n<StackPanel><Unknown/>",
         "The tag 'Unknown' does not exist in XML namespace. Line 3, position 22"},
        {"<StackPanel>\r\r<StackPanel><Unknown/>",
         "The tag 'Unknown' does not exist in XML namespace. Line 3, position 22"},
        {"<StackPanel>\n\r\n<StackPanel><Unknown/>",
         "The tag 'Unknown' does not exist in XML namespace. Line 3, position 22"},
        {"<StackPanel/><StackPanel/>", "There are multiple root elements. Line 1, position 26"},
        {"<StackPanel><Unknown/></StackPanel>",
         "The tag 'Unknown' does not exist in XML namespace. Line 1, position 22"},
        {"<TextBlock.FontSize>1</TextBlock.FontSize>",
         "The tag 'TextBlock.FontSize' does not exist in XML namespace. Line 1, position 21"},
        {"<StackPanel><TextBlock.Nothing/></StackPanel>",
         "The tag 'TextBlock.Nothing' does not exist in XML namespace. Line 1, position 32"},
        {"<StackPanel><Nothing.Width/></StackPanel>",
         "The tag 'Nothing.Width' does not exist in XML namespace. Line 1, position 28"},
        {"<StackPanel><!DOCTYPE x></StackPanel>",
         "The tag '!DOCTYPE' does not exist in XML namespace. Line 1, position 24"},
        {"<StackPanel></StackPanel></StackPanel>", "Unexpected end tag. Line 1, position 39"},
        {"<StackPanel><Image></StackPanel>",
         "The 'Image' start tag does not match the end tag of 'StackPanel'. Line 1, position 33"},
        {"<StackPanel><StackPanel.Tag></StackPanel.Tag></StackPanel>",
         "'Tag' property does not have a value. Line 1, position 46"},
        {"<StackPanel Color='Red'/>", "The property 'Color' does not exist in XML namespace. Line 1, position 24"},
        {"<StackPanel Tag='{'/>", "Markup extension expressions must end with '}'. Line 1, position 20"},
        {"<StackPanel Tag='{StaticResource a'/>",
         "Markup extension expressions must end with '}'. Line 1, position 36"},
        {"<StackPanel Tag='{x:Type Nothing}'/>", "Cannot find type 'Nothing'. Line 1, position 35"},
        {"<StackPanel Tag='{x:type TextBlock}'/>",
         "The tag 'x:type TextBlock' does not exist in XML namespace. Line 1, position 37"},
        {"<StackPanel Tag='{StaticResource Missing }'/>",
         "Cannot find resource named 'Missing '. Resource names are case sensitive. Line 1, position 44"},
        {"<StackPanel Width='wide' Orientation='Sideways'/>",
         "Cannot convert string in attribute 'Orientation' to object of type 'CXTPMarkupEnum'. Line 1, position 48"},
        {"<TextBlock Foreground='#12345'/>",
         "Cannot convert string in attribute 'Foreground' to object of type 'CXTPMarkupBrush'. Line 1, position 31"},
        {"<StackPanel Margin='1,2'/>",
         "Cannot convert string in attribute 'Margin' to object of type 'CXTPMarkupThickness'. Line 1, "
         "position 25"},
        {"<TestNode/>", "Root element have to be 'CXTPMarkupUIElement' type"},
        // Raised by the tokenizer, by objects and by value lookups.
        {"<StackPanel><Image", "Unexpected end of file has occurred.. Line 1, position 19"},
        {"<StackPanel Width='1' / >", "Unexpected token. The expected token is '>'. Line 1, position 25"},
        {"<StackPanel Width>", "'>' is an unexpected token. The expected token is '='. Line 1, position 19"},
        {"<StackPanel Width<", "'<' is an unexpected token. The expected token is '='. Line 1, position 19"},
        {"<StackPanel Width x='1'/>", "Unexpected token. The expected token is '='. Line 1, position 20"},
        {"<StackPanel Width='1\">", "Unexpected token. The expected token is '\"' or '''. Line 1, position 23"},
        {"<StackPanel>text</StackPanel>",
         "Cannot convert the string 'text' into a 'CTestStackPanel' object. Line 1, position 30"},
        {"<StackPanel><Run/></StackPanel>",
         "Cannot add content to an object of type 'CTestStackPanel'. Line 1, position 19"},
        {"<TextBlock><TextBlock.Watched><Run/></TextBlock.Watched></TextBlock>",
         "Cannot add content to an object of type 'CXTPMarkupDependencyProperty'. Line 1, position 37"},
        {"<StackPanel Tag='{x:Static SystemColors.Nothing}'/>",
         "Cannot find the static member  'SystemColors.Nothing'. Line 1, position 50"},
        {"<StackPanel><StackPanel.Resources><Image/></StackPanel.Resources></StackPanel>",
         "A resource needs a key. Line 1, position 43"},
    };
    for (const auto& c : cases)
    {
        CMarkupLiveObjects live;
        EXPECT_EQ(Error(c.pszMarkup), c.pszError);
        EXPECT_EQ(live.Added(), 0) << c.pszMarkup;
    }
}

TEST_F(Builder, ObjectsThatCannotBeMadeAreNeverUsed)
{
    // A tag whose class has no factory is as unknown as a tag never registered.
    CXTPMarkupType::RegisterType(L"AbstractThing", L"CTestAbstractThing", nullptr, &CTestUIElement::GetMarkupType,
                                 nullptr);
    EXPECT_EQ(Error("<StackPanel><AbstractThing/></StackPanel>"),
              "The tag 'AbstractThing' does not exist in XML namespace. Line 1, position 28");
}

TEST_F(Builder, DeepNestingFailsCleanlyAndWithinTheLimitBuilds)
{
    const int nLimit = CXTPMarkupObjectBuilder::kMaxDepth;
    Loaded loaded = Load(Repeat("<StackPanel>", nLimit) + Repeat("</StackPanel>", nLimit));
    ASSERT_TRUE(loaded.root) << loaded.strError;
    EXPECT_EQ(g_loadedElements.size(), size_t(nLimit));
    loaded.root.Reset();

    CMarkupLiveObjects live;
    const std::string strDeep = Repeat("<StackPanel>", 100000) + Repeat("</StackPanel>", 100000);
    EXPECT_EQ(Error(strDeep), "The tag 'StackPanel' is nested deeper than " + std::to_string(nLimit)
                                  + " levels. Line 1, position " + std::to_string(12 * (nLimit + 1) + 1));
    EXPECT_EQ(live.Added(), 0);
}

TEST_F(Builder, ErrorTextIsKeptByTheBuilderAndClearedBySuccess)
{
    const std::string strBad = "<StackPanel>\n  <StackPanel Orientation='Up' />\n</StackPanel>";
    const std::string strGood = kButtonFaceMarkup;
    CXTPMarkupTokenizer tokenizer;
    tokenizer.SetInput(strBad.data(), strBad.data() + strBad.size());
    CXTPMarkupObjectBuilder builder(nullptr);
    EXPECT_FALSE(CXTPMarkupPtr<CXTPMarkupObject>(builder.BuildTree(&tokenizer)));
    EXPECT_STREQ(builder.GetErrorText(), "Cannot convert string in attribute 'Orientation' to object of type "
                                         "'CXTPMarkupEnum'. Line 2, position 31");
    tokenizer.SetInput(strGood.data(), strGood.data() + strGood.size());
    CXTPMarkupPtr<CXTPMarkupObject> root(builder.BuildTree(&tokenizer));
    EXPECT_TRUE(root);
    EXPECT_STREQ(builder.GetErrorText(), "");

    std::string strError = "stale";
    EXPECT_EQ(CXTPMarkupObjectBuilder::Parse(nullptr, nullptr, 0, &strError), nullptr);
    EXPECT_EQ(strError, "");
}

namespace
{
// Whether a text is one of the messages a load can end with: '*' stands for
// any argument, and all but two carry a position.
bool IsKnownError(const std::string& strError)
{
    static const char* const kMessages[] = {
        "Data at the root level is invalid",
        "Root element is missing",
        "Unexpected end of file has occurred. The following elements are not closed: '*'",
        "There are multiple root elements",
        "The tag '*' does not exist in XML namespace",
        "Unexpected end tag",
        "The '*' start tag does not match the end tag of '*'",
        "'*' property does not have a value",
        "Unexpected error",
        "The property '*' does not exist in XML namespace",
        "Markup extension expressions must end with '}'",
        "Cannot find type '*'",
        "Cannot find resource named '*'. Resource names are case sensitive",
        "Cannot convert string in attribute '*' to object of type '*'",
        "The tag '*' is nested deeper than * levels",
        "Unexpected end of file has occurred.",
        "Unexpected token. The expected token is '>'",
        "'>' is an unexpected token. The expected token is '='",
        "'<' is an unexpected token. The expected token is '='",
        "Unexpected token. The expected token is '='",
        "Unexpected token. The expected token is '\"' or '''",
        "Cannot convert the string '*' into a '*' object",
        "Cannot add content to an object of type '*'",
        "'*' object cannot be added to '*'. Object cannot be converted to type '*'",
        "Cannot find the static member  '*'",
        "A resource needs a key",
    };
    auto matches = [](const char* pszPattern, const char* pszText)
    {
        // Backtracking glob, enough for these short patterns.
        const char* pStar = nullptr;
        const char* pResume = nullptr;
        while (*pszText)
        {
            if (*pszPattern == '*')
            {
                pStar = pszPattern++;
                pResume = pszText;
            }
            else if (*pszPattern == *pszText)
            {
                pszPattern++;
                pszText++;
            }
            else if (pStar)
            {
                pszPattern = pStar + 1;
                pszText = ++pResume;
            }
            else
                return false;
        }
        while (*pszPattern == '*')
            pszPattern++;
        return *pszPattern == 0;
    };
    if (strError == "Data at the root level is invalid"
        || strError == "Root element have to be 'CXTPMarkupUIElement' type")
        return true;
    for (const char* pszMessage : kMessages)
    {
        if (matches((std::string(pszMessage) + ". Line *, position *").c_str(), strError.c_str()))
            return true;
    }
    return false;
}
} // namespace

// Mutated application markup, in both code pages: every document ends in a
// tree or in one of the messages, leaves nothing alive and never reads past
// its input (which the guard page would fault).
TEST_F(Builder, MutatedMarkupEndsInATreeOrAMessage)
{
    const std::string seeds[] = {
        kInfoMarkup,
        Utf8FromCp936(SampleResultPanelMarkup()),
        "<?xml version='1.0' encoding='UTF-8'?>" + Utf8FromCp936(kButtonFaceMarkup),
        "<StackPanel><StackPanel.Resources><SolidColorBrush x:Key='b' Color='Red'/></StackPanel.Resources>"
        "<TextBlock Foreground='{StaticResource b}' Tag='{}{x}'>a <Run>b</Run> c</TextBlock>"
        "<Image Tag='{x:Static SystemColors.ControlBrush}' Width='{x:Type Image}'/></StackPanel>",
    };
    const std::string pieces[] = {"<",
                                  ">",
                                  "/",
                                  "&",
                                  "'",
                                  "\"",
                                  "=",
                                  "{",
                                  "}",
                                  "<!--",
                                  "-->",
                                  "<?",
                                  "?>",
                                  "\xE4",
                                  "\xD6",
                                  std::string(1, '\0'),
                                  ".",
                                  "<StackPanel>",
                                  "</TextBlock>",
                                  "{StaticResource b}",
                                  " ",
                                  "\r\n"};
    const int nPieces = int(sizeof(pieces) / sizeof(pieces[0]));
    std::mt19937 random(20240612);
    int nTrees = 0;
    for (int nDocument = 0; nDocument < 3000; nDocument++)
    {
        std::string bytes = seeds[nDocument % 4];
        const int nMutations = 1 + int(random() % 6);
        for (int i = 0; i < nMutations && !bytes.empty(); i++)
        {
            const size_t at = random() % bytes.size();
            switch (random() % 5)
            {
            case 0: bytes[at] = char(random()); break;
            case 1: bytes.insert(at, pieces[random() % nPieces]); break;
            case 2: bytes.erase(at, 1 + random() % 16); break;
            case 3: bytes.resize(at); break;
            default: bytes.insert(at, bytes.substr(random() % bytes.size(), random() % 64)); break;
            }
        }
        if (nDocument % 10 == 9)
        {
            bytes.resize(random() % 2000);
            for (char& b : bytes)
                b = char(random());
        }

        CMarkupLiveObjects live;
        {
            Loaded loaded = Load(bytes);
            if (loaded.root)
                nTrees++;
            else
                ASSERT_TRUE(IsKnownError(loaded.strError)) << "document " << nDocument << ": " << loaded.strError;
        }
        ASSERT_EQ(live.Added(), 0) << "document " << nDocument;
    }
    // Some mutations leave valid markup; most do not.
    EXPECT_GT(nTrees, 30);
    EXPECT_LT(nTrees, 2500);
}

TEST_F(Builder, CutOffInputEndsTheLoad)
{
    // A NUL, invalid UTF-8 and a cut-off double-byte character all end the
    // input where they stand.
    EXPECT_EQ(Error(std::string("<StackPanel>\0</StackPanel>", 26)),
              "Unexpected end of file has occurred. The following elements are not closed: 'StackPanel'. Line 1, "
              "position 13");
    EXPECT_EQ(Error("<?xml encoding='utf-8'?><TextBlock>\xE4\xB8"),
              "Unexpected end of file has occurred. The following elements are not closed: 'TextBlock'. Line 1, "
              "position 36");
    EXPECT_EQ(Error("<TextBlock>\xD6"),
              "Unexpected end of file has occurred. The following elements are not closed: 'TextBlock'. Line 1, "
              "position 12");
    // A "<" in a longer form than UTF-8 allows opens no element.
    EXPECT_EQ(Error("<?xml encoding='utf-8'?><TextBlock>a\xC0\xBCStackPanel/></TextBlock>"),
              "Unexpected end of file has occurred. The following elements are not closed: 'TextBlock'. Line 1, "
              "position 37");
}
