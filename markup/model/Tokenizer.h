// Splits 8-bit markup text into tokens for the object builder, widening each
// character to UTF-16 as it is read and keeping the line and column for error
// messages.
#pragma once

#include <windows.h>

class CXTPMarkupTokenizer
{
public:
    enum TokenKind
    {
        TokenError = -1,      // the message is the token text
        TokenEnd = 0,         // end of input
        TokenStartTag = 1,    // tag name
        TokenEndTag = 2,      // tag name; for "/>" the start tag's
        TokenAttribute = 3,   // attribute name and token text
        TokenText = 4,        // non-whitespace run, entities decoded
        TokenWhitespace = 5,  // whitespace run
        TokenSectionText = 6, // piece of comment, CDATA or instruction text
        TokenCommentStart = 7,
        TokenCommentEnd = 8,
        TokenCDataStart = 9,
        TokenCDataEnd = 10,
        TokenInstructionStart = 11,
        TokenInstructionEnd = 12, // the instruction's text stays the token text
    };

    // Longer names and attribute values are cut; longer text runs and
    // section texts come as several consecutive tokens.
    static constexpr int kMaxValueLength = 1023;
    static constexpr int kMaxNameLength = 127;

    CXTPMarkupTokenizer();
    virtual ~CXTPMarkupTokenizer() = default;
    CXTPMarkupTokenizer(const CXTPMarkupTokenizer&) = delete;
    CXTPMarkupTokenizer& operator=(const CXTPMarkupTokenizer&) = delete;

    // Reads the bytes from pText up to pEnd, never beyond. A UTF-8 byte-order
    // mark at the start is skipped and selects code page 65001.
    void SetInput(const char* pText, const char* pEnd);

    // Widening: 0 is the system ANSI code page, 65001 the built-in UTF-8
    // decoder; any other installed code page goes through the platform.
    void SetCodePage(UINT nCodePage);
    UINT GetCodePage() const { return m_nCodePage; }

    // Reads past leading whitespace; true when the first other character is "<".
    bool SkipToFirstTag();
    TokenKind NextToken();

    LPCWSTR GetTagName() const { return m_szTagName; }
    LPCWSTR GetAttributeName() const { return m_szAttributeName; }
    LPCWSTR GetTokenText() const { return m_szValue; }
    int GetTokenTextLength() const { return m_nValueLength; }

    // 0-based; a line ends with CR LF, a lone CR or a lone LF.
    int GetLine() const { return m_nLine; }
    int GetColumn() const { return m_nColumn; }

    // After TokenInstructionEnd: whether the instruction declares its encoding
    // as UTF-8 (encoding="utf-8" in any letter case).
    bool DeclaresUtf8() const;

    // The character an entity name other than lt, gt, amp, apos and quot
    // stands for, or 0 when unknown. This version reads numeric references.
    virtual WCHAR ResolveCharacterReference(LPCWSTR pszName, int nLength);

private:
    enum State
    {
        StateContent,
        StateAttributes,
        StateComment,
        StateCData,
        StateInstruction,
    };

    WCHAR ReadChar();
    WCHAR ReadNonWhitespace();
    void PushBack(WCHAR ch) { m_chPushedBack = ch; }
    WCHAR DecodeUtf8();
    WCHAR DecodeAnsi();

    TokenKind ReadContent();
    void ReadEntity();
    TokenKind ReadTag();
    TokenKind ReadAttribute();
    TokenKind ReadSection(LPCWSTR pszTerminator, int nTerminatorLength, TokenKind endKind);
    TokenKind Error(LPCWSTR pszMessage);

    State m_state = StateContent;
    WCHAR m_szValue[kMaxValueLength + 1];
    int m_nValueLength = 0;
    WCHAR m_szTagName[kMaxNameLength + 1];
    int m_nTagNameLength = 0;
    WCHAR m_szAttributeName[kMaxNameLength + 1];
    int m_nAttributeNameLength = 0;
    WCHAR m_chPushedBack = 0;
    bool m_bSectionEnd = false;
    int m_nLine = 0;
    int m_nColumn = 0;
    bool m_bAfterCarriageReturn = false;
    UINT m_nCodePage = 0;
    const BYTE* m_pEnd = nullptr;
    const BYTE* m_pPosition = nullptr;

    // The low half of a surrogate pair decoded from a four-byte UTF-8 sequence.
    WCHAR m_chPendingLow = 0;
    // Lead bytes of the current code page when it is a double-byte one.
    bool m_abLeadByte[256];
    // The tail of a full section piece that may begin its terminator.
    WCHAR m_szCarry[2];
    int m_nCarry = 0;
};
