// Looks at a running program from the outside, as a screen reader or a test
// driver would, and prints what it finds as one JSON object in UTF-8:
//   window_probe dialog CAPTION             the top-level windows with that caption and their controls
//   window_probe run-value NAME             the machine-wide autostart value
//   window_probe run-value NAME --set DATA  writes it (to put back what a test found)
//   window_probe run-value NAME --delete    removes it
//   window_probe answers CAPTION MS         sends the first such window a message every 20 ms for MS
//                                           milliseconds: how many it answered and its longest wait
#include "toolkit/CodePage.h"

#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

namespace
{
const wchar_t kRunKey[] = L"SOFTWARE\\MicroSoft\\Windows\\CurrentVersion\\Run";

// A window that does not answer within this time is reported with nulls, so
// that the driver polls again instead of the probe hanging.
const UINT kAnswerTimeoutMs = 5000;

std::string Utf8Of(const std::wstring& strText)
{
    return XTPToMultiByte(strText.data(), static_cast<int>(strText.size()), CP_UTF8);
}

std::string Json(const std::wstring& strText)
{
    std::string strJson = "\"";
    for (const char ch : Utf8Of(strText))
    {
        const unsigned char byte = static_cast<unsigned char>(ch);
        if (ch == '"' || ch == '\\')
        {
            strJson += '\\';
            strJson += ch;
        }
        else if (byte < 0x20)
        {
            char escaped[8];
            snprintf(escaped, sizeof(escaped), "\\u%04x", byte);
            strJson += escaped;
        }
        else
            strJson += ch;
    }
    return strJson + "\"";
}

std::string Json(bool bValue)
{
    return bValue ? "true" : "false";
}

std::string Json(const RECT& rc)
{
    char text[64];
    snprintf(text, sizeof(text), "[%ld,%ld,%ld,%ld]", rc.left, rc.top, rc.right, rc.bottom);
    return text;
}

// Through the window's own WM_GETTEXT, as another process sees the text.
bool ReadText(HWND hWnd, std::wstring& strText)
{
    DWORD_PTR nLength = 0;
    if (!::SendMessageTimeoutW(hWnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &nLength))
        return false;
    std::vector<wchar_t> buffer(nLength + 1);
    DWORD_PTR nCopied = 0;
    if (!::SendMessageTimeoutW(hWnd, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                               SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &nCopied))
        return false;
    strText.assign(buffer.data(), nCopied < buffer.size() ? nCopied : buffer.size() - 1);
    return true;
}

std::wstring ClassOf(HWND hWnd)
{
    wchar_t szClass[64] = {};
    ::GetClassNameW(hWnd, szClass, 64);
    return szClass;
}

std::wstring ImageOf(HWND hWnd)
{
    DWORD dwProcessId = 0;
    ::GetWindowThreadProcessId(hWnd, &dwProcessId);
    HANDLE hProcess = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, dwProcessId);
    if (hProcess == NULL)
        return std::wstring();
    wchar_t szPath[MAX_PATH * 2] = {};
    DWORD dwLength = MAX_PATH * 2;
    if (!::QueryFullProcessImageNameW(hProcess, 0, szPath, &dwLength))
        dwLength = 0;
    ::CloseHandle(hProcess);
    return std::wstring(szPath, dwLength);
}

// The items of a drop-down list and its state, asked of the list itself.
bool DescribeList(HWND hCombo, std::string& strJson)
{
    DWORD_PTR nCount = 0, nSelection = 0, nDropped = 0;
    if (!::SendMessageTimeoutW(hCombo, CB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &nCount)
        || !::SendMessageTimeoutW(hCombo, CB_GETCURSEL, 0, 0, SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &nSelection)
        || !::SendMessageTimeoutW(hCombo, CB_GETDROPPEDSTATE, 0, 0, SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &nDropped))
        return false;
    if (static_cast<LRESULT>(nCount) < 0)
        return false;
    strJson = ",\"selection\":" + std::to_string(static_cast<LRESULT>(nSelection))
              + ",\"dropped\":" + Json(nDropped != 0) + ",\"items\":[";
    for (WPARAM nItem = 0; nItem < nCount; ++nItem)
    {
        DWORD_PTR nLength = 0;
        if (!::SendMessageTimeoutW(hCombo, CB_GETLBTEXTLEN, nItem, 0, SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &nLength)
            || static_cast<LRESULT>(nLength) < 0)
            return false;
        std::vector<wchar_t> buffer(nLength + 1);
        if (!::SendMessageTimeoutW(hCombo, CB_GETLBTEXT, nItem, reinterpret_cast<LPARAM>(buffer.data()),
                                   SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &nLength))
            return false;
        strJson += (nItem ? "," : "") + Json(std::wstring(buffer.data()));
    }
    strJson += "]";
    return true;
}

