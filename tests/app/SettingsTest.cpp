#include "app/SyncController.h"

#include "SyncTestSupport.h"

#include <gtest/gtest.h>

using namespace std::string_literals;

namespace
{
// A controller started on a settings file, in a folder of its own.
class CStarted
{
public:
    explicit CStarted(const std::string& strFile)
    {
        if (!strFile.empty())
            m_folder.Write(strFile);
        m_controller.LoadSettings();
    }

    std::vector<int> Values() const
    {
        return {m_controller.m_bAutoRun, m_controller.m_bAutoSync, m_controller.m_nSyncSpan};
    }

    CSettingsFolder m_folder;
    CRecordingView m_view;
    CFakeSyncPlatform m_platform;
    CSyncController m_controller{m_view, m_platform};
};

using Values = std::vector<int>;
} // namespace

TEST(Settings, FirstStartUsesTheDefaultsOnlyAChangeCreatesTheFileAndSavedValuesLoadAgain)
{
    CStarted first("");
    EXPECT_EQ(first.Values(), (Values{0, 0, 0}));
    EXPECT_EQ(first.m_controller.GetServers().Describe(), CServerList().Describe());
    EXPECT_FALSE(first.m_folder.Exists());

    first.m_controller.m_nSyncSpan = 1;
    first.m_controller.OnIntervalChanged();
    EXPECT_EQ(first.m_folder.Read(), "[general]\r\nautorun=0\r\nautosync=0\r\nsyncspan=1\r\n");

    first.m_controller.m_bAutoRun = TRUE;
    first.m_controller.m_bAutoSync = TRUE;
    first.m_controller.m_nSyncSpan = 2;
    first.m_controller.SaveSettings();
    EXPECT_EQ(first.m_folder.Read(), "[general]\r\nautorun=1\r\nautosync=1\r\nsyncspan=2\r\n");
    EXPECT_EQ(CStarted(first.m_folder.Read()).Values(), (Values{1, 1, 2}));
}

TEST(Settings, AnIntervalOutsideTheListLeavesNoSelectionAndIsSavedAsMinusOne)
{
    for (const char* pszSpan : {"3", "-2", "99", "-1"})
    {
        CStarted started("[general]\r\nautosync=1\r\nsyncspan="s + pszSpan + "\r\n");
        EXPECT_EQ(started.m_controller.m_nSyncSpan, -1) << pszSpan;
        started.m_controller.OnAutoSyncChanged();
        EXPECT_EQ(started.m_folder.Read(), "[general]\r\nautosync=1\r\nsyncspan=-1\r\nautorun=0\r\n");
    }
}

TEST(Settings, GarbageReadsAsDefaultsAndIsLeftAsItIs)
{
    const struct
    {
        std::string strFile;
        Values expected;
    } cases[] = {
        {"[other]\r\nautorun=1\r\nautosync=1\r\nsyncspan=2\r\n", {0, 0, 0}},
        {"autorun=1\r\nautosync=1\r\n", {0, 0, 0}},
        {"[general]\r\nautorun=yes\r\nautosync=\r\nsyncspan=two\r\n", {0, 0, 0}},
        {"[general]\r\nautorun=1x\r\nautosync= 1 \r\nsyncspan=2 hours\r\n", {1, 1, 2}},
        // A check box knows only on and off.
        {"[general]\r\nautorun=7\r\nautosync=-3\r\n", {1, 1, 0}},
        {"\xff\xfe\x00garbage\r\n[general\r\n===\r\n"s, {0, 0, 0}},
    };
    for (const auto& c : cases)
    {
        CStarted started(c.strFile);
        EXPECT_EQ(started.Values(), c.expected) << c.strFile;
        EXPECT_EQ(started.m_folder.Read(), c.strFile);
    }
}

