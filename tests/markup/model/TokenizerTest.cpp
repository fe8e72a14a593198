#include "markup/model/Tokenizer.h"
#include "support/DialogTexts.h"
#include "support/GuardedInput.h"
#include "toolkit/CodePage.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <cstring>
#include <new>
#include <random>
#include <string>
#include <utility>
#include <vector>

// Every allocation of this test program passes here, so that a test can show
// that tokenizing allocates nothing.
namespace
{
std::atomic<bool> g_bCountAllocations(false);
std::atomic<long> g_nAllocations(0);
} // namespace

void* operator new(std::size_t nBytes)
{
    if (g_bCountAllocations)
        g_nAllocations++;
    void* p = HeapAlloc(GetProcessHeap(), 0, nBytes ? nBytes : 1);
    if (!p)
        throw std::bad_alloc();
    return p;
}

void operator delete(void* p) noexcept
{
    if (p)
        HeapFree(GetProcessHeap(), 0, p);
}

void operator delete(void* p, std::size_t) noexcept
{
    operator delete(p);
}

namespace
{
using T = CXTPMarkupTokenizer;

std::string Utf8(LPCWSTR psz)
{
    return XTPToMultiByte(psz, -1, CP_UTF8);
}

const char* const kKindNames[] = {"Error",      "End",        "StartTag",         "EndTag",        "Attribute",
                                  "Text",       "Whitespace", "SectionText",      "CommentStart",  "CommentEnd",
                                  "CDataStart", "CDataEnd",   "InstructionStart", "InstructionEnd"};

// One token as "Kind 'text' line:column"; the text is the tag name, the
// attribute's name=value, or the token text of the kinds that carry one.
std::string Describe(const T& tokenizer, T::TokenKind kind)
{
    std::string text;
    if (kind == T::TokenStartTag || kind == T::TokenEndTag)
        text = Utf8(tokenizer.GetTagName());
    else if (kind == T::TokenAttribute)
        text = Utf8(tokenizer.GetAttributeName()) + "=" + Utf8(tokenizer.GetTokenText());
    else if (kind == T::TokenText || kind == T::TokenWhitespace || kind == T::TokenSectionText || kind == T::TokenError)
        text = Utf8(tokenizer.GetTokenText());
    else
        return std::string(kKindNames[kind + 1]) + " " + std::to_string(tokenizer.GetLine()) + ":"
               + std::to_string(tokenizer.GetColumn());
    return std::string(kKindNames[kind + 1]) + " '" + text + "' " + std::to_string(tokenizer.GetLine()) + ":"
           + std::to_string(tokenizer.GetColumn());
}

// The whole stream up to the end or the first error, switching to UTF-8 on a
// declaration as the builder does.
std::vector<std::string> Tokenize(const std::string& bytes, UINT nCodePage = 0)
{
    CGuardedInput input(bytes);
    T tokenizer;
    tokenizer.SetCodePage(nCodePage);
    tokenizer.SetInput(input.Begin(), input.End());
    std::vector<std::string> tokens;
    for (;;)
    {
        const T::TokenKind kind = tokenizer.NextToken();
        tokens.push_back(Describe(tokenizer, kind));
        if (kind == T::TokenEnd || kind == T::TokenError)
            return tokens;
        if (kind == T::TokenInstructionEnd && tokenizer.DeclaresUtf8())
            tokenizer.SetCodePage(CP_UTF8);
    }
}

std::string Dump(const std::string& bytes, UINT nCodePage = 0)
{
    std::string dump;
    for (const std::string& token : Tokenize(bytes, nCodePage))
        dump += (dump.empty() ? "" : ", ") + token;
    return dump;
}

// The texts of the text tokens, in order.
std::vector<std::string> Texts(const std::string& bytes, UINT nCodePage = 0)
{
    std::vector<std::string> texts;
    for (const std::string& token : Tokenize(bytes, nCodePage))
    {
        if (token.compare(0, 6, "Text '") == 0)
            texts.push_back(token.substr(6, token.rfind('\'') - 6));
    }
    return texts;
}

std::string Repeat(const std::string& piece, int nTimes)
{
    std::string s;
    for (int i = 0; i < nTimes; i++)
        s += piece;
    return s;
}

const char kMiddle936[] = "\xD6\xD0"; // 中

} // namespace

