#include <windows.h>

#include <gtest/gtest.h>

// The program's 8-bit texts are code page 936; the tests run where that is
// the ANSI code page, as on the systems the program is written for.
TEST(Environment, AnsiCodePageIsSimplifiedChinese)
{
    EXPECT_EQ(GetACP(), 936u);
}
