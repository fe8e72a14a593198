#include "markup/model/Tokenizer.h"

#include <cstring>
#include <cwchar>

namespace
{
// The messages of malformed markup, one per way it can be malformed.
enum MessageId
{
    MsgEndOfFile,
    MsgExpectedClose,
    MsgCloseForEquals,
    MsgOpenForEquals,
    MsgExpectedEquals,
    MsgExpectedQuote,
};

const LPCWSTR kMessages[] = {
    L"Unexpected end of file has occurred.",
    L"Unexpected token. The expected token is '>'",
    L"'>' is an unexpected token. The expected token is '='",
    L"'<' is an unexpected token. The expected token is '='",
    L"Unexpected token. The expected token is '='",
    L"Unexpected token. The expected token is '\"' or '''",
};

struct NamedEntity
{
    LPCWSTR pszName;
    int nLength;
    WCHAR ch;
};

const NamedEntity kNamedEntities[] = {
    {L"lt", 2, L'<'}, {L"gt", 2, L'>'}, {L"amp", 3, L'&'}, {L"apos", 4, L'\''}, {L"quot", 4, L'"'},
};

// Entity names are cut after this many characters.
const int kMaxEntityName = 31;

const WCHAR kCommentStart[] = L"!--";
const WCHAR kCDataStart[] = L"![CDATA[";

bool IsWhitespace(WCHAR ch)
{
    return ch == L' ' || ch == L'\n' || ch == L'\r' || ch == L'\t' || ch == L'\f';
}

int DigitValue(WCHAR ch)
{
    if (ch >= L'0' && ch <= L'9')
        return ch - L'0';
    if (ch >= L'a' && ch <= L'f')
        return ch - L'a' + 10;
    if (ch >= L'A' && ch <= L'F')
        return ch - L'A' + 10;
    return -1;
}

// Reads a number the way the C library's "%x" (base 16) and "%i" (base 0)
// conversions do: leading blanks, a sign, a 0x prefix, and for "%i" a leading
// 0 for octal; reading stops at the first character that is no digit. Done by
// hand so that a reference never depends on the C library's locale or
// allocates, and so that overflow simply wraps.
bool ScanNumber(LPCWSTR p, LPCWSTR pEnd, int nBase, unsigned& nValue)
{
    while (p < pEnd && (*p == L' ' || (*p >= L'\t' && *p <= L'\r')))
        p++;
    bool bNegative = false;
    if (p < pEnd && (*p == L'+' || *p == L'-'))
        bNegative = *p++ == L'-';
    if (nBase != 10 && pEnd - p >= 3 && p[0] == L'0' && (p[1] == L'x' || p[1] == L'X') && DigitValue(p[2]) >= 0)
    {
        nBase = 16;
        p += 2;
    }
    else if (nBase == 0)
        nBase = p < pEnd && *p == L'0' ? 8 : 10;

    unsigned n = 0;
    int nDigits = 0;
    for (; p < pEnd; p++, nDigits++)
    {
        const int nDigit = DigitValue(*p);
        if (nDigit < 0 || nDigit >= nBase)
            break;
        n = n * static_cast<unsigned>(nBase) + static_cast<unsigned>(nDigit);
    }
    if (nDigits == 0)
        return false;
    nValue = bNegative ? 0u - n : n;
    return true;
}
} // namespace

CXTPMarkupTokenizer::CXTPMarkupTokenizer()
{
    m_szValue[0] = 0;
    m_szTagName[0] = 0;
    m_szAttributeName[0] = 0;
    SetCodePage(0);
}

