#include "toolkit/VisualStyle.h"

namespace
{
// The style functions this toolkit calls, looked up once for the process.
struct VisualStyleApi
{
    using OpenThemeDataFn = HTHEME(WINAPI*)(HWND, LPCWSTR);
    using CloseThemeDataFn = HRESULT(WINAPI*)(HTHEME);
    using DrawThemeBackgroundFn = HRESULT(WINAPI*)(HTHEME, HDC, int, int, const RECT*, const RECT*);
    using GetThemeBackgroundContentRectFn = HRESULT(WINAPI*)(HTHEME, HDC, int, int, const RECT*, RECT*);
    using GetThemeColorFn = HRESULT(WINAPI*)(HTHEME, int, int, int, COLORREF*);
    using IsThemeBackgroundPartiallyTransparentFn = BOOL(WINAPI*)(HTHEME, int, int);
    using DrawThemeParentBackgroundFn = HRESULT(WINAPI*)(HWND, HDC, const RECT*);

    OpenThemeDataFn pfnOpenThemeData = nullptr;
    CloseThemeDataFn pfnCloseThemeData = nullptr;
    DrawThemeBackgroundFn pfnDrawThemeBackground = nullptr;
    GetThemeBackgroundContentRectFn pfnGetThemeBackgroundContentRect = nullptr;
    GetThemeColorFn pfnGetThemeColor = nullptr;
    IsThemeBackgroundPartiallyTransparentFn pfnIsThemeBackgroundPartiallyTransparent = nullptr;
    DrawThemeParentBackgroundFn pfnDrawThemeParentBackground = nullptr;

    VisualStyleApi()
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
        // Without the core three nothing themed can be drawn or let go.
        if (!pfnCloseThemeData || !pfnDrawThemeBackground)
            pfnOpenThemeData = nullptr;
    }

    template <class TFunction> static void Find(HMODULE hModule, const char* pszName, TFunction& pfn)
    {
        pfn = reinterpret_cast<TFunction>(reinterpret_cast<void*>(::GetProcAddress(hModule, pszName)));
    }

    static const VisualStyleApi& Get()
    {
        static const VisualStyleApi api;
        return api;
    }
};
} // namespace

bool CXTPVisualStyle::Open(HWND hWnd, LPCWSTR pszClassList)
{
    Close();
    const VisualStyleApi& api = VisualStyleApi::Get();
    if (api.pfnOpenThemeData)
        m_hTheme = api.pfnOpenThemeData(hWnd, pszClassList);
    return m_hTheme != NULL;
}

void CXTPVisualStyle::Close()
{
    if (m_hTheme != NULL)
        VisualStyleApi::Get().pfnCloseThemeData(m_hTheme);
    m_hTheme = NULL;
}

bool CXTPVisualStyle::DrawBackground(HDC hDC, int nPart, int nState, const RECT& rc) const
{
    return m_hTheme != NULL
           && SUCCEEDED(VisualStyleApi::Get().pfnDrawThemeBackground(m_hTheme, hDC, nPart, nState, &rc, NULL));
}

RECT CXTPVisualStyle::GetContentRect(HDC hDC, int nPart, int nState, const RECT& rc) const
{
    const VisualStyleApi& api = VisualStyleApi::Get();
    RECT rcContent = rc;
    if (m_hTheme == NULL || !api.pfnGetThemeBackgroundContentRect
        || FAILED(api.pfnGetThemeBackgroundContentRect(m_hTheme, hDC, nPart, nState, &rc, &rcContent)))
        return rc;
    return rcContent;
}

bool CXTPVisualStyle::GetColor(int nPart, int nState, int nProperty, COLORREF& clr) const
{
    const VisualStyleApi& api = VisualStyleApi::Get();
    return m_hTheme != NULL && api.pfnGetThemeColor
           && SUCCEEDED(api.pfnGetThemeColor(m_hTheme, nPart, nState, nProperty, &clr));
}

bool CXTPVisualStyle::IsPartiallyTransparent(int nPart, int nState) const
{
    const VisualStyleApi& api = VisualStyleApi::Get();
    // Unknown means transparent: painting the parent first is never wrong.
    return m_hTheme != NULL
           && (!api.pfnIsThemeBackgroundPartiallyTransparent
               || api.pfnIsThemeBackgroundPartiallyTransparent(m_hTheme, nPart, nState));
}

bool CXTPVisualStyle::DrawParentBackground(HWND hWnd, HDC hDC, const RECT& rc)
{
    const VisualStyleApi& api = VisualStyleApi::Get();
    return hWnd != NULL && api.pfnDrawThemeParentBackground
           && SUCCEEDED(api.pfnDrawThemeParentBackground(hWnd, hDC, &rc));
}
