#include "app/ProgramText.h"

#include "toolkit/CodePage.h"

std::wstring WidenProgramText(const char* pszText)
{
    return XTPToWide(pszText, -1, kProgramCodePage);
}