void CXTPMarkupTokenizer::SetInput(const char* pText, const char* pEnd)
{
    m_pPosition = reinterpret_cast<const BYTE*>(pText);
    m_pEnd = reinterpret_cast<const BYTE*>(pEnd);
    if (!pText || !pEnd || pEnd < pText)
        m_pPosition = m_pEnd = nullptr;

    // Editors put this mark before UTF-8 text; without it the text would be
    // read in the ANSI code page until its declaration and fail before that.
    if (m_pEnd - m_pPosition >= 3 && m_pPosition[0] == 0xEF && m_pPosition[1] == 0xBB && m_pPosition[2] == 0xBF)
    {
        m_pPosition += 3;
        SetCodePage(CP_UTF8);
    }

    m_state = StateContent;
    m_chPushedBack = 0;
    m_chPendingLow = 0;
    m_bSectionEnd = false;
    m_nCarry = 0;
    m_nLine = 0;
    m_nColumn = 0;
    m_bAfterCarriageReturn = false;
    m_nValueLength = m_nTagNameLength = m_nAttributeNameLength = 0;
    m_szValue[0] = m_szTagName[0] = m_szAttributeName[0] = 0;
}

void CXTPMarkupTokenizer::SetCodePage(UINT nCodePage)
{
    // The lead bytes are those of the code page the text is widened with, so
    // that the pair test and the conversion always agree.
    m_nCodePage = nCodePage;
    memset(m_abLeadByte, 0, sizeof(m_abLeadByte));
    CPINFO info;
    if (nCodePage == CP_UTF8 || !GetCPInfo(nCodePage, &info) || info.MaxCharSize < 2)
        return;
    for (int i = 0; i + 1 < MAX_LEADBYTES && info.LeadByte[i]; i += 2)
    {
        for (int b = info.LeadByte[i]; b <= info.LeadByte[i + 1]; b++)
            m_abLeadByte[b] = true;
    }
}

// One UTF-16 unit, or 0 at the end of the input. A byte that cannot start a
// character (a NUL, invalid or cut-off UTF-8, a cut-off double-byte pair)
// ends the input for good.
WCHAR CXTPMarkupTokenizer::ReadChar()
{
    WCHAR ch = m_chPushedBack;
    if (ch)
    {
        m_chPushedBack = 0;
        return ch;
    }
    if (m_chPendingLow)
    {
        ch = m_chPendingLow;
        m_chPendingLow = 0;
    }
    else
    {
        if (m_pPosition >= m_pEnd)
            return 0;
        const BYTE b = *m_pPosition;
        if (b != 0 && b < 0x80)
        {
            ch = b;
            m_pPosition++;
        }
        else
            ch = b == 0 ? 0 : m_nCodePage == CP_UTF8 ? DecodeUtf8() : DecodeAnsi();
        if (ch == 0)
        {
            m_pPosition = m_pEnd;
            return 0;
        }
    }

    // A line ends with CR, LF or the pair CR LF, which files saved on
    // Windows use: the LF of a pair starts no second line.
    if (ch == L'\n' && m_bAfterCarriageReturn)
        m_bAfterCarriageReturn = false;
    else if (ch == L'\r' || ch == L'\n')
    {
        m_nLine++;
        m_nColumn = 0;
        m_bAfterCarriageReturn = ch == L'\r';
    }
    else
    {
        m_nColumn++;
        m_bAfterCarriageReturn = false;
    }
    return ch;
}

WCHAR CXTPMarkupTokenizer::ReadNonWhitespace()
{
    WCHAR ch;
    do
        ch = ReadChar();
    while (IsWhitespace(ch));
    return ch;
}

