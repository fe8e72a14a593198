#include "app/Autostart.h"
#include "app/SyncController.h"
#include "app/TaskScheduler.h"

#include "SyncTestSupport.h"
#include "support/ChildProcess.h"

#include <gtest/gtest.h>

namespace
{
const char* const kName = CSyncController::kAutostartName;

// The machine's autostart value; empty when it is missing.
std::string ReadRunValue()
{
    char data[1024] = {};
    DWORD dwSize = sizeof(data) - 1;
    DWORD dwType = 0;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, CSyncPlatform::kRunKeyPath, kName, RRF_RT_ANY, &dwType, data, &dwSize)
        != ERROR_SUCCESS)
        return "";
    return dwType == REG_SZ ? data : "(not a string)";
}

std::wstring ReadRunValueW()
{
    wchar_t data[1024] = {};
    DWORD dwSize = sizeof(data) - sizeof(wchar_t);
    if (RegGetValueW(HKEY_LOCAL_MACHINE, WidenAnsi(CSyncPlatform::kRunKeyPath).c_str(), WidenAnsi(kName).c_str(),
                     RRF_RT_REG_SZ, NULL, data, &dwSize)
        != ERROR_SUCCESS)
        return L"";
    return data;
}

void WriteRunValue(const std::string& strData)
{
    HKEY hKey;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, CSyncPlatform::kRunKeyPath, 0, KEY_SET_VALUE, &hKey), ERROR_SUCCESS);
    if (strData.empty())
        RegDeleteValueA(hKey, kName);
    else
        RegSetValueExA(hKey, kName, 0, REG_SZ, reinterpret_cast<const BYTE*>(strData.c_str()),
                       static_cast<DWORD>(strData.size() + 1));
    RegCloseKey(hKey);
}

bool KeyExists(LPCSTR pszKeyPath)
{
    HKEY hKey;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, pszKeyPath, 0, KEY_QUERY_VALUE, &hKey) != ERROR_SUCCESS)
        return false;
    RegCloseKey(hKey);
    return true;
}

// Each test starts without the value and leaves it as the machine had it.
class AutostartTest : public testing::Test
{
protected:
    AutostartTest() : m_strBefore(ReadRunValue()) { WriteRunValue(""); }
    ~AutostartTest() override { WriteRunValue(m_strBefore); }

    const std::string m_strBefore;
    CSettingsFolder m_folder;
    CRecordingView m_view;
    CFakeSyncPlatform m_platform;
    CSyncController m_controller{m_view, m_platform};
};
} // namespace

TEST_F(AutostartTest, TheCheckBoxAddsTheQuotedPathAndRemovesItAgain)
{
    m_controller.m_bAutoRun = TRUE;
    m_controller.OnAutostartChanged();
    EXPECT_EQ(ReadRunValue(), "\"" + CChildProcess::BinDir() + "test_app.exe\"");
    EXPECT_EQ(m_folder.Read(), "[general]\r\nautorun=1\r\nautosync=0\r\nsyncspan=-1\r\n");

    m_controller.m_bAutoRun = FALSE;
    m_controller.OnAutostartChanged();
    EXPECT_EQ(ReadRunValue(), "");
    EXPECT_EQ(m_folder.Read(), "[general]\r\nautorun=0\r\nautosync=0\r\nsyncspan=-1\r\n");
    // Removing what is not there does nothing and is no failure.
    EXPECT_TRUE(m_controller.SetAutostart(FALSE, kName));
    EXPECT_TRUE(m_view.m_autostartChecks.empty());
}

TEST_F(AutostartTest, StartingNeverTouchesTheRegistry)
{
    m_folder.Write("[general]\r\nautorun=1\r\n");
    m_controller.Start();
    EXPECT_EQ(m_controller.m_bAutoRun, 1);
    EXPECT_EQ(ReadRunValue(), "");

    WriteRunValue("\"C:\\elsewhere\\clockfix.exe\"");
    CSettingsFolder folder;
    m_controller.Start();
    EXPECT_EQ(m_controller.m_bAutoRun, 0);
    EXPECT_EQ(ReadRunValue(), "\"C:\\elsewhere\\clockfix.exe\"");
}

