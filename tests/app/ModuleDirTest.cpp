#include "app/ModuleDir.h"

#include "support/ChildProcess.h"

#include <gtest/gtest.h>

#include <cstring>

namespace
{
// 乗 in code page 936: its second byte is a backslash.
const char* const kTrailBackslash = "\x81\x5c";

const char* s_pszFakePath = "";
DWORD s_dwFakeReturn = 0;

// Fills the buffer as a platform does with a path too long for it.
DWORD WINAPI FakeModuleFileName(HMODULE, LPSTR pszBuffer, DWORD dwSize)
{
    const size_t nLength = strlen(s_pszFakePath);
    memcpy(pszBuffer, s_pszFakePath, nLength < dwSize ? nLength + 1 : dwSize);
    return s_dwFakeReturn;
}
} // namespace

TEST(ModuleDir, CutsAfterTheLastRealBackslash)
{
    const std::string strTrail = kTrailBackslash;
    const struct
    {
        std::string strPath;
        std::string strDir;
    } cases[] = {
        {"C:\\Tools\\clockfix.exe", "C:\\Tools\\"},
        {"C:\\clockfix.exe", "C:\\"},
        {"clockfix.exe", ""},
        {"", ""},
        {"C:\\Tools\\" + strTrail + ".exe", "C:\\Tools\\"},
        {"C:\\" + strTrail + "\\" + strTrail + strTrail + ".exe", "C:\\" + strTrail + "\\"},
        {"C:\\Tools\\" + strTrail + "\\", "C:\\Tools\\" + strTrail + "\\"},
        // A path cut inside a character ends in a lone lead byte.
        {"C:\\Tools\\a\x81", "C:\\Tools\\"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DirectoryOfPath(c.strPath.c_str()), c.strDir) << c.strPath;
}

TEST(ModuleDir, APathThatFillsTheBufferIsTerminatedAndReported)
{
    const std::string strLong = "C:\\" + std::string(250, 'd') + "\\clockfix.exe";
    std::string strPath;

    // Older systems: the buffer filled to its last byte, no terminator.
    s_pszFakePath = strLong.c_str();
    s_dwFakeReturn = MAX_PATH;
    EXPECT_FALSE(ReadModulePath(strPath, &FakeModuleFileName));
    EXPECT_EQ(strPath, strLong.substr(0, MAX_PATH));

    const std::string strFits = "C:\\" + std::string(240, 'd') + "\\clockfix.exe";
    s_pszFakePath = strFits.c_str();
    s_dwFakeReturn = static_cast<DWORD>(strFits.size());
    EXPECT_TRUE(ReadModulePath(strPath, &FakeModuleFileName));
    EXPECT_EQ(strPath, strFits);

    ASSERT_TRUE(ReadModulePath(strPath));
    EXPECT_EQ(strPath, CChildProcess::BinDir() + "test_app.exe");
}