// Only the shortest form of a character is valid: a longer one (C0 BC for
// "<") would carry markup past a caller that escaped it. A sequence whose
// following bytes are missing or are no continuation bytes is invalid, and so
// are a stray continuation byte, the lead bytes C0, C1 and F5 to FF, and the
// surrogate code points, which belong to UTF-16 alone.
WCHAR CXTPMarkupTokenizer::DecodeUtf8()
{
    // The smallest code point each sequence length may encode.
    static const unsigned kMinimum[] = {0, 0, 0x80, 0x800, 0x10000};
    const BYTE b = *m_pPosition;
    int nBytes;
    unsigned nChar;
    if (b >= 0xC2 && b <= 0xDF)
    {
        nBytes = 2;
        nChar = b & 0x1F;
    }
    else if (b >= 0xE0 && b <= 0xEF)
    {
        nBytes = 3;
        nChar = b & 0x0F;
    }
    else if (b >= 0xF0 && b <= 0xF4)
    {
        nBytes = 4;
        nChar = b & 0x07;
    }
    else
        return 0;

    if (m_pEnd - m_pPosition < nBytes)
        return 0;
    for (int i = 1; i < nBytes; i++)
    {
        const BYTE c = m_pPosition[i];
        if ((c & 0xC0) != 0x80)
            return 0;
        nChar = (nChar << 6) | (c & 0x3F);
    }
    if (nChar < kMinimum[nBytes] || nChar > 0x10FFFF || (nChar >= 0xD800 && nChar <= 0xDFFF))
        return 0;
    m_pPosition += nBytes;
    if (nBytes < 4)
        return static_cast<WCHAR>(nChar);

    // Beyond the first 64K characters: a surrogate pair, the low half next.
    nChar -= 0x10000;
    m_chPendingLow = static_cast<WCHAR>(0xDC00 | (nChar & 0x3FF));
    return static_cast<WCHAR>(0xD800 | (nChar >> 10));
}

WCHAR CXTPMarkupTokenizer::DecodeAnsi()
{
    const char* pBytes = reinterpret_cast<const char*>(m_pPosition);
    WCHAR szChars[2];
    if (m_abLeadByte[*m_pPosition])
    {
        if (m_pEnd - m_pPosition < 2)
            return 0;
        if (MultiByteToWideChar(m_nCodePage, MB_ERR_INVALID_CHARS, pBytes, 2, szChars, 2) == 1)
        {
            m_pPosition += 2;
            return szChars[0];
        }
        // No valid trail byte: the lead byte is converted alone (to the
        // default character) and the byte after it is read as a character of
        // its own, so that a following "<" or quote is never swallowed.
    }
    m_pPosition++;
    return MultiByteToWideChar(m_nCodePage, 0, pBytes, 1, szChars, 1) == 1 ? szChars[0] : 0;
}

bool CXTPMarkupTokenizer::SkipToFirstTag()
{
    const WCHAR ch = ReadNonWhitespace();
    if (ch != L'<')
        return false;
    PushBack(ch);
    return true;
}

CXTPMarkupTokenizer::TokenKind CXTPMarkupTokenizer::NextToken()
{
    switch (m_state)
    {
    case StateAttributes: return ReadAttribute();
    case StateComment: return ReadSection(L"-->", 3, TokenCommentEnd);
    case StateCData: return ReadSection(L"]]>", 3, TokenCDataEnd);
    case StateInstruction: return ReadSection(L"?>", 2, TokenInstructionEnd);
    case StateContent: break;
    }
    return ReadContent();
}

CXTPMarkupTokenizer::TokenKind CXTPMarkupTokenizer::ReadContent()
{
    WCHAR ch = ReadChar();
    if (ch == 0)
        return TokenEnd;
    if (ch == L'<')
        return ReadTag();

    m_nValueLength = 0;
    bool bWhitespace = false;
    if (ch == L'&')
        ReadEntity();
    else
    {
        bWhitespace = IsWhitespace(ch);
        m_szValue[m_nValueLength++] = ch;
    }

    // A full buffer ends the token; the run goes on in the next one.
    while (m_nValueLength < kMaxValueLength)
    {
        ch = ReadChar();
        if (ch == 0)
            break;
        if (ch == L'&' || ch == L'<' || IsWhitespace(ch) != bWhitespace)
        {
            PushBack(ch);
            break;
        }
        m_szValue[m_nValueLength++] = ch;
    }
    m_szValue[m_nValueLength] = 0;
    return bWhitespace ? TokenWhitespace : TokenText;
}