// What the value may hold is the server list's to judge.
TEST(Settings, TheServerKeyNamesOtherTimeServers)
{
    const std::string strDefault = CServerList().Describe();
    const struct
    {
        std::string strValue;
        std::string strServers;
    } cases[] = {
        {"127.0.0.1:4123 host:0", "127.0.0.1:4123"},
        {"", strDefault},
        // Cut off by the reading buffer: not trusted.
        {"127.0.0.1:4123 " + std::string(5000, 'a'), strDefault},
    };
    for (const auto& c : cases)
    {
        CStarted started("[general]\r\nserver=" + c.strValue + "\r\n");
        EXPECT_EQ(started.m_controller.GetServers().Describe(), c.strServers) << c.strValue;
    }
}

// A writable file beside the program stays the place, and keys it does not
// name are added.
TEST(Settings, AFileWithOnlyTheServerKeyKeepsItWhenSaved)
{
    CStarted started("[general]\r\nserver=10.1.2.3:1123\r\n");
    EXPECT_EQ(started.Values(), (Values{0, 0, 0}));
    EXPECT_EQ(started.m_controller.GetServers().Describe(), "10.1.2.3:1123");

    started.m_controller.m_bAutoSync = TRUE;
    started.m_controller.OnAutoSyncChanged();
    EXPECT_EQ(started.m_folder.Read(),
              "[general]\r\nserver=10.1.2.3:1123\r\nautorun=0\r\nautosync=1\r\nsyncspan=0\r\n");
    EXPECT_FALSE(FileExists(started.m_platform.UserFile()));
    EXPECT_TRUE(started.m_view.m_results.empty());
}

namespace
{
const char* const kNotSaved = u8"设置无法保存！请确认程序所在的文件夹可以写入。";
} // namespace

TEST(SettingsFallback, AReadOnlyFileSendsEveryKeyToTheUserFileWhichIsReadFirstFromThenOn)
{
    const std::string strProgramFile = "[general]\r\nserver=10.1.2.3:1123\r\nautosync=1\r\n[other]\r\nkept=yes\r\n";
    CStarted started(strProgramFile);
    ASSERT_TRUE(SetFileAttributesA(started.m_folder.File().c_str(), FILE_ATTRIBUTE_READONLY));
    started.m_controller.m_nSyncSpan = 2;
    started.m_controller.OnIntervalChanged();
    EXPECT_TRUE(started.m_view.m_results.empty());
    EXPECT_EQ(started.m_folder.Read(), strProgramFile);
    EXPECT_EQ(ReadWholeFile(started.m_platform.UserFile()),
              "[general]\r\nserver=10.1.2.3:1123\r\nautosync=1\r\nautorun=0\r\nsyncspan=2\r\n[other]\r\nkept=yes\r\n");

    // Read first even once the file beside the program could be written again.
    ASSERT_TRUE(SetFileAttributesA(started.m_folder.File().c_str(), FILE_ATTRIBUTE_NORMAL));
    started.m_controller.LoadSettings();
    EXPECT_EQ(started.Values(), (Values{0, 1, 2}));
    EXPECT_EQ(started.m_controller.GetServers().Describe(), "10.1.2.3:1123");
    started.m_controller.m_bAutoRun = TRUE;
    started.m_controller.SaveSettings();
    EXPECT_EQ(started.m_folder.Read(), strProgramFile);
    EXPECT_NE(ReadWholeFile(started.m_platform.UserFile()).find("autorun=1"), std::string::npos);
}

TEST(SettingsFallback, NeitherFileWritableIsSaidInTheResultPanel)
{
    CStarted started("[general]\r\nautosync=1\r\n");
    ASSERT_TRUE(SetFileAttributesA(started.m_folder.File().c_str(), FILE_ATTRIBUTE_READONLY));
    // A file where the per-user folder should be: the folder cannot be made.
    const std::string strBlocker =
        started.m_platform.m_strUserDir.substr(0, started.m_platform.m_strUserDir.size() - 1);
    std::ofstream(strBlocker) << "in the way";
    started.m_controller.m_bAutoRun = TRUE;
    started.m_controller.SaveSettings();
    EXPECT_EQ(started.m_view.m_results, std::vector<std::string>{Cp936FromUtf8(kNotSaved)});
    EXPECT_EQ(started.m_folder.Read(), "[general]\r\nautosync=1\r\n");
    EXPECT_EQ(started.m_controller.m_bAutoRun, TRUE);
    DeleteFileA(strBlocker.c_str());
}

