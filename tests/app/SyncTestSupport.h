// Stand-ins for the controller's window and platform, a settings folder of
// its own for each test (beside the program and per user), and the program's
// texts in code page 936.
#pragma once

#include "app/ClockPlatform.h"
#include "app/ModuleDir.h"
#include "app/SyncController.h"
#include "app/SyncPlatform.h"
#include "app/SyncView.h"
#include "support/DialogTexts.h"
#include "support/SntpResponder.h"
#include "toolkit/CodePage.h"

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <deque>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

// ANSI text as UTF-16, the way the platform's ANSI calls read it.
inline std::wstring WidenAnsi(const std::string& strText)
{
    return XTPToWide(strText.data(), int(strText.size()), CP_ACP);
}

inline std::string Utf8FromWide(const std::wstring& strText)
{
    return XTPToMultiByte(strText.data(), int(strText.size()), CP_UTF8);
}

// A fresh, unique folder name under the temporary folder, with a backslash.
inline std::string FreshTempFolder(const char* pszKind)
{
    static int s_nFolders = 0;
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    return std::string(temp) + "horaleon-" + pszKind + "-" + std::to_string(GetCurrentProcessId()) + "-"
           + std::to_string(++s_nFolders) + "\\";
}

inline bool FileExists(const std::string& strPath)
{
    return GetFileAttributesA(strPath.c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline std::string ReadWholeFile(const std::string& strPath)
{
    std::ostringstream text;
    text << std::ifstream(strPath, std::ios::binary).rdbuf();
    return text.str();
}

// Records what the controller shows; the worker's posted message is an
// event that WaitForSync turns into the window thread's OnSyncDone.
class CRecordingView : public CSyncView
{
public:
    CRecordingView() : m_hDone(CreateEventW(NULL, FALSE, FALSE, NULL)) {}
    ~CRecordingView() override { CloseHandle(m_hDone); }

    void ShowResult(LPCSTR pszMessage) override { m_results.push_back(pszMessage); }
    void EnableIntervalList(BOOL bEnable) override { m_listEnabled.push_back(bEnable); }
    void SetAutostartCheck(BOOL bChecked) override { m_autostartChecks.push_back(bChecked); }
    void SetBusy(BOOL bBusy) override { m_busy.push_back(bBusy); }
    void PostSyncDone() override
    {
        ++m_nPosted;
        SetEvent(m_hDone);
    }

    // Delivers the worker's message as the dialog would; false when none
    // came in time.
    bool WaitForSync(CSyncController& controller, DWORD dwTimeoutMs = 30000)
    {
        if (WaitForSingleObject(m_hDone, dwTimeoutMs) != WAIT_OBJECT_0)
            return false;
        controller.OnSyncDone();
        return true;
    }

    // The last result of the last synchronisation only.
    void Forget()
    {
        m_results.clear();
        m_busy.clear();
    }

    std::vector<std::string> m_results;
    std::vector<BOOL> m_listEnabled;
    std::vector<BOOL> m_autostartChecks;
    std::vector<BOOL> m_busy;
    std::atomic<int> m_nPosted{0};

private:
    HANDLE m_hDone;
};

// The real clock to read; setting it is only recorded.
class CFakeClock : public CClockPlatform
{
public:
    BOOL WriteClock(const SYSTEMTIME* pTime) override
    {
        m_written.push_back(*pTime);
        return m_bAccept;
    }

    BOOL m_bAccept = TRUE;
    std::vector<SYSTEMTIME> m_written;
};

// A platform whose tick count the test sets, and whose time query answers
// from a script once one is given.
class CFakeSyncPlatform : public CSyncPlatform
{
public:
    struct Answer
    {
        BOOL bAnswered;
        double dOffset;
        DWORD dwError = WSAETIMEDOUT; // when not answered
    };

    explicit CFakeSyncPlatform(CClockPlatform& clock = s_clock, LPCSTR pszRunKeyPath = kRunKeyPath)
        : CSyncPlatform(clock, HKEY_LOCAL_MACHINE, pszRunKeyPath), m_strUserDir(FreshTempFolder("user"))
    {
    }

    ~CFakeSyncPlatform() override
    {
        const std::string strFile = UserFile();
        SetFileAttributesA(strFile.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(strFile.c_str());
        RemoveDirectoryA(m_strUserDir.c_str());
    }

    std::wstring UserSettingsDir() override { return WidenAnsi(m_strUserDir); }
    std::string UserFile() const { return m_strUserDir + "setting.ini"; }

    BOOL IsElevated() override { return m_bElevated; }

    HRESULT RegisterTask(LPCWSTR pszName, const std::wstring& strXml) override
    {
        m_tasks.push_back(std::wstring(pszName) + L"+");
        m_strTaskXml = strXml;
        return m_hrTask;
    }

    HRESULT DeleteTask(LPCWSTR pszName) override
    {
        m_tasks.push_back(std::wstring(pszName) + L"-");
        return m_hrTask;
    }

    DWORD GetTickCount() override { return m_dwTick; }

    BOOL QueryServer(CSntpQuery& query, LPCSTR pszHost, USHORT nPort, SntpResult& result) override
    {
        ++m_nQueries;
        m_asked.push_back(std::string(pszHost) + ":" + std::to_string(nPort));
        if (!m_bScripted)
            return CSyncPlatform::QueryServer(query, pszHost, nPort, result);
        const Answer answer = m_answers.empty() ? Answer{FALSE, 0} : m_answers.front();
        if (!m_answers.empty())
            m_answers.pop_front();
        result.dOffset = answer.dOffset;
        SetLastError(answer.bAnswered ? 0 : answer.dwError);
        return answer.bAnswered;
    }

    BOOL SetClockTo(CSntpQuery& query, const CNtpStamp& target) override
    {
        ++m_nClockSets;
        return m_bScripted ? m_bClockSet : CSyncPlatform::SetClockTo(query, target);
    }

    BOOL RemoveRunValue(LPCSTR pszName) override
    {
        return m_bRefuseRemoval ? FALSE : CSyncPlatform::RemoveRunValue(pszName);
    }

    // One answer per query; when they run out, no answer.
    void Script(const std::vector<Answer>& answers, BOOL bClockSet = TRUE)
    {
        m_bScripted = true;
        m_answers.assign(answers.begin(), answers.end());
        m_bClockSet = bClockSet;
        m_nQueries = 0;
        m_asked.clear();
    }

    DWORD m_dwTick = 0;
    std::string m_strUserDir;
    BOOL m_bElevated = FALSE;
    HRESULT m_hrTask = S_OK;
    std::vector<std::wstring> m_tasks; // "name+" registered, "name-" deleted
    std::wstring m_strTaskXml;
    int m_nQueries = 0;
    std::vector<std::string> m_asked; // "host:port" of each attempt
    int m_nClockSets = 0;
    bool m_bRefuseRemoval = false;

private:
    static inline CFakeClock s_clock;
    bool m_bScripted = false;
    std::deque<Answer> m_answers;
    BOOL m_bClockSet = TRUE;
};

// A fresh folder under the temporary folder that stands in for the
// executable's folder while it lives. Each has its own name, so the
// platform's cache of settings files never serves an older one.
class CSettingsFolder
{
public:
    CSettingsFolder() : m_strSavedModuleDir(g_strModuleDir), m_strPath(FreshTempFolder("settings"))
    {
        CreateDirectoryA(m_strPath.c_str(), NULL);
        g_strModuleDir = WidenAnsi(m_strPath);
    }

    ~CSettingsFolder()
    {
        g_strModuleDir = m_strSavedModuleDir;
        SetFileAttributesA(File().c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(File().c_str());
        RemoveDirectoryA(m_strPath.c_str());
    }

    CSettingsFolder(const CSettingsFolder&) = delete;
    CSettingsFolder& operator=(const CSettingsFolder&) = delete;

    std::string File() const { return m_strPath + "setting.ini"; }
    bool Exists() const { return FileExists(File()); }

    std::string Read() const { return ReadWholeFile(File()); }

    void Write(const std::string& strText) const { std::ofstream(File(), std::ios::binary) << strText; }

private:
    std::wstring m_strSavedModuleDir;
    std::string m_strPath;
};

// A test server's clock dClockAhead seconds ahead of ours, its replies with
// the fault given and held back dwReplyDelayMs on their way.
inline CSntpResponder::Behaviour Serving(double dClockAhead, CSntpResponder::Fault fault = CSntpResponder::None,
                                         DWORD dwReplyDelayMs = 0)
{
    CSntpResponder::Behaviour behaviour;
    behaviour.dClockAhead = dClockAhead;
    behaviour.fault = fault;
    behaviour.dwReplyDelayMs = dwReplyDelayMs;
    return behaviour;
}

// Bytes as hex digits and a line end, as module_probe prints them.
inline std::string Hex(const std::string& strBytes)
{
    std::string strHex;
    char digits[3];
    for (unsigned char c : strBytes)
    {
        snprintf(digits, sizeof(digits), "%02x", c);
        strHex += digits;
    }
    return strHex + "\n";
}
