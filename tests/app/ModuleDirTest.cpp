#include "app/ModuleDir.h"

#include "SyncTestSupport.h"
#include "support/ChildProcess.h"

#include <gtest/gtest.h>

#include <cstring>
#include <cwchar>

namespace
{
// 乗: in code page 936 its second byte is a backslash; 시계 has no code page
// 936 form at all.
const wchar_t* const kTrailBackslash = L"\u4e57";
const wchar_t* const kKorean = L"\uc2dc\uacc4";

const wchar_t* s_pszFakePath = L"";
DWORD s_dwFakeReturn = 0;

// Fills the buffer as a platform does with a path too long for it.
DWORD WINAPI FakeModuleFileName(HMODULE, LPWSTR pszBuffer, DWORD dwSize)
{
    const size_t nLength = wcslen(s_pszFakePath);
    memcpy(pszBuffer, s_pszFakePath, (nLength < dwSize ? nLength + 1 : dwSize) * sizeof(wchar_t));
    return s_dwFakeReturn;
}
} // namespace

TEST(ModuleDir, CutsAfterTheLastRealBackslash)
{
    const std::wstring strTrail = kTrailBackslash;
    const std::wstring strKorean = kKorean;
    const struct
    {
        std::wstring strPath;
        std::wstring strDir;
    } cases[] = {
        {L"C:\\Tools\\clockfix.exe", L"C:\\Tools\\"},
        {L"C:\\clockfix.exe", L"C:\\"},
        {L"clockfix.exe", L""},
        {L"", L""},
        {L"C:\\Tools\\" + strTrail + L".exe", L"C:\\Tools\\"},
        {L"C:\\" + strTrail + L"\\" + strTrail + strTrail + L".exe", L"C:\\" + strTrail + L"\\"},
        {L"C:\\Tools\\" + strTrail + L"\\", L"C:\\Tools\\" + strTrail + L"\\"},
        {L"D:\\" + strKorean + L"\\" + strKorean + L".exe", L"D:\\" + strKorean + L"\\"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DirectoryOfPath(c.strPath), c.strDir);
}

TEST(ModuleDir, APathThatFillsTheBufferIsTerminatedAndReported)
{
    const std::wstring strLong = L"C:\\" + std::wstring(250, L'd') + L"\\clockfix.exe";
    std::wstring strPath;

    // Older systems: the buffer filled to its last byte, no terminator.
    s_pszFakePath = strLong.c_str();
    s_dwFakeReturn = MAX_PATH;
    EXPECT_FALSE(ReadModulePath(strPath, &FakeModuleFileName));
    EXPECT_EQ(strPath, strLong.substr(0, MAX_PATH));

    const std::wstring strFits = L"C:\\" + std::wstring(240, L'd') + L"\\clockfix.exe";
    s_pszFakePath = strFits.c_str();
    s_dwFakeReturn = static_cast<DWORD>(strFits.size());
    EXPECT_TRUE(ReadModulePath(strPath, &FakeModuleFileName));
    EXPECT_EQ(strPath, strFits);

    ASSERT_TRUE(ReadModulePath(strPath));
    EXPECT_EQ(strPath, WidenAnsi(CChildProcess::BinDir() + "test_app.exe"));
}
