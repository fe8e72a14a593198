#include "toolkit/ComPtr.h"
#include "toolkit/SystemLibrary.h"

#include <gtest/gtest.h>

#include <cwchar>

TEST(SystemLibrary, FindsFunctionsOfASystemDllAndNothingElse)
{
    using PFNCOMMANDLINETOARGVW = LPWSTR*(WINAPI*)(LPCWSTR, int*);
    {
        const CXTPSystemLibrary shell32(L"shell32.dll");
        const auto pfnParse = shell32.Get<PFNCOMMANDLINETOARGVW>("CommandLineToArgvW");
        ASSERT_NE(pfnParse, nullptr);
        int nArgs = 0;
        LPWSTR* ppArgs = pfnParse(L"a.exe \"b c\"", &nArgs);
        ASSERT_NE(ppArgs, nullptr);
        EXPECT_EQ(nArgs, 2);
        EXPECT_STREQ(ppArgs[1], L"b c");
        ::LocalFree(ppArgs);
        EXPECT_EQ(shell32.Get<FARPROC>("NoSuchFunction"), nullptr);
    }
    // DLLs the system directory does not hold give no functions.
    for (const wchar_t* pszName : {L"nosuch.dll", L"..\\nosuch.dll"})
        EXPECT_EQ(CXTPSystemLibrary(pszName).Get<FARPROC>("DllMain"), nullptr);
}

TEST(SystemLibrary, BstrHoldsTheTextWithItsLength)
{
    const struct
    {
        const wchar_t* pszText;
        UINT cbLength;
    } cases[] = {{L"\\", 2}, {L"clockfix", 16}, {L"", 0}};
    for (const auto& c : cases)
    {
        CXTPBstr bstr(c.pszText);
        BSTR b = bstr;
        ASSERT_NE(b, nullptr);
        EXPECT_STREQ(b, c.pszText);
        EXPECT_EQ(reinterpret_cast<const UINT*>(b)[-1], c.cbLength);
    }
    EXPECT_EQ(static_cast<BSTR>(CXTPBstr(nullptr)), nullptr);
}
