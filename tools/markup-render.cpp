// markup-render: lays out a markup file and writes what it draws to a PNG,
// for designers trying markup and for tests comparing layouts; or shows it
// live in a window, where its controls can be used.
//
//   markup-render.exe [--width W] [--height H] [--utf8] [--classic] [--dump] INPUT OUTPUT.png
//   markup-render.exe [--width W] [--height H] [--utf8] [--classic] [--dump] --view INPUT
//
// --classic draws controls without the visual style. --view opens a window
// with a client area of W x H; once it is shown, stdout gets
// "window X Y W H" (the client area on the screen), the dump when asked and
// "ready"; then a line for every click and check event that reaches the top:
// "Click Button ok" (event, element, the element's Tag when it is text).
// Dump lines also end with the element's Tag when it is text.
// Closing the window ends the program.
//
// Exit codes: 0 written (or the window closed), 1 the markup does not load,
// 2 anything else (usage, input, output).
#include "markup/elements/FrameworkElement.h"
#include "markup/elements/LayoutDump.h"
#include "markup/elements/UIElement.h"
#include "markup/elements/Visual.h"
#include "markup/elements/Delegate.h"
#include "markup/elements/EventArgs.h"
#include "markup/host/Host.h"
#include "markup/host/WindowHelpers.h"
#include "markup/model/DependencyProperty.h"
#include "markup/model/ObjectBuilder.h"
#include "markup/model/String.h"
#include "markup/model/Tokenizer.h"
#include "markup/model/Type.h"

#include "toolkit/BufferDC.h"
#include "toolkit/CodePage.h"
#include "toolkit/GdiHandles.h"
#include "toolkit/ThemeHandle.h"

#include <png.h>

#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace
{
constexpr int kDefaultWidth = 400;
constexpr int kDefaultHeight = 300;
// A bitmap of this many pixels a side takes 256 MB; markup for a dialog
// needs a small fraction of that.
constexpr int kMaxExtent = 8192;
// Markup is written by hand; a file larger than this is not markup.
constexpr DWORD kMaxInputBytes = 64 * 1024 * 1024;

constexpr int kExitMarkup = 1;
constexpr int kExitUsage = 2;

const char kUsage[] = "usage: markup-render [--width W] [--height H] [--utf8] [--classic] [--dump] INPUT OUTPUT.png\n"
                      "       markup-render [--width W] [--height H] [--utf8] [--classic] [--dump] --view INPUT\n";

struct Options
{
    int cx = kDefaultWidth;
    int cy = kDefaultHeight;
    bool bUtf8 = false;
    bool bDump = false;
    bool bClassic = false;
    bool bView = false;
    std::string strInput;
    std::string strOutput;
};

// Everything the tool says goes out as "markup-render: ..." on stderr.
int Fail(int nExitCode, const std::string& strMessage)
{
    fprintf(stderr, "markup-render: %s\n", strMessage.c_str());
    return nExitCode;
}

std::string SystemMessage(DWORD dwError)
{
    char szMessage[256] = {};
    if (!FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, dwError, 0, szMessage,
                        sizeof(szMessage), nullptr))
        snprintf(szMessage, sizeof(szMessage), "error %lu", dwError);
    std::string strMessage = szMessage;
    while (!strMessage.empty() && (strMessage.back() == '\n' || strMessage.back() == '\r' || strMessage.back() == '.'))
        strMessage.pop_back();
    return strMessage;
}

bool ParseExtent(const char* pszText, int& nExtent)
{
    char* pEnd = nullptr;
    const long nValue = strtol(pszText, &pEnd, 10);
    if (pEnd == pszText || *pEnd || nValue < 1 || nValue > kMaxExtent)
        return false;
    nExtent = static_cast<int>(nValue);
    return true;
}