TEST(Tokenizer, ContentSplitsAtEveryChangeOfWhitespaceAndBeforeEachEntity)
{
    EXPECT_EQ(Dump("a  b"), "Text 'a' 0:2, Whitespace '  ' 0:4, Text 'b' 0:4, End 0:4");
    EXPECT_EQ(Dump("x&amp;y&#65;&#x41;&nbsp;&#32;"), "Text 'x' 0:2, Text '&y' 0:8, Text 'A' 0:13, Text 'A' 0:19, "
                                                     "Text '&nbsp;' 0:25, Text ' ' 0:29, End 0:29");
    // Tabs, form feeds and both line ends are whitespace; other control characters are not.
    EXPECT_EQ(Dump("\t\f\r\n\x0B"), "Whitespace '\t\f\r\n' 1:1, Text '\x0B' 1:1, End 1:1");
}

TEST(Tokenizer, CrLfLoneCrAndLoneLfEachEndOneLine)
{
    const std::pair<const char*, const char*> cases[] = {
        {"<A\r\n/>", "StartTag 'A' 1:1, EndTag 'A' 1:2, End 1:2"},
        {"<A\r/>", "StartTag 'A' 1:1, EndTag 'A' 1:2, End 1:2"},
        {"<A\n/>", "StartTag 'A' 1:1, EndTag 'A' 1:2, End 1:2"},
        {"<A\n\r/>", "StartTag 'A' 2:1, EndTag 'A' 2:2, End 2:2"},
        {"<A\r\r\n\n/>", "StartTag 'A' 3:1, EndTag 'A' 3:2, End 3:2"},
        {"<A\r\n\r\n  x='1'/>", "StartTag 'A' 2:3, Attribute 'x=1' 2:7, EndTag 'A' 2:9, End 2:9"},
        {"<A>\r\n</A>", "StartTag 'A' 0:3, Whitespace '\r\n' 1:1, EndTag 'A' 1:4, End 1:4"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Dump(c.first), c.second) << c.first;
}

TEST(Tokenizer, EntitiesDecodeNamedAndNumericReferencesAndKeepUnknownOnesAsWritten)
{
    EXPECT_EQ(Texts("&lt;&gt;&apos;&quot;&amp;"), (std::vector<std::string>{"<", ">", "'", "\"", "&"}));
    // Numbers read as "%i" reads them, kept to 16 bits.
    EXPECT_EQ(Texts("&#0x41;&#0101;&#x110041;&#-65471;"), (std::vector<std::string>{"A", "A", "A", "A"}));
    // A zero or unreadable number, and case differences, are unknown.
    EXPECT_EQ(Texts("&#0;&#X41;&#;&#xZ;&AMP;&;"),
              (std::vector<std::string>{"&#0;", "&#X41;", "&#;", "&#xZ;", "&AMP;", "&;"}));
    // A name is cut after 31 characters and still closed; the rest is text.
    EXPECT_EQ(Texts("&" + std::string(40, 'a') + ";"),
              (std::vector<std::string>{"&" + std::string(31, 'a') + ";" + std::string(9, 'a') + ";"}));
    // Cut off by the end of the input.
    EXPECT_EQ(Texts("x&am"), (std::vector<std::string>{"x", "&am"}));

    class CWithNbsp : public T
    {
    public:
        WCHAR ResolveCharacterReference(LPCWSTR pszName, int nLength) override
        {
            return nLength == 4 && wcsncmp(pszName, L"nbsp", 4) == 0 ? 0xA0
                                                                     : T::ResolveCharacterReference(pszName, nLength);
        }
    };
    const char kText[] = "&nbsp;&#65;";
    CWithNbsp tokenizer;
    tokenizer.SetInput(kText, kText + strlen(kText));
    EXPECT_EQ(tokenizer.NextToken(), T::TokenText);
    EXPECT_STREQ(tokenizer.GetTokenText(), L"\xA0");
    EXPECT_EQ(tokenizer.NextToken(), T::TokenText);
    EXPECT_STREQ(tokenizer.GetTokenText(), L"A");
}

TEST(Tokenizer, TagsAndAttributesKeepTheirTextLiterally)
{
    EXPECT_EQ(Dump("<A X='1'Y=\"a&amp;'b\"/>"),
              "StartTag 'A' 0:4, Attribute 'X=1' 0:8, Attribute 'Y=a&amp;'b' 0:20, EndTag 'A' 0:22, End 0:22");
    EXPECT_EQ(Dump("<A>\r\n <B/>\n</A >"),
              "StartTag 'A' 0:3, Whitespace '\r\n ' 1:2, StartTag 'B' 1:4, EndTag 'B' 1:5, "
              "Whitespace '\n' 2:1, EndTag 'A' 2:5, End 2:5");
    // Empty names are the builder's to reject; so is a document type.
    EXPECT_EQ(Dump("<>< = ''/>"), "StartTag '' 0:2, StartTag '' 0:5, Attribute '=' 0:8, EndTag '' 0:10, End 0:10");
    EXPECT_EQ(Tokenize("<!DOCTYPE A x=''>")[0], "StartTag '!DOCTYPE' 0:11");
    // The end of the input inside an attribute name is a plain end.
    EXPECT_EQ(Dump("<A B"), "StartTag 'A' 0:4, End 0:4");
}

TEST(Tokenizer, MalformedTagsGiveTheirMessageWhereTheyWereFound)
{
    const char* const cases[][2] = {
        {"\n<A", "Error 'Unexpected end of file has occurred.' 1:2"},
        {"<A  ", "Error 'Unexpected end of file has occurred.' 0:4"},
        {"</A B>", "Error 'Unexpected token. The expected token is '>'' 0:5"},
        {"</A/>", "Error 'Unexpected token. The expected token is '>'' 0:4"},
        {"<A/x>", "Error 'Unexpected token. The expected token is '>'' 0:4"},
        {"<A B>", "Error ''>' is an unexpected token. The expected token is '='' 0:5"},
        {"<A\r\nB<", "Error ''<' is an unexpected token. The expected token is '='' 1:2"},
        {"<A B C='1'>", "Error 'Unexpected token. The expected token is '='' 0:6"},
        {"<A B \t", "Error 'Unexpected token. The expected token is '='' 0:6"},
        {"\r\n<A B=1>", "Error 'Unexpected token. The expected token is '\"' or '''' 1:6"},
        {"<A B='1", "Error 'Unexpected token. The expected token is '\"' or '''' 0:7"},
        {"<A B=\"1'>", "Error 'Unexpected token. The expected token is '\"' or '''' 0:9"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Tokenize(c[0]).back(), c[1]) << c[0];
}

TEST(Tokenizer, SectionsReturnTheirTextBetweenStartAndEnd)
{
    EXPECT_EQ(
        Dump("<!--a-b--><![CDATA[<x>]]]><?xml version = '1.0' ?>"),
        "CommentStart 0:4, SectionText 'a-b' 0:10, CommentEnd 0:10, CDataStart 0:19, SectionText '<x>]' 0:26, "
        "CDataEnd 0:26, InstructionStart 0:28, SectionText 'xmlversion='1.0'' 0:50, InstructionEnd 0:50, End 0:50");
    EXPECT_EQ(Dump("<!-- open"), "CommentStart 0:4, End 0:9");

    // Long sections come in pieces that join to the whole text, and a
    // terminator is found wherever the pieces happen to split it.
    for (int nLength = 1015; nLength < 1030; nLength++)
    {
        const std::string text = Repeat("-]?", 400).substr(0, nLength);
        for (const std::string& section : {"<!--" + text + "-->", "<![CDATA[" + text + "]]>", "<?" + text + "?>"})
        {
            const std::vector<std::string> tokens = Tokenize(section + "x");
            std::string joined;
            for (const std::string& token : tokens)
            {
                if (token.compare(0, 13, "SectionText '") == 0)
                    joined += token.substr(13, token.rfind('\'') - 13);
            }
            EXPECT_EQ(joined, text);
            EXPECT_EQ(tokens[tokens.size() - 2].substr(0, 8), "Text 'x'") << nLength;
        }
    }
}

TEST(Tokenizer, LongRunsAndNamesNeverOverflowTheirBuffers)
{
    // A paragraph without blanks comes as consecutive text tokens.
    EXPECT_EQ(Texts("<A>" + Repeat(kMiddle936, 2500) + "</A>"),
              (std::vector<std::string>{Repeat("中", 1023), Repeat("中", 1023), Repeat("中", 454)}));
    EXPECT_EQ(Tokenize(std::string(1500, ' '))[1], "Whitespace '" + std::string(477, ' ') + "' 0:1500");

    // Names are cut at 127 characters and values at 1023; reading goes on.
    const std::string name(300, 'N');
    const std::string value(5000, 'v');
    const std::string cutName = name.substr(0, 127);
    EXPECT_EQ(Tokenize("<" + name + " " + name + "='" + value + "' B='" + value + "\"'></" + name + ">"),
              (std::vector<std::string>{"StartTag '" + cutName + "' 0:303",
                                        "Attribute '" + cutName + "=" + value.substr(0, 1023) + "' 0:5605",
                                        "Attribute 'B=" + value.substr(0, 1023) + "' 0:10611",
                                        "EndTag '" + cutName + "' 0:10915", "End 0:10915"}));

    // Ten megabytes of text in one element.
    const std::string text = Repeat("some words&amp;more\r\n", 500000);
    CGuardedInput input("<A>" + text + "</A>");
    T tokenizer;
    tokenizer.SetInput(input.Begin(), input.End());
    size_t nCharacters = 0;
    int nTokens = 0;
    T::TokenKind kind;
    while ((kind = tokenizer.NextToken()) != T::TokenEnd && kind != T::TokenError)
    {
        if (kind == T::TokenText || kind == T::TokenWhitespace)
            nCharacters += tokenizer.GetTokenTextLength();
        nTokens++;
    }
    EXPECT_EQ(kind, T::TokenEnd);
    EXPECT_EQ(nCharacters, text.size() - 4 * 500000);
    EXPECT_EQ(nTokens, 5 * 500000 + 2);
    EXPECT_EQ(tokenizer.GetLine(), 500000);
}

TEST(Tokenizer, AnsiCodePageAndUtf8InputGiveTheSameTokens)
{
    ASSERT_EQ(GetACP(), 936u) << "the tests run with the Chinese ANSI code page";
    EXPECT_EQ(Dump("\xD6\xD0\xCE\xC4"), "Text '中文' 0:2, End 0:2");
    for (const std::string& cp936 :
         {std::string(kInfoMarkup), SampleResultPanelMarkup(), std::string(kButtonFaceMarkup)})
    {
        const std::string utf8 = Utf8FromCp936(cp936);
        const std::vector<std::string> expected = Tokenize(cp936);
        EXPECT_EQ(expected.back().substr(0, 3), "End");
        EXPECT_EQ(Tokenize(utf8, CP_UTF8), expected);
        // A byte-order mark selects UTF-8 and is not counted.
        EXPECT_EQ(Tokenize("\xEF\xBB\xBF" + utf8), expected);
    }
}

TEST(Tokenizer, OnlyAUtf8EncodingDeclarationSwitchesTheDecoder)
{
    const struct
    {
        const char* pszDeclaration;
        bool bUtf8;
    } cases[] = {
        {"<?xml version=\"1.0\" encoding=\"UTF-8\"?>", true},
        {"<?xml encoding = 'uTf-8' ?>", true},
        {"<?xml encoding='utf-16'?>", false},
        {"<?xml version='1.0'?>", false},
        {"<?xml encoding='utf?>", false},
        {"<?xml encoding?>", false},
    };
    for (const auto& c : cases)
    {
        // Read in code page 936 the bytes give one character, then a lead
        // byte cut off by the end of the input.
        const std::vector<std::string> tokens = Tokenize(std::string(c.pszDeclaration) + "\xE4\xB8\xAD");
        EXPECT_EQ(tokens[tokens.size() - 2].substr(0, 10), c.bUtf8 ? "Text '中'" : "Text '涓'") << c.pszDeclaration;
    }
}

TEST(Tokenizer, Utf8DecodesUpToFourBytesAndStopsAtInvalidOrCutOffSequences)
{
    EXPECT_EQ(Dump("\xC2\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80", CP_UTF8), "Text '©中\xF0\x9F\x98\x80' 0:4, End 0:4");
    // A stray continuation byte, a lead byte without its continuation bytes
    // or beyond the last character, and a sequence cut off by the end of the
    // input all end the input there.
    for (const char* pszEnding :
         {"\x80",
          "\xF0"
          "abc",
          "\xE4\xB8<", "\xF5\x80\x80\x80", "\xF4\x90\x80\x80", "\xC3", "\xE4\xB8", "\xF0\x9F\x98"})
        EXPECT_EQ(Dump(std::string("ab") + pszEnding, CP_UTF8), "Text 'ab' 0:2, End 0:2") << pszEnding;
    // Longer forms than needed, surrogates and the lead bytes no valid text
    // holds end it the same way, so "<" cannot come in disguised.
    for (const char* pszForbidden : {"\xC0\xBC", "\xC1\xBF", "\xE0\x80\xBC", "\xE0\x9F\xBF", "\xF0\x80\x80\xBC",
                                     "\xF0\x8F\xBF\xBF", "\xED\xA0\x80", "\xED\xBF\xBF", "\xED\xA0\xBD\xED\xB8\x80",
                                     "\xF5\x80\x80\x80", "\xF8\x88\x80\x80\x80", "\xFE", "\xFF"})
        EXPECT_EQ(Dump(std::string("<A>ab") + pszForbidden + "</A>", CP_UTF8),
                  "StartTag 'A' 0:3, Text 'ab' 0:5, End 0:5")
            << pszForbidden;
    // The shortest forms at each length's edges still decode.
    EXPECT_EQ(
        Dump("\xC2\x80\xDF\xBF\xE0\xA0\x80\xED\x9F\xBF\xEE\x80\x80\xF0\x90\x80\x80\xF4\x8F\xBF\xBF", CP_UTF8),
        "Text '\xC2\x80\xDF\xBF\xE0\xA0\x80\xED\x9F\xBF\xEE\x80\x80\xF0\x90\x80\x80\xF4\x8F\xBF\xBF' 0:9, End 0:9");
}

TEST(Tokenizer, DoubleByteInputStopsAtACutOffPairAndNeverSwallowsMarkup)
{
    EXPECT_EQ(Dump("ab\xD6"), "Text 'ab' 0:2, End 0:2");
    // A lead byte without a valid trail byte stands alone.
    EXPECT_EQ(Dump("<A>\x81</A>"), "StartTag 'A' 0:3, Text '?' 0:5, EndTag 'A' 0:8, End 0:8");
    // A NUL ends the input in both decoders.
    for (UINT nCodePage : {0u, UINT(CP_UTF8)})
        EXPECT_EQ(Dump(std::string("<A>x\0<B/></A>", 13), nCodePage), "StartTag 'A' 0:3, Text 'x' 0:4, End 0:4");
}

TEST(Tokenizer, SkipToFirstTagAcceptsOnlyBlanksBeforeTheRoot)
{
    const std::pair<std::string, bool> cases[] = {{" \r\n\t<A/>", true}, {"", false}, {"  ", false}, {" x<A/>", false}};
    for (const auto& c : cases)
    {
        CGuardedInput input(c.first);
        T tokenizer;
        tokenizer.SetInput(input.Begin(), input.End());
        const bool bFound = tokenizer.SkipToFirstTag();
        EXPECT_EQ(bFound, c.second) << c.first;
        if (bFound)
        {
            EXPECT_EQ(Describe(tokenizer, tokenizer.NextToken()), "StartTag 'A' 1:4");
        }
    }
}

TEST(Tokenizer, TokenizingAllocatesNothing)
{
    const std::string text = Repeat(kInfoMarkup, 50) + "<!--x--><![CDATA[y]]><?z?>&amp;&#65;";
    T tokenizer;
    g_nAllocations = 0;
    g_bCountAllocations = true;
    tokenizer.SetInput(text.data(), text.data() + text.size());
    int nTokens = 0;
    T::TokenKind kind;
    while ((kind = tokenizer.NextToken()) != T::TokenEnd && kind != T::TokenError)
        nTokens++;
    g_bCountAllocations = false;
    EXPECT_GT(nTokens, 1000);
    EXPECT_EQ(g_nAllocations.load(), 0);
}

// Mutated markup in both decoders: every run must end in an end or error token
// within a bounded number of tokens, with every buffer within its limit, and
// never read past its input (the guard page would fault).
TEST(Tokenizer, MutatedMarkupAlwaysEndsWithinItsInput)
{
    const std::string seeds[] = {kInfoMarkup, Utf8FromCp936(kInfoMarkup), SampleResultPanelMarkup(),
                                 Utf8FromCp936(kButtonFaceMarkup),
                                 "<?xml version='1.0' encoding='utf-8'?><A B='&amp;'><!--c--><![CDATA[d]]>&#65;e</A>"};
    const std::string pieces[] = {"<",
                                  ">",
                                  "/",
                                  "&",
                                  "'",
                                  "\"",
                                  "=",
                                  "<!--",
                                  "-->",
                                  "]]>",
                                  "<?",
                                  "?>",
                                  "\xE4",
                                  "\xF0\x9F",
                                  "\xD6",
                                  "\x81",
                                  std::string(1, '\0'),
                                  "&#x",
                                  " ",
                                  "\r\n"};
    std::mt19937 random(20240611);
    for (int nDocument = 0; nDocument < 3000; nDocument++)
    {
        std::string bytes = seeds[nDocument % 5];
        const int nMutations = 1 + static_cast<int>(random() % 8);
        for (int i = 0; i < nMutations && !bytes.empty(); i++)
        {
            const size_t at = random() % bytes.size();
            switch (random() % 5)
            {
            case 0: bytes[at] = static_cast<char>(random()); break;
            case 1: bytes.insert(at, pieces[random() % 20]); break;
            case 2: bytes.erase(at, 1 + random() % 16); break;
            case 3: bytes.resize(at); break;
            default: bytes.insert(at, bytes.substr(random() % bytes.size(), random() % 64)); break;
            }
        }
        if (nDocument % 10 == 9)
        {
            bytes.resize(random() % 2000);
            for (char& b : bytes)
                b = static_cast<char>(random());
        }

        CGuardedInput input(bytes);
        T tokenizer;
        tokenizer.SetCodePage(nDocument % 2 ? CP_UTF8 : 0);
        tokenizer.SetInput(input.Begin(), input.End());
        tokenizer.SkipToFirstTag();
        const size_t nLimit = 2 * bytes.size() + 4;
        size_t nTokens = 0;
        T::TokenKind kind;
        do
        {
            kind = tokenizer.NextToken();
            ASSERT_LE(tokenizer.GetTokenTextLength(), T::kMaxValueLength);
            ASSERT_EQ(wcslen(tokenizer.GetTokenText()), size_t(tokenizer.GetTokenTextLength()));
            ASSERT_LE(wcslen(tokenizer.GetTagName()), size_t(T::kMaxNameLength));
            ASSERT_LE(wcslen(tokenizer.GetAttributeName()), size_t(T::kMaxNameLength));
            ASSERT_LE(size_t(tokenizer.GetLine()) + tokenizer.GetColumn(), bytes.size());
            ASSERT_LE(++nTokens, nLimit) << "document " << nDocument << " does not end";
            if (kind == T::TokenInstructionEnd && tokenizer.DeclaresUtf8())
                tokenizer.SetCodePage(CP_UTF8);
        } while (kind != T::TokenEnd && kind != T::TokenError);
    }
}