// Decodes the entity after "&" into the value buffer. An unknown entity is
// kept as written, closed with ";" even when its name was cut; one cut off by
// the end of the input is kept without it.
void CXTPMarkupTokenizer::ReadEntity()
{
    WCHAR szName[kMaxEntityName + 1];
    int nLength = 0;
    bool bAtEnd = false;
    while (nLength < kMaxEntityName)
    {
        const WCHAR ch = ReadChar();
        if (ch == 0)
            bAtEnd = true;
        if (ch == 0 || ch == L';')
            break;
        szName[nLength++] = ch;
    }
    szName[nLength] = 0;

    if (!bAtEnd)
    {
        for (const NamedEntity& entity : kNamedEntities)
        {
            if (nLength == entity.nLength && wmemcmp(szName, entity.pszName, nLength) == 0)
            {
                m_szValue[m_nValueLength++] = entity.ch;
                return;
            }
        }
        const WCHAR ch = ResolveCharacterReference(szName, nLength);
        if (ch)
        {
            m_szValue[m_nValueLength++] = ch;
            return;
        }
    }

    m_szValue[m_nValueLength++] = L'&';
    wmemcpy(m_szValue + m_nValueLength, szName, nLength);
    m_nValueLength += nLength;
    if (!bAtEnd)
        m_szValue[m_nValueLength++] = L';';
}

WCHAR CXTPMarkupTokenizer::ResolveCharacterReference(LPCWSTR pszName, int nLength)
{
    if (nLength < 1 || pszName[0] != L'#')
        return 0;
    const LPCWSTR pEnd = pszName + nLength;
    unsigned nValue = 0;
    const bool bRead = nLength > 2 && pszName[1] == L'x' ? ScanNumber(pszName + 2, pEnd, 16, nValue)
                                                         : ScanNumber(pszName + 1, pEnd, 0, nValue);
    // Kept to 16 bits; 0 means unknown.
    return bRead ? static_cast<WCHAR>(nValue) : 0;
}

CXTPMarkupTokenizer::TokenKind CXTPMarkupTokenizer::ReadTag()
{
    WCHAR ch = ReadChar();
    if (ch == L'?')
    {
        m_state = StateInstruction;
        m_bSectionEnd = false;
        m_nCarry = 0;
        return TokenInstructionStart;
    }
    const bool bEndTag = ch == L'/';
    if (bEndTag)
        ch = ReadChar();

    m_nTagNameLength = 0;
    m_szTagName[0] = 0;
    for (;; ch = ReadChar())
    {
        if (ch == 0)
            return Error(kMessages[MsgEndOfFile]);
        if (IsWhitespace(ch))
        {
            ch = ReadNonWhitespace();
            if (ch == 0)
                return Error(kMessages[MsgEndOfFile]);
            break;
        }
        if (ch == L'/' || ch == L'>')
            break;
        if (m_nTagNameLength == kMaxNameLength)
            continue;

        m_szTagName[m_nTagNameLength++] = ch;
        m_szTagName[m_nTagNameLength] = 0;
        if (m_nTagNameLength == 3 && wmemcmp(m_szTagName, kCommentStart, 3) == 0)
            m_state = StateComment;
        else if (m_nTagNameLength == 8 && wmemcmp(m_szTagName, kCDataStart, 8) == 0)
            m_state = StateCData;
        else
            continue;
        m_bSectionEnd = false;
        m_nCarry = 0;
        return m_state == StateComment ? TokenCommentStart : TokenCDataStart;
    }

    if (bEndTag)
        return ch == L'>' ? TokenEndTag : Error(kMessages[MsgExpectedClose]);
    PushBack(ch);
    m_state = StateAttributes;
    return TokenStartTag;
}