// An empty text when the command line is good, else what is wrong with it.
std::string ParseCommandLine(int argc, char** argv, Options& options)
{
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i)
    {
        const std::string strArg = argv[i];
        if (strArg == "--width" || strArg == "--height")
        {
            if (i + 1 >= argc)
                return strArg + " needs a value";
            if (!ParseExtent(argv[++i], strArg == "--width" ? options.cx : options.cy))
                return strArg + " must be a whole number from 1 to " + std::to_string(kMaxExtent) + ", not \"" + argv[i]
                       + "\"";
        }
        else if (strArg == "--utf8")
            options.bUtf8 = true;
        else if (strArg == "--dump")
            options.bDump = true;
        else if (strArg == "--classic")
            options.bClassic = true;
        else if (strArg == "--view")
            options.bView = true;
        else if (strArg.size() > 1 && strArg[0] == '-')
            return "unknown option " + strArg;
        else
            files.push_back(strArg);
    }
    if (options.bView)
    {
        if (files.size() != 1)
            return "--view expects an input file only";
    }
    else if (files.size() != 2)
        return "expected an input file and an output file";
    options.strInput = files[0];
    if (!options.bView)
        options.strOutput = files[1];
    return std::string();
}

bool ReadFile(const std::string& strPath, std::string& strText, std::string& strError)
{
    HANDLE hFile = CreateFileA(strPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
    {
        strError = "cannot read " + strPath + ": " + SystemMessage(GetLastError());
        return false;
    }
    bool bRead = false;
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(hFile, &size))
        strError = "cannot read " + strPath + ": " + SystemMessage(GetLastError());
    else if (size.QuadPart > kMaxInputBytes)
        strError = "cannot read " + strPath + ": larger than " + std::to_string(kMaxInputBytes) + " bytes";
    else
    {
        strText.resize(static_cast<size_t>(size.QuadPart));
        DWORD dwRead = 0;
        bRead = strText.empty()
                || (::ReadFile(hFile, &strText[0], static_cast<DWORD>(strText.size()), &dwRead, nullptr)
                    && dwRead == strText.size());
        if (!bRead)
            strError = "cannot read " + strPath + ": " + SystemMessage(GetLastError());
    }
    CloseHandle(hFile);
    return bRead;
}

// The element's tag, or its class name when it has none.
std::string TagOf(const CXTPMarkupObject* pObject)
{
    const CXTPMarkupType* pType = pObject->GetType();
    LPCWSTR lpszName = pType->GetTag() && *pType->GetTag() ? pType->GetTag() : pType->GetTypeName();
    return XTPToMultiByte(lpszName, -1, CP_ACP);
}

// The element's "Tag" when it is text (how a sheet names its parts), or an
// empty text.
std::string TagTextOf(const CXTPMarkupObject* pObject)
{
    const CXTPMarkupString* pTag =
        MarkupCast<CXTPMarkupString>(pObject->GetValue(CXTPMarkupFrameworkElement::m_pTagProperty));
    if (!pTag)
        return std::string();
    return XTPToMultiByte(pTag->GetText(), -1, CP_ACP);
}

// Dump lines end with the element's "Tag" when it is text.
std::string DumpNote(const CXTPMarkupVisual* pVisual)
{
    return TagTextOf(pVisual);
}