std::string DescribeControl(HWND hControl)
{
    RECT rc = {};
    ::GetWindowRect(hControl, &rc);
    const std::wstring strClass = ClassOf(hControl);
    std::wstring strText;
    const bool bAnswered = ReadText(hControl, strText);
    std::string strJson = "{\"id\":" + std::to_string(::GetDlgCtrlID(hControl)) + ",\"class\":" + Json(strClass)
                          + ",\"visible\":" + Json(::IsWindowVisible(hControl) != FALSE)
                          + ",\"enabled\":" + Json(::IsWindowEnabled(hControl) != FALSE) + ",\"rect\":" + Json(rc);
    strJson += bAnswered ? ",\"text\":" + Json(strText) : ",\"text\":null";
    if (_wcsicmp(strClass.c_str(), L"Button") == 0)
    {
        DWORD_PTR nCheck = 0;
        const bool bChecked =
            ::SendMessageTimeoutW(hControl, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &nCheck);
        strJson += ",\"checked\":" + (bChecked ? std::to_string(nCheck) : "null");
    }
    if (_wcsicmp(strClass.c_str(), L"ComboBox") == 0)
    {
        std::string strList;
        strJson += DescribeList(hControl, strList) ? strList : ",\"selection\":null,\"dropped\":null,\"items\":null";
    }
    return strJson + "}";
}

std::string DescribeDialog(HWND hDialog)
{
    RECT rc = {};
    ::GetWindowRect(hDialog, &rc);
    std::string strJson = "{\"class\":" + Json(ClassOf(hDialog)) + ",\"image\":" + Json(ImageOf(hDialog))
                          + ",\"visible\":" + Json(::IsWindowVisible(hDialog) != FALSE)
                          + ",\"enabled\":" + Json(::IsWindowEnabled(hDialog) != FALSE)
                          + ",\"iconic\":" + Json(::IsIconic(hDialog) != FALSE) + ",\"foreground\":"
                          + Json(::GetForegroundWindow() == hDialog) + ",\"rect\":" + Json(rc) + ",\"controls\":[";
    bool bFirst = true;
    for (HWND hChild = ::GetWindow(hDialog, GW_CHILD); hChild != NULL; hChild = ::GetWindow(hChild, GW_HWNDNEXT))
    {
        strJson += (bFirst ? "" : ",") + DescribeControl(hChild);
        bFirst = false;
    }
    return strJson + "]}";
}

struct Search
{
    std::wstring strCaption;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND hWnd, LPARAM lParam)
{
    Search& search = *reinterpret_cast<Search*>(lParam);
    std::wstring strText;
    // The internal caption: a hung window of another program must not stop the search.
    const int nLength = ::GetWindowTextLengthW(hWnd);
    strText.resize(static_cast<size_t>(nLength) + 1);
    strText.resize(static_cast<size_t>(::GetWindowTextW(hWnd, &strText[0], nLength + 1)));
    if (strText == search.strCaption)
        search.found.push_back(hWnd);
    return TRUE;
}

int ProbeDialogs(const std::wstring& strCaption)
{
    Search search{strCaption, {}};
    ::EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&search));
    std::string strJson = "{\"windows\":[";
    for (size_t i = 0; i < search.found.size(); ++i)
        strJson += (i ? "," : "") + DescribeDialog(search.found[i]);
    printf("%s]}\n", strJson.c_str());
    return 0;
}