CXTPMarkupTokenizer::TokenKind CXTPMarkupTokenizer::ReadAttribute()
{
    WCHAR ch = ReadNonWhitespace();
    if (ch == L'>')
    {
        m_state = StateContent;
        return ReadContent();
    }
    if (ch == L'/')
    {
        ch = ReadChar();
        if (ch == L'>')
        {
            m_state = StateContent;
            return TokenEndTag;
        }
        PushBack(ch);
        return Error(kMessages[MsgExpectedClose]);
    }

    m_nAttributeNameLength = 0;
    for (;; ch = ReadChar())
    {
        if (ch == 0)
        {
            m_szAttributeName[m_nAttributeNameLength] = 0;
            return TokenEnd;
        }
        if (ch == L'=')
            break;
        if (ch == L'>')
            return Error(kMessages[MsgCloseForEquals]);
        if (ch == L'<')
            return Error(kMessages[MsgOpenForEquals]);
        if (IsWhitespace(ch))
        {
            if (ReadNonWhitespace() != L'=')
                return Error(kMessages[MsgExpectedEquals]);
            break;
        }
        if (m_nAttributeNameLength < kMaxNameLength)
            m_szAttributeName[m_nAttributeNameLength++] = ch;
    }
    m_szAttributeName[m_nAttributeNameLength] = 0;

    const WCHAR chQuote = ReadNonWhitespace();
    if (chQuote != L'"' && chQuote != L'\'')
        return Error(kMessages[MsgExpectedQuote]);
    m_nValueLength = 0;
    for (;;)
    {
        ch = ReadChar();
        if (ch == 0)
            return Error(kMessages[MsgExpectedQuote]);
        if (ch == chQuote)
            break;
        if (m_nValueLength < kMaxValueLength)
            m_szValue[m_nValueLength++] = ch;
    }
    m_szValue[m_nValueLength] = 0;
    return TokenAttribute;
}

// Comment, CDATA and instruction text up to the terminator, in pieces of at
// most a full buffer; the call after the last piece returns the end token.
CXTPMarkupTokenizer::TokenKind CXTPMarkupTokenizer::ReadSection(LPCWSTR pszTerminator, int nTerminatorLength,
                                                                TokenKind endKind)
{
    if (m_bSectionEnd)
    {
        m_bSectionEnd = false;
        m_state = StateContent;
        return endKind;
    }

    const bool bDropWhitespace = m_state == StateInstruction;
    wmemcpy(m_szValue, m_szCarry, m_nCarry);
    m_nValueLength = m_nCarry;
    m_nCarry = 0;
    for (;;)
    {
        const WCHAR ch = ReadChar();
        if (ch == 0)
        {
            m_szValue[m_nValueLength] = 0;
            return TokenEnd;
        }
        if (bDropWhitespace && IsWhitespace(ch))
            continue;
        m_szValue[m_nValueLength++] = ch;
        if (m_nValueLength >= nTerminatorLength
            && wmemcmp(m_szValue + m_nValueLength - nTerminatorLength, pszTerminator, nTerminatorLength) == 0)
        {
            m_nValueLength -= nTerminatorLength;
            m_bSectionEnd = true;
            break;
        }
        if (m_nValueLength == kMaxValueLength)
        {
            // The last characters may begin a terminator that the next piece
            // completes: they open the next piece instead of ending this one.
            m_nCarry = nTerminatorLength - 1;
            m_nValueLength -= m_nCarry;
            wmemcpy(m_szCarry, m_szValue + m_nValueLength, m_nCarry);
            break;
        }
    }
    m_szValue[m_nValueLength] = 0;
    return TokenSectionText;
}

bool CXTPMarkupTokenizer::DeclaresUtf8() const
{
    // The declaration's blanks are gone: encoding="utf-8" has its value five
    // characters from ten characters after the start of the word.
    const LPCWSTR pszEncoding = wcsstr(m_szValue, L"encoding");
    if (!pszEncoding)
        return false;
    const int nStart = static_cast<int>(pszEncoding - m_szValue) + 10;
    if (nStart + 5 > m_nValueLength)
        return false;
    static const char kUtf8[] = "utf-8";
    for (int i = 0; i < 5; i++)
    {
        WCHAR ch = m_szValue[nStart + i];
        if (ch >= L'A' && ch <= L'Z')
            ch = static_cast<WCHAR>(ch - L'A' + L'a');
        if (ch != static_cast<WCHAR>(kUtf8[i]))
            return false;
    }
    return true;
}

CXTPMarkupTokenizer::TokenKind CXTPMarkupTokenizer::Error(LPCWSTR pszMessage)
{
    m_nValueLength = 0;
    while (pszMessage[m_nValueLength] && m_nValueLength < kMaxValueLength)
    {
        m_szValue[m_nValueLength] = pszMessage[m_nValueLength];
        m_nValueLength++;
    }
    m_szValue[m_nValueLength] = 0;
    return TokenError;
}