// The pixels as 8-bit RGBA rows; the bitmap is top-down BGRA. libpng reports
// errors by jumping back to the setjmp, so nothing here needs destroying
// beyond the write structures.
bool WritePng(FILE* pFile, const RGBQUAD* pPixels, int cx, int cy)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png)))
    {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, pFile);
    png_set_IHDR(png, info, static_cast<png_uint_32>(cx), static_cast<png_uint_32>(cy), 8, PNG_COLOR_TYPE_RGB_ALPHA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_set_bgr(png);
    for (int y = 0; y < cy; ++y)
        png_write_row(png, reinterpret_cast<png_const_bytep>(pPixels + static_cast<size_t>(y) * cx));
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

bool SavePng(const std::string& strPath, const RGBQUAD* pPixels, int cx, int cy, std::string& strError)
{
    FILE* pFile = fopen(strPath.c_str(), "wb");
    if (!pFile)
    {
        strError = "cannot write " + strPath + ": " + strerror(errno);
        return false;
    }
    bool bWritten = WritePng(pFile, pPixels, cx, cy);
    bWritten = fclose(pFile) == 0 && bWritten;
    if (!bWritten)
    {
        strError = "cannot write " + strPath;
        DeleteFileA(strPath.c_str());
    }
    return bWritten;
}

int RenderToPng(const Options& options, CXTPMarkupUIElement* pRoot)
{
    std::string strError;
    RGBQUAD* pPixels = nullptr;
    CXTPBitmapHandle hBitmap(XTPCreateDIB32(options.cx, options.cy, reinterpret_cast<void**>(&pPixels)));
    CXTPMemoryDC dc;
    if (!hBitmap || !pPixels || !dc.Get())
        return Fail(kExitUsage, "cannot make a bitmap of " + std::to_string(options.cx) + " x "
                                    + std::to_string(options.cy) + " pixels");
    {
        CXTPSelectObject selectBitmap(dc.Get(), hBitmap.Get());
        const RECT rcAll = {0, 0, options.cx, options.cy};
        CXTPGdiObject<HBRUSH> hBackground(CreateSolidBrush(GetSysColor(COLOR_BTNFACE)));
        FillAndPaintTree(pRoot, dc.Get(), rcAll, hBackground.Get());
        GdiFlush();
    }

    if (options.bDump)
    {
        const std::string strDump = DumpMarkupLayout(pRoot, xtpMarkupDumpBounds, &DumpNote);
        fwrite(strDump.data(), 1, strDump.size(), stdout);
        fflush(stdout);
    }

    // The background is opaque and so is the picture; GDI leaves alpha 0.
    const size_t nPixels = static_cast<size_t>(options.cx) * options.cy;
    for (size_t i = 0; i < nPixels; ++i)
        pPixels[i].rgbReserved = 255;
    if (!SavePng(options.strOutput, pPixels, options.cx, options.cy, strError))
        return Fail(kExitUsage, strError);
    return 0;
}

// The live window of --view: the tree drawn double-buffered on the button
// face, every message offered to the host first.
class CViewWindow
{
public:
    CViewWindow(const Options& options, CXTPMarkupHost* pHost, CXTPMarkupUIElement* pRoot)
        : m_options(options), m_pHost(pHost), m_pRoot(pRoot)
    {
    }

    int Run()
    {
        const HINSTANCE hInstance = GetModuleHandleW(nullptr);
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = &CViewWindow::WindowProc;
        wc.hInstance = hInstance;
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.lpszClassName = L"MarkupRenderView";
        if (!RegisterClassExW(&wc))
            return Fail(kExitUsage, "cannot make a window: " + SystemMessage(GetLastError()));

        const DWORD dwStyle = WS_OVERLAPPEDWINDOW;
        RECT rcWindow = {0, 0, m_options.cx, m_options.cy};
        AdjustWindowRect(&rcWindow, dwStyle, FALSE);
        const std::string strTitle = "markup-render - " + m_options.strInput;
        HWND hWnd =
            CreateWindowExA(0, "MarkupRenderView", strTitle.c_str(), dwStyle, 40, 40, rcWindow.right - rcWindow.left,
                            rcWindow.bottom - rcWindow.top, nullptr, nullptr, hInstance, this);
        if (!hWnd)
            return Fail(kExitUsage, "cannot make a window: " + SystemMessage(GetLastError()));
        ShowWindow(hWnd, SW_SHOWNORMAL);
        UpdateWindow(hWnd);

        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        return 0;
    }

private:
    static LRESULT CALLBACK WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE)
        {
            auto* pView = static_cast<CViewWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
            SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(pView));
            pView->m_pHost->SetHwnd(hWnd);
        }
        auto* pView = reinterpret_cast<CViewWindow*>(GetWindowLongPtrW(hWnd, GWLP_USERDATA));
        LRESULT lResult = 0;
        if (pView && pView->OnMessage(hWnd, message, wParam, lParam, lResult))
            return lResult;
        return DefWindowProcW(hWnd, message, wParam, lParam);
    }

    bool OnMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& lResult)
    {
        switch (message)
        {
        case WM_PAINT: Paint(hWnd); return true;
        case WM_ERASEBKGND:
            lResult = TRUE; // painting covers every pixel
            return true;
        case WM_SIZE: InvalidateRect(hWnd, nullptr, FALSE); return true;
        case WM_DESTROY: PostQuitMessage(0); break;
        default: break;
        }
        return m_pHost->HandleMessage(m_pRoot, message, wParam, lParam, &lResult) != FALSE;
    }

    void Paint(HWND hWnd)
    {
        PAINTSTRUCT ps;
        HDC hPaintDC = BeginPaint(hWnd, &ps);
        {
            CXTPBufferDC dc(hPaintDC, ps.rcPaint);
            RECT rcClient = {};
            GetClientRect(hWnd, &rcClient);
            FillAndPaintTree(m_pRoot, dc, rcClient, GetSysColorBrush(COLOR_BTNFACE));
        }
        EndPaint(hWnd, &ps);
        if (!m_bReported)
        {
            m_bReported = true;
            ReportWindow(hWnd);
        }
    }

    // Tells a script driving the window where to point.
    void ReportWindow(HWND hWnd)
    {
        RECT rcClient = {};
        GetClientRect(hWnd, &rcClient);
        POINT ptOrigin = {0, 0};
        ClientToScreen(hWnd, &ptOrigin);
        std::string strReport = "window " + std::to_string(ptOrigin.x) + " " + std::to_string(ptOrigin.y) + " "
                                + std::to_string(rcClient.right) + " " + std::to_string(rcClient.bottom) + "\n";
        if (m_options.bDump)
            strReport += DumpMarkupLayout(m_pRoot, xtpMarkupDumpVisibleBounds, &DumpNote);
        strReport += "ready\n";
        fwrite(strReport.data(), 1, strReport.size(), stdout);
        fflush(stdout);
    }

    const Options& m_options;
    CXTPMarkupHost* m_pHost;
    CXTPMarkupUIElement* m_pRoot;
    bool m_bReported = false;
};