TEST_F(AutostartTest, ARefusalPutsTheCheckBoxAndTheFileBackToWhatIsRegistered)
{
    // A key that cannot be opened, as for a user without rights to it.
    const char* const kMissing = "SOFTWARE\\Horaleon test missing\\Run\\";
    CFakeSyncPlatform refusing(CClockPlatform::System(), kMissing);
    CSyncController controller(m_view, refusing);
    controller.m_bAutoRun = TRUE;
    controller.m_bAutoSync = TRUE;
    controller.m_nSyncSpan = 2;
    controller.OnAutostartChanged();
    EXPECT_EQ(controller.m_bAutoRun, 0);
    EXPECT_EQ(m_view.m_autostartChecks, std::vector<BOOL>{FALSE});
    EXPECT_EQ(m_folder.Read(), "[general]\r\nautorun=0\r\nautosync=1\r\nsyncspan=2\r\n");
    // Adding only opens the key, never creates it.
    EXPECT_FALSE(KeyExists("SOFTWARE\\Horaleon test missing"));

    ASSERT_TRUE(m_controller.SetAutostart(TRUE, kName));
    m_platform.m_bRefuseRemoval = true;
    m_controller.m_bAutoRun = FALSE;
    m_controller.OnAutostartChanged();
    EXPECT_EQ(m_controller.m_bAutoRun, 1);
    EXPECT_EQ(m_view.m_autostartChecks, (std::vector<BOOL>{FALSE, TRUE}));
    EXPECT_EQ(m_folder.Read(), "[general]\r\nautorun=1\r\nautosync=0\r\nsyncspan=-1\r\n");
}

// Installed under a folder with spaces, a double-byte name whose second byte
// in code page 936 is a backslash, and letters that code page lacks (Korean).
// Unquoted, Windows would try "...\hlNNN.exe" first and start whatever is
// there; through the ANSI calls, the Korean letters would become '?'.
TEST_F(AutostartTest, TheRegisteredCommandStartsTheProgramWhereverItLives)
{
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring strStem = std::wstring(temp) + L"hl" + std::to_wstring(GetCurrentProcessId());
    const std::wstring strBase = strStem + L" Program Files\\";
    const std::wstring strDir = strBase + L"Horaleon \u6d4b\u8bd5 \uc2dc\uacc4\\"; // 测试 시계
    const std::wstring strExe = strDir + L"\u65f6\u949f\u4e57.exe";                // 时钟乗
    const std::wstring strDecoy = strStem + L".exe";
    const std::wstring strProbe = WidenAnsi(CChildProcess::BinDir() + "module_probe.exe");
    ASSERT_TRUE(CreateDirectoryW(strBase.c_str(), NULL));
    ASSERT_TRUE(CreateDirectoryW(strDir.c_str(), NULL));
    ASSERT_TRUE(CopyFileW(strProbe.c_str(), strExe.c_str(), TRUE));
    ASSERT_TRUE(CopyFileW(strProbe.c_str(), strDecoy.c_str(), TRUE));

    CChildProcess run;
    ASSERT_TRUE(run.RunCommandLine(L"\"" + strExe + L"\" add " + WidenAnsi(kName)));
    EXPECT_EQ(run.strOut, "1\n") << run.strErr;
    const std::wstring strCommand = ReadRunValueW();
    EXPECT_EQ(strCommand, L"\"" + strExe + L"\"");

    // Started the way the system starts it, the program finds its own folder.
    ASSERT_TRUE(run.RunCommandLine(strCommand + L" dir"));
    EXPECT_EQ(run.dwExitCode, 0u);
    EXPECT_EQ(run.strOut, Hex(Utf8FromWide(strDir)));

    ASSERT_TRUE(run.RunCommandLine(L"\"" + strExe + L"\" remove " + WidenAnsi(kName)));
    EXPECT_EQ(run.strOut, "1\n");
    EXPECT_EQ(ReadRunValue(), "");

    DeleteFileW(strDecoy.c_str());
    DeleteFileW(strExe.c_str());
    RemoveDirectoryW(strDir.c_str());
    RemoveDirectoryW(strBase.c_str());
}

