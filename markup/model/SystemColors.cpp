#include "markup/model/SystemColors.h"

#include "markup/model/BuilderException.h"
#include "markup/model/Brush.h"
#include "markup/model/Color.h"
#include "markup/model/Type.h"

#include <cwchar>
#include <iterator>

namespace
{
struct SYSCOLORNAME
{
    LPCWSTR lpszName;
    int nIndex;
};

// In this order, every shorter name comes before the longer names it begins,
// so an exact name always finds its own entry first.
const SYSCOLORNAME kSystemColorNames[] = {
    {L"ActiveBorder", COLOR_ACTIVEBORDER},
    {L"ActiveCaption", COLOR_ACTIVECAPTION},
    {L"ActiveCaptionText", COLOR_CAPTIONTEXT},
    {L"AppWorkspace", COLOR_APPWORKSPACE},
    {L"Control", COLOR_BTNFACE},
    {L"ControlDark", COLOR_BTNSHADOW},
    {L"ControlDarkDark", COLOR_3DDKSHADOW},
    {L"ControlLight", COLOR_3DLIGHT},
    {L"ControlLightLight", COLOR_BTNHIGHLIGHT},
    {L"ControlText", COLOR_BTNTEXT},
    {L"Desktop", COLOR_DESKTOP},
    {L"GradientActiveCaption", COLOR_GRADIENTACTIVECAPTION},
    {L"GradientInactiveCaption", COLOR_GRADIENTINACTIVECAPTION},
    {L"GrayText", COLOR_GRAYTEXT},
    {L"Highlight", COLOR_HIGHLIGHT},
    {L"HighlightText", COLOR_HIGHLIGHTTEXT},
    {L"HotTrack", COLOR_HOTLIGHT},
    {L"InactiveBorder", COLOR_INACTIVEBORDER},
    {L"InactiveCaption", COLOR_INACTIVECAPTION},
    {L"InactiveCaptionText", COLOR_INACTIVECAPTIONTEXT},
    {L"Info", COLOR_INFOBK},
    {L"InfoText", COLOR_INFOTEXT},
    {L"Menu", COLOR_MENU},
    {L"MenuBar", COLOR_MENUBAR},
    {L"MenuHighlight", COLOR_MENUHILIGHT},
    {L"MenuText", COLOR_MENUTEXT},
    {L"ScrollBar", COLOR_SCROLLBAR},
    {L"Window", COLOR_WINDOW},
    {L"WindowFrame", COLOR_WINDOWFRAME},
    {L"WindowText", COLOR_WINDOWTEXT},
};

const WCHAR kMemberPrefix[] = L"SystemColors.";
const int kMemberPrefixLength = 13;
const int kMinMemberLength = 20;
} // namespace

IMPLEMENT_MARKUPCLASS(nullptr, CXTPMarkupColorKey, CXTPMarkupObject)
IMPLEMENT_MARKUPCLASS(nullptr, CXTPMarkupBrushKey, CXTPMarkupObject)

CXTPMarkupColorKey::CXTPMarkupColorKey(int nIndex) : m_nIndex(nIndex) {}

CXTPMarkupBrushKey::CXTPMarkupBrushKey(int nIndex) : m_nIndex(nIndex) {}

CXTPMarkupSystemColors::CXTPMarkupSystemColors() : m_pCache() {}

CXTPMarkupSystemColors::~CXTPMarkupSystemColors()
{
    for (auto& kind : m_pCache)
    {
        for (CXTPMarkupObject* pObject : kind)
        {
            if (pObject)
                pObject->Release();
        }
    }
}

CXTPMarkupObject* CXTPMarkupSystemColors::Get(Kind kind, int nIndex)
{
    if (nIndex < 0 || nIndex >= kIndexCount)
        return nullptr;
    CXTPMarkupObject*& pCached = m_pCache[kind][nIndex];
    if (!pCached)
    {
        switch (kind)
        {
        case kColor: pCached = new CXTPMarkupColor(GetSysColor(nIndex)); break;
        case kBrush: pCached = new CXTPMarkupSolidColorBrush(GetSysColor(nIndex)); break;
        case kColorKey: pCached = new CXTPMarkupColorKey(nIndex); break;
        case kBrushKey: pCached = new CXTPMarkupBrushKey(nIndex); break;
        case kKindCount: return nullptr;
        }
    }
    pCached->AddRef();
    return pCached;
}

CXTPMarkupColor* CXTPMarkupSystemColors::GetColor(int nIndex)
{
    return static_cast<CXTPMarkupColor*>(Get(kColor, nIndex));
}

CXTPMarkupSolidColorBrush* CXTPMarkupSystemColors::GetBrush(int nIndex)
{
    return static_cast<CXTPMarkupSolidColorBrush*>(Get(kBrush, nIndex));
}

CXTPMarkupColorKey* CXTPMarkupSystemColors::GetColorKey(int nIndex)
{
    return static_cast<CXTPMarkupColorKey*>(Get(kColorKey, nIndex));
}

CXTPMarkupBrushKey* CXTPMarkupSystemColors::GetBrushKey(int nIndex)
{
    return static_cast<CXTPMarkupBrushKey*>(Get(kBrushKey, nIndex));
}

int CXTPMarkupSystemColors::FindColorIndex(LPCWSTR lpszName, int nLength)
{
    // An empty name would match the first entry; it names nothing.
    if (!lpszName || nLength <= 0)
        return -1;
    for (const SYSCOLORNAME& entry : kSystemColorNames)
    {
        if (static_cast<int>(wcslen(entry.lpszName)) >= nLength && wcsncmp(entry.lpszName, lpszName, nLength) == 0)
            return entry.nIndex;
    }
    return -1;
}

CXTPMarkupObject* CXTPMarkupSystemColors::ResolveStaticMember(LPCWSTR lpszMember)
{
    static const struct
    {
        LPCWSTR lpszSuffix;
        Kind kind;
    } kSuffixes[] = {
        {L"Color", kColor},
        {L"Brush", kBrush},
        {L"ColorKey", kColorKey},
        {L"BrushKey", kBrushKey},
    };

    int nLength = lpszMember ? static_cast<int>(wcslen(lpszMember)) : 0;
    if (nLength >= kMinMemberLength && wcsncmp(lpszMember, kMemberPrefix, kMemberPrefixLength) == 0)
    {
        for (const auto& suffix : kSuffixes)
        {
            int nSuffix = static_cast<int>(wcslen(suffix.lpszSuffix));
            if (nLength - kMemberPrefixLength < nSuffix
                || wcscmp(lpszMember + nLength - nSuffix, suffix.lpszSuffix) != 0)
            {
                continue;
            }
            int nIndex = FindColorIndex(lpszMember + kMemberPrefixLength, nLength - kMemberPrefixLength - nSuffix);
            if (nIndex >= 0)
                return Get(suffix.kind, nIndex);
            break;
        }
    }
    throw CXTPMarkupBuilderException("Cannot find the static member  '%ls'", lpszMember ? lpszMember : L"");
}

CXTPMarkupObject* CXTPMarkupSystemColors::ResolveKey(const CXTPMarkupObject* pKey)
{
    if (const CXTPMarkupColorKey* pColorKey = MarkupCast<CXTPMarkupColorKey>(pKey))
        return GetColor(pColorKey->GetIndex());
    if (const CXTPMarkupBrushKey* pBrushKey = MarkupCast<CXTPMarkupBrushKey>(pKey))
        return GetBrush(pBrushKey->GetIndex());
    return nullptr;
}