// "Click Button ok": the event, the element it started from and that
// element's Tag when the Tag is text.
void ReportEvent(CXTPMarkupObject* /*pSender*/, CXTPMarkupEventArgs* pArgs)
{
    std::string strLine = XTPToMultiByte(pArgs->m_pEvent->GetName(), -1, CP_ACP);
    if (pArgs->m_pSource)
    {
        strLine += " " + TagOf(pArgs->m_pSource);
        const std::string strTag = TagTextOf(pArgs->m_pSource);
        if (!strTag.empty())
            strLine += " " + strTag;
    }
    strLine += "\n";
    fwrite(strLine.data(), 1, strLine.size(), stdout);
    fflush(stdout);
}

// Reports the clicks and check changes that no element handled, whichever
// element types raise them.
void WatchEvents(CXTPMarkupHost* pHost)
{
    static const LPCWSTR kEvents[] = {L"Click", L"Checked", L"Unchecked", L"Indeterminate"};
    std::vector<CXTPMarkupDependencyProperty*> watched;
    for (CXTPMarkupType* pType = CXTPMarkupType::GetFirstType(); pType; pType = pType->GetNextType())
    {
        for (LPCWSTR lpszEvent : kEvents)
        {
            CXTPMarkupDependencyProperty* pEvent = CXTPMarkupDependencyProperty::FindProperty(pType, lpszEvent);
            if (!pEvent || !pEvent->IsEvent() || std::find(watched.begin(), watched.end(), pEvent) != watched.end())
                continue;
            watched.push_back(pEvent);
            pHost->AddHandler(pEvent, new CXTPMarkupDelegate(&ReportEvent));
        }
    }
}

int Render(const Options& options)
{
    std::string strText, strError;
    if (!ReadFile(options.strInput, strText, strError))
        return Fail(kExitUsage, strError);

    CXTPThemeHandle::SetClassicLook(options.bClassic);
    CXTPMarkupPtr<CXTPMarkupHost> host(new CXTPMarkupHost());
    CXTPMarkupPtr<CXTPMarkupObject> root;
    {
        CXTPMarkupTokenizer tokenizer;
        tokenizer.SetInput(strText.data(), strText.data() + strText.size());
        if (options.bUtf8)
            tokenizer.SetCodePage(CP_UTF8);
        CXTPMarkupObjectBuilder builder(host.Get());
        root.Reset(builder.BuildTree(&tokenizer));
        if (!root)
            return Fail(kExitMarkup, builder.GetErrorText());
    }
    CXTPMarkupUIElement* pRoot = MarkupCast<CXTPMarkupUIElement>(root.Get());
    if (!pRoot)
        return Fail(kExitMarkup, "the root is not an element");
    if (!options.bView)
        return RenderToPng(options, pRoot);

    WatchEvents(host.Get());
    CViewWindow view(options, host.Get(), pRoot);
    return view.Run();
}
} // namespace

int main(int argc, char** argv)
{
    // A fault must end the process with its code, never wait on a dialog.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);

    Options options;
    const std::string strUsageError = ParseCommandLine(argc, argv, options);
    if (!strUsageError.empty())
    {
        Fail(kExitUsage, strUsageError);
        fputs(kUsage, stderr);
        return kExitUsage;
    }
    return Render(options);
}
