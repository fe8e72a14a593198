#include "app/MarkupPlainText.h"

#include <cwchar>

namespace
{
struct Entity
{
    const wchar_t* pszName;
    wchar_t ch;
};
const Entity kEntities[] = {{L"lt;", L'<'}, {L"gt;", L'>'}, {L"amp;", L'&'}, {L"apos;", L'\''}, {L"quot;", L'"'}};
// Tags that put the text after them on a new line for readers.
const wchar_t* const kLineTags[] = {L"<TextBlock", L"</TextBlock", L"<LineBreak"};
} // namespace

std::wstring MarkupPlainText(const std::wstring& strMarkup)
{
    std::wstring strText;
    bool bNewLine = false; // a text block ended or began since the last text
    for (size_t i = 0; i < strMarkup.size(); ++i)
    {
        const wchar_t ch = strMarkup[i];
        if (ch == L'<')
        {
            const size_t nEnd = strMarkup.find(L'>', i);
            if (nEnd == std::wstring::npos)
                break;
            const std::wstring strTag = strMarkup.substr(i, nEnd - i);
            for (const wchar_t* pszBlock : kLineTags)
                bNewLine = bNewLine || strTag.compare(0, wcslen(pszBlock), pszBlock) == 0;
            i = nEnd;
            continue;
        }
        if (bNewLine && !strText.empty())
            strText += L"\r\n";
        bNewLine = false;
        if (ch == L'&')
        {
            bool bDecoded = false;
            for (const Entity& entity : kEntities)
            {
                if (strMarkup.compare(i + 1, wcslen(entity.pszName), entity.pszName) == 0)
                {
                    strText += entity.ch;
                    i += wcslen(entity.pszName);
                    bDecoded = true;
                    break;
                }
            }
            if (bDecoded)
                continue;
        }
        strText += ch;
    }
    return strText;
}
