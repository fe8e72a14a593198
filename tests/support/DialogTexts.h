// The main dialog's markup as the program shows it, for the tests and benches
// that load it, and the code page conversions they need alongside.
#pragma once

#include "app/DialogMarkup.h"

#include "toolkit/CodePage.h"

#include <windows.h>

#include <string>

// Text from one code page to another, through UTF-16 as the program's own
// conversions go. Embedded NULs are kept.
inline std::string ConvertCodePage(const std::string& text, UINT nFrom, UINT nTo)
{
    if (text.empty())
        return std::string();
    const std::wstring wide = XTPToWide(text.data(), int(text.size()), nFrom);
    return XTPToMultiByte(wide.data(), int(wide.size()), nTo);
}

inline std::string Utf8FromCp936(const std::string& text)
{
    return ConvertCodePage(text, 936, CP_UTF8);
}

inline std::string Cp936FromUtf8(const std::string& text)
{
    return ConvertCodePage(text, CP_UTF8, 936);
}

// A result message as the controller writes it for a clock 0.1234 s fast:
// 已经成功校时！您的系统时间比标准时间快了<Run Foreground='Red' FontWeight='Bold'>0.1234</Run>秒！
inline constexpr char kSampleResultMessage[] =
    "\xd2\xd1\xbe\xad\xb3\xc9\xb9\xa6\xd0\xa3\xca\xb1\xa3\xa1\xc4\xfa\xb5\xc4\xcf\xb5\xcd\xb3\xca\xb1\xbc\xe4"
    "\xb1\xc8\xb1\xea\xd7\xbc\xca\xb1\xbc\xe4\xbf\xec\xc1\xcb"
    "<Run Foreground='Red' FontWeight='Bold'>0.1234</Run>"
    "\xc3\xeb\xa3\xa1";

// The result panel showing that message, in code page 936.
inline std::string SampleResultPanelMarkup()
{
    return ResultPanelMarkup(kSampleResultMessage);
}