int ProbeRunValue(const std::wstring& strName, const std::wstring& strAction, const std::wstring& strData)
{
    HKEY hKey = NULL;
    const REGSAM access = strAction.empty() ? KEY_QUERY_VALUE : KEY_QUERY_VALUE | KEY_SET_VALUE;
    LONG nError = ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRunKey, 0, access, &hKey);
    if (nError == ERROR_SUCCESS && strAction == L"--set")
        nError = ::RegSetValueExW(hKey, strName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(strData.c_str()),
                                  static_cast<DWORD>((strData.size() + 1) * sizeof(wchar_t)));
    else if (nError == ERROR_SUCCESS && strAction == L"--delete")
    {
        nError = ::RegDeleteValueW(hKey, strName.c_str());
        if (nError == ERROR_FILE_NOT_FOUND)
            nError = ERROR_SUCCESS;
    }
    if (nError != ERROR_SUCCESS)
    {
        if (hKey != NULL)
            ::RegCloseKey(hKey);
        fprintf(stderr, "window_probe: the Run key refused (error %ld)\n", nError);
        return 1;
    }

    DWORD dwType = 0, dwBytes = 0;
    std::string strJson = "{\"present\":false}";
    if (::RegQueryValueExW(hKey, strName.c_str(), NULL, &dwType, NULL, &dwBytes) == ERROR_SUCCESS)
    {
        std::vector<wchar_t> buffer(dwBytes / sizeof(wchar_t) + 1);
        ::RegQueryValueExW(hKey, strName.c_str(), NULL, &dwType, reinterpret_cast<BYTE*>(buffer.data()), &dwBytes);
        const bool bText = dwType == REG_SZ || dwType == REG_EXPAND_SZ;
        strJson = "{\"present\":true,\"type\":" + std::to_string(dwType)
                  + ",\"data\":" + (bText ? Json(std::wstring(buffer.data())) : "null") + "}";
    }
    ::RegCloseKey(hKey);
    printf("%s\n", strJson.c_str());
    return 0;
}

double Milliseconds()
{
    LARGE_INTEGER count, frequency;
    ::QueryPerformanceCounter(&count);
    ::QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

int ProbeAnswers(const std::wstring& strCaption, DWORD dwDurationMs)
{
    const UINT kIntervalMs = 20;
    Search search{strCaption, {}};
    ::EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&search));
    if (search.found.empty())
    {
        fprintf(stderr, "window_probe: no window with that caption\n");
        return 1;
    }
    const HWND hWnd = search.found[0];
    const double dEnd = Milliseconds() + dwDurationMs;
    double dLongest = 0;
    int nAnswered = 0, nUnanswered = 0;
    while (Milliseconds() < dEnd)
    {
        const double dSent = Milliseconds();
        DWORD_PTR nResult = 0;
        if (::SendMessageTimeoutW(hWnd, WM_NULL, 0, 0, SMTO_NORMAL, kAnswerTimeoutMs, &nResult))
            ++nAnswered;
        else
            ++nUnanswered;
        const double dWait = Milliseconds() - dSent;
        dLongest = dWait > dLongest ? dWait : dLongest;
        ::Sleep(kIntervalMs);
    }
    printf("{\"answered\":%d,\"unanswered\":%d,\"longest_ms\":%.1f}\n", nAnswered, nUnanswered, dLongest);
    return 0;
}

int Usage()
{
    fprintf(stderr, "usage: window_probe dialog CAPTION | run-value NAME [--set DATA | --delete]"
                    " | answers CAPTION MS\n");
    return 2;
}
} // namespace

int main()
{
    int nArgs = 0;
    LPWSTR* ppArgs = ::CommandLineToArgvW(::GetCommandLineW(), &nArgs);
    if (ppArgs == NULL)
        return Usage();
    const std::vector<std::wstring> args(ppArgs + 1, ppArgs + nArgs);
    ::LocalFree(ppArgs);

    if (args.size() == 2 && args[0] == L"dialog")
        return ProbeDialogs(args[1]);
    if (args.size() == 2 && args[0] == L"run-value")
        return ProbeRunValue(args[1], L"", L"");
    if (args.size() == 4 && args[0] == L"run-value" && args[2] == L"--set")
        return ProbeRunValue(args[1], args[2], args[3]);
    if (args.size() == 3 && args[0] == L"run-value" && args[2] == L"--delete")
        return ProbeRunValue(args[1], args[2], L"");
    if (args.size() == 3 && args[0] == L"answers")
        return ProbeAnswers(args[1], static_cast<DWORD>(wcstoul(args[2].c_str(), NULL, 10)));
    return Usage();
}
