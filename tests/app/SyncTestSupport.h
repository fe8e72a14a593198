// Stand-ins for the controller's window and platform, a settings folder of
// its own for each test, and the program's texts in code page 936.
#pragma once

#include "app/ClockPlatform.h"
#include "app/ModuleDir.h"
#include "app/SyncController.h"
#include "app/SyncPlatform.h"
#include "app/SyncView.h"
#include "support/DialogTexts.h"

#include <windows.h>

#include <cstdio>
#include <deque>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

class CRecordingView : public CSyncView
{
public:
    void ShowResult(LPCSTR pszMessage) override { m_results.push_back(pszMessage); }
    void EnableIntervalList(BOOL bEnable) override { m_listEnabled.push_back(bEnable); }
    void SetAutostartCheck(BOOL bChecked) override { m_autostartChecks.push_back(bChecked); }

    std::vector<std::string> m_results;
    std::vector<BOOL> m_listEnabled;
    std::vector<BOOL> m_autostartChecks;
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
    };

    explicit CFakeSyncPlatform(CClockPlatform& clock = s_clock, LPCSTR pszRunKeyPath = kRunKeyPath)
        : CSyncPlatform(clock, HKEY_LOCAL_MACHINE, pszRunKeyPath)
    {
    }

    DWORD GetTickCount() override { return m_dwTick; }

    BOOL QueryServer(CSntpQuery& query, LPCSTR pszHost, USHORT nPort, SntpResult& result) override
    {
        ++m_nQueries;
        if (!m_bScripted)
            return CSyncPlatform::QueryServer(query, pszHost, nPort, result);
        const Answer answer = m_answers.empty() ? Answer{FALSE, 0} : m_answers.front();
        if (!m_answers.empty())
            m_answers.pop_front();
        result.dOffset = answer.dOffset;
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
    void Script(std::initializer_list<Answer> answers, BOOL bClockSet = TRUE)
    {
        m_bScripted = true;
        m_answers = answers;
        m_bClockSet = bClockSet;
        m_nQueries = 0;
    }

    DWORD m_dwTick = 0;
    int m_nQueries = 0;
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
    CSettingsFolder() : m_strSavedModuleDir(g_strModuleDir)
    {
        static int s_nFolders = 0;
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        m_strPath = std::string(temp) + "horaleon-settings-" + std::to_string(GetCurrentProcessId()) + "-"
                    + std::to_string(++s_nFolders) + "\\";
        CreateDirectoryA(m_strPath.c_str(), NULL);
        g_strModuleDir = m_strPath;
    }

    ~CSettingsFolder()
    {
        g_strModuleDir = m_strSavedModuleDir;
        DeleteFileA(File().c_str());
        RemoveDirectoryA(m_strPath.c_str());
    }

    CSettingsFolder(const CSettingsFolder&) = delete;
    CSettingsFolder& operator=(const CSettingsFolder&) = delete;

    std::string File() const { return m_strPath + "setting.ini"; }
    bool Exists() const { return GetFileAttributesA(File().c_str()) != INVALID_FILE_ATTRIBUTES; }

    std::string Read() const
    {
        std::ostringstream text;
        text << std::ifstream(File(), std::ios::binary).rdbuf();
        return text.str();
    }

    void Write(const std::string& strText) const { std::ofstream(File(), std::ios::binary) << strText; }

private:
    std::string m_strSavedModuleDir;
    std::string m_strPath;
};

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

// UTF-8 text as the program's code page 936 bytes, converted by the platform.
inline std::string Cp936(const char* pszUtf8)
{
    return Cp936FromUtf8(pszUtf8);
}
