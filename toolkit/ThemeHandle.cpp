#include "toolkit/ThemeHandle.h"

#include "toolkit/OptionalFunction.h"

namespace
{
// The style functions this toolkit calls, looked up once for the process.
struct ThemeApi
{
    using OpenThemeDataFn = HTHEME(WINAPI*)(HWND, LPCWSTR);
    using CloseThemeDataFn = HRESULT(WINAPI*)(HTHEME);
    using DrawThemeBackgroundFn = HRESULT(WINAPI*)(HTHEME, HDC, int, int, const RECT*, const RECT*);
    using GetThemeBackgroundContentRectFn = HRESULT(WINAPI*)(HTHEME, HDC, int, int, const RECT*, RECT*);
    using GetThemeColorFn = HRESULT(WINAPI*)(HTHEME, int, int, int, COLORREF*);
    using IsThemeBackgroundPartiallyTransparentFn = BOOL(WINAPI*)(HTHEME, int, int);
    using DrawThemeParentBackgroundFn = HRESULT(WINAPI*)(HWND, HDC, const RECT*);
    using IsThemeActiveFn = BOOL(WINAPI*)();

    OpenThemeDataFn pfnOpenThemeData = nullptr;
    CloseThemeDataFn pfnCloseThemeData = nullptr;
    DrawThemeBackgroundFn pfnDrawThemeBackground = nullptr;
    GetThemeBackgroundContentRectFn pfnGetThemeBackgroundContentRect = nullptr;
    GetThemeColorFn pfnGetThemeColor = nullptr;
    IsThemeBackgroundPartiallyTransparentFn pfnIsThemeBackgroundPartiallyTransparent = nullptr;
    DrawThemeParentBackgroundFn pfnDrawThemeParentBackground = nullptr;
    IsThemeActiveFn pfnIsThemeActive = nullptr;
    IsThemeActiveFn pfnIsAppThemed = nullptr;

    ThemeApi()
    {
        // The library stays loaded for the life of the process, like any import.
        HMODULE hModule = ::LoadLibraryW(L"uxtheme.dll");
        if (hModule == NULL)
            return;
        Find(hModule, "OpenThemeData", pfnOpenThemeData);
        Find(hModule, "CloseThemeData", pfnCloseThemeData);
        Find(hModule, "DrawThemeBackground", pfnDrawThemeBackground);
        Find(hModule, "GetThemeBackgroundContentRect", pfnGetThemeBackgroundContentRect);
        Find(hModule, "GetThemeColor", pfnGetThemeColor);
        Find(hModule, "IsThemeBackgroundPartiallyTransparent", pfnIsThemeBackgroundPartiallyTransparent);
        Find(hModule, "DrawThemeParentBackground", pfnDrawThemeParentBackground);
        Find(hModule, "IsThemeActive", pfnIsThemeActive);
        Find(hModule, "IsAppThemed", pfnIsAppThemed);
        // Without the core three nothing themed can be drawn or let go.
        if (!pfnCloseThemeData || !pfnDrawThemeBackground)
            pfnOpenThemeData = nullptr;
    }

    template <class TFunction> static void Find(HMODULE hModule, const char* pszName, TFunction& pfn)
    {
        pfn = XTPGetOptionalFunction<TFunction>(hModule, pszName);
    }

    static const ThemeApi& Get()
    {
        static const ThemeApi api;
        return api;
    }
};

bool g_bClassicLook = false;
long g_nOpenThemes = 0; // user-interface thread only
} // namespace

bool CXTPThemeHandle::IsThemeActive()
{
    const ThemeApi& api = ThemeApi::Get();
    return !g_bClassicLook && api.pfnOpenThemeData && api.pfnIsThemeActive && api.pfnIsThemeActive()
           && (!api.pfnIsAppThemed || api.pfnIsAppThemed());
}

void CXTPThemeHandle::SetClassicLook(bool bClassic)
{
    g_bClassicLook = bClassic;
}

bool CXTPThemeHandle::IsClassicLook()
{
    return g_bClassicLook;
}

long CXTPThemeHandle::GetOpenCount()
{
    return g_nOpenThemes;
}

bool CXTPThemeHandle::Open(HWND hWnd, LPCWSTR pszClassList)
{
    Close();
    const ThemeApi& api = ThemeApi::Get();
    if (api.pfnOpenThemeData && !g_bClassicLook)
        m_hTheme = api.pfnOpenThemeData(hWnd, pszClassList);
    if (m_hTheme != NULL)
        ++g_nOpenThemes;
    return m_hTheme != NULL;
}

void CXTPThemeHandle::Close()
{
    if (m_hTheme == NULL)
        return;
    ThemeApi::Get().pfnCloseThemeData(m_hTheme);
    m_hTheme = NULL;
    --g_nOpenThemes;
}

bool CXTPThemeHandle::DrawBackground(HDC hDC, int nPart, int nState, const RECT& rc) const
{
    return m_hTheme != NULL
           && SUCCEEDED(ThemeApi::Get().pfnDrawThemeBackground(m_hTheme, hDC, nPart, nState, &rc, NULL));
}

RECT CXTPThemeHandle::GetContentRect(HDC hDC, int nPart, int nState, const RECT& rc) const
{
    const ThemeApi& api = ThemeApi::Get();
    RECT rcContent = rc;
    if (m_hTheme == NULL || !api.pfnGetThemeBackgroundContentRect
        || FAILED(api.pfnGetThemeBackgroundContentRect(m_hTheme, hDC, nPart, nState, &rc, &rcContent)))
        return rc;
    return rcContent;
}

bool CXTPThemeHandle::GetColor(int nPart, int nState, int nProperty, COLORREF& clr) const
{
    const ThemeApi& api = ThemeApi::Get();
    return m_hTheme != NULL && api.pfnGetThemeColor
           && SUCCEEDED(api.pfnGetThemeColor(m_hTheme, nPart, nState, nProperty, &clr));
}

bool CXTPThemeHandle::IsPartiallyTransparent(int nPart, int nState) const
{
    const ThemeApi& api = ThemeApi::Get();
    // Unknown means transparent: painting the parent first is never wrong.
    return m_hTheme != NULL
           && (!api.pfnIsThemeBackgroundPartiallyTransparent
               || api.pfnIsThemeBackgroundPartiallyTransparent(m_hTheme, nPart, nState));
}

bool CXTPThemeHandle::DrawParentBackground(HWND hWnd, HDC hDC, const RECT& rc)
{
    const ThemeApi& api = ThemeApi::Get();
    return hWnd != NULL && api.pfnDrawThemeParentBackground
           && SUCCEEDED(api.pfnDrawThemeParentBackground(hWnd, hDC, &rc));
}
