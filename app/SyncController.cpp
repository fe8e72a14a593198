#include "app/SyncController.h"

#include "app/Autostart.h"
#include "app/ModuleDir.h"
#include "app/SntpQuery.h"
#include "app/SyncPlatform.h"
#include "app/SyncView.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace
{
const wchar_t* const kAutoRunKey = L"autorun";
const wchar_t* const kAutoSyncKey = L"autosync";
const wchar_t* const kSyncSpanKey = L"syncspan";
const wchar_t* const kServerKey = L"server";
// Room for a list of several servers.
const size_t kMaxServerKeyLength = 4000;

// 设置无法保存！请确认程序所在的文件夹可以写入。
const char* const kNotSavedText =
    "\xc9\xe8\xd6\xc3\xce\xde\xb7\xa8\xb1\xa3\xb4\xe6\xa3\xa1\xc7\xeb\xc8\xb7\xc8\xcf\xb3\xcc"
    "\xd0\xf2\xcb\xf9\xd4\xda\xb5\xc4\xce\xc4\xbc\xfe\xbc\xd0\xbf\xc9\xd2\xd4\xd0\xb4\xc8\xeb"
    "\xa1\xa3";

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
    LoadSettings();
}

CSettingsStore CSyncController::Settings() const
{
    return CSettingsStore(g_strModuleDir, m_platform.UserSettingsDir());
}

void CSyncController::LoadSettings()
{
    const CSettingsStore settings = Settings();
    // Check boxes know only on and off; other numbers mean on.
    m_bAutoRun = settings.ReadInt(kAutoRunKey, 0) != 0;
    m_bAutoSync = settings.ReadInt(kAutoSyncKey, 0) != 0;
    const int nSyncSpan = settings.ReadInt(kSyncSpanKey, 0);
    m_nSyncSpan = IntervalOf(nSyncSpan) != 0 ? nSyncSpan : -1;
    LoadServer(settings);
}

void CSyncController::LoadServer(const CSettingsStore& settings)
{
    m_servers = CServerList();
    // A value too long for the list is read as none rather than cut short:
    // a cut value could name a server the user never meant.
    const std::string strServer = settings.ReadString(kServerKey, kMaxServerKeyLength);
    if (!strServer.empty())
        m_servers.Parse(strServer.c_str());
}

void CSyncController::SaveSettings()
{
    CSettingsStore settings = Settings();
    const CSettingsStore::Values values = {
        {kAutoRunKey, m_bAutoRun},
        {kAutoSyncKey, m_bAutoSync},
        {kSyncSpanKey, m_nSyncSpan},
    };
    if (!settings.Write(values))
        ShowResult(kNotSavedText);
}

BOOL CSyncController::SetAutostart(BOOL bAdd, LPCSTR pszName)
{
    return CAutostart(m_platform).Set(bAdd, pszName);
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
    if (m_bRetryArmed && m_platform.GetTickCount() - m_dwRetryFrom >= kStartRetryDelaysMs[m_nStartRetry])
    {
        m_bRetryArmed = false;
        ++m_nStartRetry;
        m_dwLastAutoSync = m_platform.GetTickCount();
        SyncNow();
        return;
    }
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

void CSyncController::StartAutomatic()
{
    if (!m_bAutoSync)
        return;
    m_nStartRetry = 0;
    m_bRetryArmed = false;
    m_dwLastAutoSync = m_platform.GetTickCount();
    SyncNow();
}

void CSyncController::ReportResult(ResultKind kind, double dOffset)
{
    ShowResult(FormatResult(kind, dOffset).c_str());
    if (m_nStartRetry < 0)
        return;
    if (kind != NoAnswer || m_nStartRetry >= kStartRetries)
    {
        m_nStartRetry = -1;
        m_bRetryArmed = false;
        return;
    }
    m_bRetryArmed = true;
    m_dwRetryFrom = m_platform.GetTickCount();
}

void CSyncController::OnSyncDone()
{
    // A message left over from a synchronisation already cancelled.
    if (!m_worker.IsBusy())
        return;
    const CSyncWorker::Outcome outcome = m_worker.Finish(m_servers);
    m_view.SetBusy(FALSE);
    if (!outcome.bAnswered)
    {
        ReportResult(NoAnswer, 0);
        return;
    }
    const double dOffset = outcome.sample.dOffset;
    const bool bSlow = dOffset > 0;
    const ResultKind kind =
        outcome.bClockSet ? (bSlow ? SetWasSlow : SetWasFast) : (bSlow ? NotSetWasSlow : NotSetWasFast);
    ReportResult(kind, dOffset);
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
    // The number is put in by hand so that the texts can stay one table, by
    // the system library's formatter: the C99 one would bring a formatting
    // library of 32 KB into the program for this one number.
    char number[32];
    _snprintf(number, sizeof(number) - 1, "%.04f", std::fabs(dOffset));
    number[sizeof(number) - 1] = '\0';
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