TEST_F(AutostartTest, ElevatedTheBoxRegistersAndDeletesTheLogonTaskAndClearsTheRunValue)
{
    m_platform.m_bElevated = TRUE;
    WriteRunValue("\"C:\\old\\clockfix.exe\"");
    m_controller.m_bAutoRun = TRUE;
    m_controller.OnAutostartChanged();
    EXPECT_EQ(m_platform.m_tasks, std::vector<std::wstring>{L"clockfix+"});
    EXPECT_EQ(m_platform.m_strTaskXml,
              CAutostart::TaskXml(WidenAnsi(CChildProcess::BinDir() + "test_app.exe"), CAutostart::CurrentUserSid()));
    EXPECT_EQ(ReadRunValue(), "");
    EXPECT_EQ(m_controller.m_bAutoRun, TRUE);

    WriteRunValue("\"C:\\old\\clockfix.exe\"");
    m_controller.m_bAutoRun = FALSE;
    m_controller.OnAutostartChanged();
    EXPECT_EQ(m_platform.m_tasks, (std::vector<std::wstring>{L"clockfix+", L"clockfix-"}));
    EXPECT_EQ(ReadRunValue(), "");
    EXPECT_TRUE(m_view.m_autostartChecks.empty());

    // A scheduler that refuses puts the box back, and no Run value stands in.
    m_platform.m_hrTask = E_ACCESSDENIED;
    m_controller.m_bAutoRun = TRUE;
    m_controller.OnAutostartChanged();
    EXPECT_EQ(m_controller.m_bAutoRun, FALSE);
    EXPECT_EQ(m_view.m_autostartChecks, std::vector<BOOL>{FALSE});
    EXPECT_EQ(ReadRunValue(), "");
}

TEST(LogonTask, TheDefinitionStartsTheQuotedProgramAtLogonAtTheHighestLevel)
{
    const std::wstring strXml = CAutostart::TaskXml(L"C:\\R&D 'x' <y>\\\uc2dc\uacc4\\clockfix.exe", L"S-1-5-21-7");
    const wchar_t* const kParts[] = {
        L"<LogonTrigger>\r\n      <Enabled>true</Enabled>\r\n      <UserId>S-1-5-21-7</UserId>",
        L"<Principal id=\"Author\">\r\n      <UserId>S-1-5-21-7</UserId>",
        L"<LogonType>InteractiveToken</LogonType>",
        L"<RunLevel>HighestAvailable</RunLevel>",
        L"<DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>",
        L"<StopIfGoingOnBatteries>false</StopIfGoingOnBatteries>",
        L"<ExecutionTimeLimit>PT0S</ExecutionTimeLimit>",
        L"<Actions Context=\"Author\">",
        L"<Command>&quot;C:\\R&amp;D &apos;x&apos; &lt;y&gt;\\\uc2dc\uacc4\\clockfix.exe&quot;</Command>",
        L"<Arguments>/autostart</Arguments>",
    };
    for (const wchar_t* pszPart : kParts)
        EXPECT_NE(strXml.find(pszPart), std::wstring::npos) << Utf8FromWide(pszPart);
    EXPECT_EQ(strXml.find(L"R&D"), std::wstring::npos);
    EXPECT_EQ(CAutostart::CurrentUserSid().rfind(L"S-1-5-", 0), 0u);
}

TEST(LogonTask, OnlyTheAutostartArgumentMarksAStartAtLogon)
{
    const struct
    {
        const wchar_t* pszCommandLine;
        bool bAutostart;
    } cases[] = {
        {L"\"C:\\Program Files\\clockfix.exe\" /autostart", true},
        {L"clockfix.exe /AUTOSTART", true},
        {L"clockfix.exe", false},
        {L"\"C:\\a /autostart\\clockfix.exe\"", false},
        {L"clockfix.exe /autostartx", false},
        // Quotes split the word in the text but not in the argument.
        {L"clockfix.exe /auto\"\"start", true},
        {L"clockfix.exe \"/Auto\"Start", true},
        {L"clockfix.exe /auto\\start", false},
        {L"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CAutostart::IsAutostartCommandLine(c.pszCommandLine), c.bAutostart) << Utf8FromWide(c.pszCommandLine);
}

// The system's own scheduler: under Wine only the task's presence shows.
TEST(LogonTask, TheSchedulerKeepsTheTaskUntilItIsDeleted)
{
    const std::wstring strName = L"horaleon-test-" + std::to_wstring(GetCurrentProcessId());
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    const std::wstring strStored = std::wstring(system) + L"\\tasks\\" + strName;

    ASSERT_EQ(CTaskScheduler::Register(strName.c_str(),
                                       CAutostart::TaskXml(L"C:\\x\\clockfix.exe", CAutostart::CurrentUserSid())),
              S_OK);
    EXPECT_NE(GetFileAttributesW(strStored.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(CTaskScheduler::Delete(strName.c_str()), S_OK);
    EXPECT_EQ(GetFileAttributesW(strStored.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(CTaskScheduler::Delete(strName.c_str()), S_OK);
}