// A folder named in letters the ANSI code page lacks (Korean on a Chinese
// system): the wide calls still find the file.
TEST(SettingsFallback, AFolderOutsideTheAnsiCodePageIsReadAndWritten)
{
    CSettingsFolder base;
    const std::wstring strDir = g_strModuleDir + L"\uc2dc\uacc4 \ud504\ub85c\uadf8\ub7a8\\";
    ASSERT_TRUE(CreateDirectoryW(strDir.c_str(), NULL));
    const std::wstring strFile = strDir + L"setting.ini";
    const std::string strText = "[general]\r\nautorun=1\r\nautosync=1\r\nsyncspan=1\r\nserver=127.0.0.1:4123\r\n";
    HANDLE hFile = CreateFileW(strFile.c_str(), GENERIC_WRITE, 0, NULL, CREATE_NEW, 0, NULL);
    DWORD dwWritten = 0;
    WriteFile(hFile, strText.data(), DWORD(strText.size()), &dwWritten, NULL);
    CloseHandle(hFile);

    g_strModuleDir = strDir;
    CRecordingView view;
    CFakeSyncPlatform platform;
    CSyncController controller(view, platform);
    controller.LoadSettings();
    EXPECT_EQ((Values{controller.m_bAutoRun, controller.m_bAutoSync, controller.m_nSyncSpan}), (Values{1, 1, 1}));
    EXPECT_EQ(controller.GetServers().Describe(), "127.0.0.1:4123");
    controller.m_nSyncSpan = 2;
    controller.SaveSettings();
    EXPECT_TRUE(view.m_results.empty());
    EXPECT_EQ(CSettingsStore(strDir, L"").ReadInt(L"syncspan", 0), 2);
    EXPECT_FALSE(FileExists(platform.UserFile()));

    DeleteFileW(strFile.c_str());
    RemoveDirectoryW(strDir.c_str());
}

// The user's folder comes from APPDATA when that names an existing folder by
// a full path, else from the shell, which gives the same folder here.
TEST(SettingsFallback, TheUserFolderIsReadFromTheEnvironmentWithTheShellAsFallback)
{
    wchar_t szSaved[MAX_PATH] = {};
    const bool bWasSet = GetEnvironmentVariableW(L"APPDATA", szSaved, MAX_PATH) > 0;
    wchar_t szTemp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, szTemp);
    const std::wstring strTemp = std::wstring(szTemp).substr(0, wcslen(szTemp) - 1);

    SetEnvironmentVariableW(L"APPDATA", nullptr);
    const std::wstring strFromShell = CSyncPlatform().UserSettingsDir();
    EXPECT_NE(std::wstring::npos, strFromShell.find(L"\\Horaleon\\")) << "without APPDATA";
    if (bWasSet)
    {
        SetEnvironmentVariableW(L"APPDATA", szSaved);
        EXPECT_EQ(strFromShell, CSyncPlatform().UserSettingsDir());
    }

    const struct
    {
        std::wstring strValue, strExpected;
    } kCases[] = {
        {strTemp, strTemp},
        {strTemp + L"\\", strTemp},
        {L"AppData", L""},
        {strTemp + L"\\no such folder", L""},
    };
    for (const auto& c : kCases)
    {
        SetEnvironmentVariableW(L"APPDATA", c.strValue.c_str());
        EXPECT_EQ(c.strExpected, CSyncPlatform::AppDataFromEnvironment()) << Utf8FromWide(c.strValue);
    }
    SetEnvironmentVariableW(L"APPDATA", bWasSet ? szSaved : nullptr);
}
