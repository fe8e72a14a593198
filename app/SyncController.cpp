#include "app/SyncController.h"

#include "app/ModuleDir.h"
#include "app/SntpQuery.h"
#include "app/SyncPlatform.h"
#include "app/SyncView.h"

#include <winsock2.h>

#include <cmath>
#include <cstdio>
#include <cstring>

namespace
{
const char* const kSettingsFile = "setting.ini";
const char* const kSection = "general";
const char* const kAutoRunKey = "autorun";
const char* const kAutoSyncKey = "autosync";
const char* const kSyncSpanKey = "syncspan";
const char* const kServerKey = "server";

const char* const kOffsetMark = "%.04f";

// Code page 936 bytes, by CSyncController::ResultKind.
const char* const kResultTexts[CSyncController::ResultKindCount] = {
    // 校时失败！无法与授时服务器建立链接，请确认您是否已经联网！
    "\xd0\xa3\xca\xb1\xca\xa7\xb0\xdc\xa3\xa1\xce\xde\xb7\xa8\xd3\xeb\xca\xda\xca\xb1\xb7\xfe\xce\xf1\xc6\xf7"
    "\xbd\xa8\xc1\xa2\xc1\xb4\xbd\xd3\xa3\xac\xc7\xeb\xc8\xb7\xc8\xcf\xc4\xfa\xca\xc7\xb7\xf1\xd2\xd1\xbe\xad"
    "\xc1\xaa\xcd\xf8\xa3\xa1",
    // 已经成功校时！您的系统时间比标准时间快了<Run Foreground='Red' FontWeight='Bold'>%.04f</Run>秒！
    "\xd2\xd1\xbe\xad\xb3\xc9\xb9\xa6\xd0\xa3\xca\xb1\xa3\xa1\xc4\xfa\xb5\xc4\xcf\xb5\xcd\xb3\xca\xb1\xbc\xe4"
    "\xb1\xc8\xb1\xea\xd7\xbc\xca\xb1\xbc\xe4\xbf\xec\xc1\xcb"
    "<Run Foreground='Red' FontWeight='Bold'>%.04f</Run>"
    "\xc3\xeb\xa3\xa1",
    // 已经成功校时！您的系统时间比标准时间慢了<Run Foreground='Red' FontWeight='Bold'>%.04f</Run>秒！
    "\xd2\xd1\xbe\xad\xb3\xc9\xb9\xa6\xd0\xa3\xca\xb1\xa3\xa1\xc4\xfa\xb5\xc4\xcf\xb5\xcd\xb3\xca\xb1\xbc\xe4"
    "\xb1\xc8\xb1\xea\xd7\xbc\xca\xb1\xbc\xe4\xc2\xfd\xc1\xcb"
    "<Run Foreground='Red' FontWeight='Bold'>%.04f</Run>"
    "\xc3\xeb\xa3\xa1",
    // 更新本机系统时间失败！您的系统时间比标准时间快了<Run Foreground='Red' FontWeight='Bold'>%.04f</Run>秒！
    "\xb8\xfc\xd0\xc2\xb1\xbe\xbb\xfa\xcf\xb5\xcd\xb3\xca\xb1\xbc\xe4\xca\xa7\xb0\xdc\xa3\xa1\xc4\xfa\xb5\xc4"
    "\xcf\xb5\xcd\xb3\xca\xb1\xbc\xe4\xb1\xc8\xb1\xea\xd7\xbc\xca\xb1\xbc\xe4\xbf\xec\xc1\xcb"
    "<Run Foreground='Red' FontWeight='Bold'>%.04f</Run>"
    "\xc3\xeb\xa3\xa1",
    // 更新本机系统时间失败！您的系统时间比标准时间慢了<Run Foreground='Red' FontWeight='Bold'>%.04f</Run>秒！
    "\xb8\xfc\xd0\xc2\xb1\xbe\xbb\xfa\xcf\xb5\xcd\xb3\xca\xb1\xbc\xe4\xca\xa7\xb0\xdc\xa3\xa1\xc4\xfa\xb5\xc4"
    "\xcf\xb5\xcd\xb3\xca\xb1\xbc\xe4\xb1\xc8\xb1\xea\xd7\xbc\xca\xb1\xbc\xe4\xc2\xfd\xc1\xcb"
    "<Run Foreground='Red' FontWeight='Bold'>%.04f</Run>"
    "\xc3\xeb\xa3\xa1",
};

// 正在与授时服务器校时，请稍候…
const char* const kBusyText =
    "\xd5\xfd\xd4\xda\xd3\xeb\xca\xda\xca\xb1\xb7\xfe\xce\xf1\xc6\xf7\xd0\xa3\xca\xb1\xa3\xac\xc7\xeb"
    "\xc9\xd4\xba\xf2\xa1\xad";

// Milliseconds, by interval list index.
const DWORD kIntervalsMs[] = {
    30 * 60 * 1000,  // every 30 minutes
    60 * 60 * 1000,  // every hour
    120 * 60 * 1000, // every 2 hours
};
const int kIntervalCount = sizeof(kIntervalsMs) / sizeof(kIntervalsMs[0]);
} // namespace

CSyncController::CSyncController(CSyncView& view, CSyncPlatform& platform)
    : m_view(view), m_platform(platform), m_worker(platform)
{
}

void CSyncController::Start()
{
    // A failure here only makes every query fail, which the user then sees.
    WSADATA wsaData;
    ::WSAStartup(MAKEWORD(2, 0), &wsaData);
    LoadSettings();
}

