// Entry points looked up at run time.
#include "toolkit/OptionalFunction.h"

#include <gtest/gtest.h>

namespace
{
using PFNGETTICKCOUNT = DWORD(WINAPI*)();

TEST(OptionalFunctionTest, AnswersTheEntryPointOrNull)
{
    const HMODULE hKernel = ::GetModuleHandleA("kernel32.dll");
    const PFNGETTICKCOUNT pfn = XTPGetOptionalFunction<PFNGETTICKCOUNT>(hKernel, "GetTickCount");
    ASSERT_NE(nullptr, pfn);
    EXPECT_NE(0u, pfn());
    EXPECT_EQ(nullptr, XTPGetOptionalFunction<PFNGETTICKCOUNT>(hKernel, "NoSuchFunctionAnywhere"));
    EXPECT_EQ(nullptr, XTPGetOptionalFunction<PFNGETTICKCOUNT>(nullptr, "GetTickCount"));
}
} // namespace
