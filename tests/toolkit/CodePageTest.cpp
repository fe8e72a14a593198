// Conversions between UTF-16 and 8-bit code pages.
#include "toolkit/CodePage.h"

#include <gtest/gtest.h>

namespace
{
TEST(CodePageTest, ConversionsKeepTheTextAndLeaveOutOnlyTheTerminator)
{
    const struct
    {
        const char* pszBytes;
        int nLength;
        UINT nCodePage;
        std::wstring strWide;
    } cases[] = {
        {"\xd6\xd0\xce\xc4", -1, 936, L"\u4e2d\u6587"},
        {"\xe4\xb8\xad", 3, CP_UTF8, L"\u4e2d"},
        {"a\0b", 3, CP_UTF8, std::wstring(L"a\0b", 3)},
        {"abc", 2, 1252, L"ab"},
        {"", -1, CP_UTF8, L""},
        {nullptr, -1, CP_UTF8, L""},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.nCodePage);
        EXPECT_EQ(c.strWide, XTPToWide(c.pszBytes, c.nLength, c.nCodePage));
        const std::string strBytes =
            c.pszBytes ? std::string(c.pszBytes, c.nLength < 0 ? strlen(c.pszBytes) : size_t(c.nLength)) : "";
        EXPECT_EQ(strBytes, XTPToMultiByte(c.strWide.c_str(), static_cast<int>(c.strWide.size()), c.nCodePage));
        EXPECT_EQ(strBytes.substr(0, strBytes.find('\0')), XTPToMultiByte(c.strWide.c_str(), -1, c.nCodePage));
    }
}
} // namespace