std::string CSyncController::SettingsPath() const
{
    return g_strModuleDir + kSettingsFile;
}

void CSyncController::LoadSettings()
{
    const std::string strPath = SettingsPath();
    const LPCSTR pszPath = strPath.c_str();
    // Check boxes know only on and off; other numbers mean on.
    m_bAutoRun = ::GetPrivateProfileIntA(kSection, kAutoRunKey, 0, pszPath) != 0;
    m_bAutoSync = ::GetPrivateProfileIntA(kSection, kAutoSyncKey, 0, pszPath) != 0;
    const int nSyncSpan = static_cast<int>(::GetPrivateProfileIntA(kSection, kSyncSpanKey, 0, pszPath));
    m_nSyncSpan = IntervalOf(nSyncSpan) != 0 ? nSyncSpan : -1;
    LoadServer(strPath);
}

void CSyncController::LoadServer(const std::string& strPath)
{
    m_servers = CServerList();
    char text[4096] = {};
    const DWORD dwLength = ::GetPrivateProfileStringA(kSection, kServerKey, "", text, sizeof(text), strPath.c_str());
    // A value cut off by the buffer could name a server the user never meant.
    if (dwLength > 0 && dwLength < sizeof(text) - 1)
        m_servers.Parse(text);
}

void CSyncController::SaveSettings()
{
    const std::string strPath = SettingsPath();
    const struct
    {
        LPCSTR pszKey;
        int nValue;
    } values[] = {
        {kAutoRunKey, m_bAutoRun},
        {kAutoSyncKey, m_bAutoSync},
        {kSyncSpanKey, m_nSyncSpan},
    };
    for (const auto& value : values)
    {
        char text[16];
        snprintf(text, sizeof(text), "%d", value.nValue);
        ::WritePrivateProfileStringA(kSection, value.pszKey, text, strPath.c_str());
    }
}

BOOL CSyncController::SetAutostart(BOOL bAdd, LPCSTR pszName)
{
    if (!bAdd)
        return m_platform.RemoveRunValue(pszName);

    std::string strPath;
    if (!ReadModulePath(strPath))
    {
        // A cut-off path would start nothing, or something else.
        ::SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return FALSE;
    }
    // Quoted: unquoted, a path with spaces lets Windows start "C:\Program.exe".
    const std::string strCommand = "\"" + strPath + "\"";
    return m_platform.AddRunValue(pszName, strCommand.c_str());
}

DWORD CSyncController::IntervalOf(int nSyncSpan)
{
    return nSyncSpan >= 0 && nSyncSpan < kIntervalCount ? kIntervalsMs[nSyncSpan] : 0;
}

void CSyncController::OnTick()
{
    // A tick that finds a synchronisation running waits for the next one.
    if (!m_bAutoSync || m_worker.IsBusy())
        return;
    const DWORD dwInterval = IntervalOf(m_nSyncSpan);
    // Unsigned: the difference stays right across the wrap of the tick count.
    const DWORD dwElapsed = m_platform.GetTickCount() - m_dwLastAutoSync;
    if (dwInterval == 0 || dwElapsed < dwInterval)
        return;
    m_dwLastAutoSync = m_platform.GetTickCount();
    SyncNow();
}

void CSyncController::SyncNow()
{
    if (m_worker.IsBusy())
        return;
    m_view.SetBusy(TRUE);
    ShowResult(kBusyText);
    CSyncView& view = m_view;
    m_worker.Start(m_servers, [&view] { view.PostSyncDone(); });
}

void CSyncController::OnSyncDone()
{
    // A message left over from a synchronisation already cancelled.
    if (!m_worker.IsBusy())
        return;
    const CSyncWorker::Outcome outcome = m_worker.Finish(m_servers);
    if (!outcome.bAnswered)
        ShowResult(FormatResult(NoAnswer, 0).c_str());
    else
    {
        const double dOffset = outcome.sample.dOffset;
        const bool bSlow = dOffset > 0;
        const ResultKind kind =
            outcome.bClockSet ? (bSlow ? SetWasSlow : SetWasFast) : (bSlow ? NotSetWasSlow : NotSetWasFast);
        ShowResult(FormatResult(kind, dOffset).c_str());
    }
    m_view.SetBusy(FALSE);
}

void CSyncController::Stop()
{
    m_worker.Cancel();
}

std::string CSyncController::FormatResult(ResultKind kind, double dOffset)
{
    const LPCSTR pszText = kResultTexts[kind];
    const LPCSTR pszMark = strstr(pszText, kOffsetMark);
    if (pszMark == NULL)
        return pszText;
    // The number is put in by hand so that the texts can stay one table.
    char number[32];
    snprintf(number, sizeof(number), "%.04f", std::fabs(dOffset));
    return std::string(pszText, pszMark) + number + (pszMark + strlen(kOffsetMark));
}

void CSyncController::OnAutostartChanged()
{
    if (!SetAutostart(m_bAutoRun, kAutostartName))
    {
        // The box and the file say what is really registered, not the wish.
        m_bAutoRun = !m_bAutoRun;
        m_view.SetAutostartCheck(m_bAutoRun);
    }
    SaveSettings();
}

void CSyncController::OnAutoSyncChanged()
{
    m_view.EnableIntervalList(m_bAutoSync);
    SaveSettings();
}

void CSyncController::OnIntervalChanged()
{
    SaveSettings();
}

void CSyncController::ShowResult(LPCSTR pszMessage)
{
    m_view.ShowResult(pszMessage);
}
