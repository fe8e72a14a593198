#include "markup/elements/Image.h"

#include "markup/elements/ElementContext.h"
#include "markup/elements/Painter.h"

#include "markup/model/DependencyProperty.h"
#include "markup/model/Numbers.h"
#include "markup/model/String.h"
#include "markup/model/Type.h"

#include "toolkit/CodePage.h"
#include "toolkit/ImageStore.h"
#include "toolkit/ImageStoreImage.h"

#include <cwchar>
#include <string>

IMPLEMENT_MARKUPCLASS(L"Image", CXTPMarkupImage, CXTPMarkupFrameworkElement)

CXTPMarkupDependencyProperty* CXTPMarkupImage::m_pSourceProperty = nullptr;

void CXTPMarkupImage::RegisterMarkupProperties()
{
    m_pSourceProperty = CXTPMarkupDependencyProperty::Register(
        L"Source", MARKUP_TYPE(CXTPMarkupString), MARKUP_TYPE(CXTPMarkupImage),
        new CXTPMarkupPropertyOptions(nullptr, CXTPMarkupPropertyOptions::AffectsMeasure));
}

namespace
{
const WCHAR kFilePrefix[] = L"file://";
const WCHAR kResourcePrefix[] = L"res://";

bool StartsWith(const CXTPMarkupString* pText, const WCHAR* pszPrefix, int nPrefix)
{
    return pText->GetLength() >= nPrefix && wcsncmp(pText->GetText(), pszPrefix, nPrefix) == 0;
}

// File paths and resource names go to the ANSI functions of the system.
std::string ToAnsi(LPCWSTR lpszText, int nLength)
{
    return nLength > 0 ? XTPToMultiByte(lpszText, nLength, CP_ACP) : std::string();
}

// The program's pictures are resources of the executable itself.
HMODULE GetResourceModule()
{
    return ::GetModuleHandleW(nullptr);
}
} // namespace

CXTPMarkupImage::CXTPMarkupImage() : m_pImageStore(nullptr), m_pImage(nullptr) {}

CXTPMarkupImage::~CXTPMarkupImage()
{
    ReleaseImage();
}

void CXTPMarkupImage::ReleaseImage()
{
    if (m_pImage)
    {
        m_pImage->Release();
        m_pImage = nullptr;
    }
    if (m_pImageStore)
    {
        m_pImageStore->Release();
        m_pImageStore = nullptr;
    }
}

void CXTPMarkupImage::ResolveImageSource()
{
    const CXTPMarkupString* pSource = MarkupCast<CXTPMarkupString>(GetValue(m_pSourceProperty));
    if (!pSource)
        return;
    ReleaseImage();

    const int nFilePrefix = static_cast<int>(wcslen(kFilePrefix));
    const int nResourcePrefix = static_cast<int>(wcslen(kResourcePrefix));
    CXTPImageStore* pStore = nullptr; // one reference
    UINT nId = 0;                     // loaded pictures are number 0 of their own store
    const CXTPMarkupElementContext* pContext = GetMarkupContext();
    const XTPMarkupImageSourceLoader* pLoader =
        pContext ? pContext->GetImageSourceLoader() : XTPMarkupGetDefaultImageSourceLoader();
    if (StartsWith(pSource, kFilePrefix, nFilePrefix))
    {
        const std::string strPath = ToAnsi(pSource->GetText() + nFilePrefix, pSource->GetLength() - nFilePrefix);
        if (pLoader)
            pStore = pLoader->pfnCreateFileStore(strPath.c_str());
    }
    else if (StartsWith(pSource, kResourcePrefix, nResourcePrefix))
    {
        const std::string strName =
            ToAnsi(pSource->GetText() + nResourcePrefix, pSource->GetLength() - nResourcePrefix);
        if (pLoader)
            pStore = pLoader->pfnCreateResourceStore(GetResourceModule(), strName.c_str());
    }
    else
    {
        const int nNumber = CXTPMarkupInt::ReadText(pSource->GetText(), pSource->GetLength());
        if (nNumber < 1)
            return;
        nId = static_cast<UINT>(nNumber);
        pStore = pContext && pContext->GetImageStore() ? pContext->GetImageStore() : CXTPImageStore::GetSharedStore();
        pStore->AddRef();
    }

    if (!pStore)
        return; // no loader: the picture stays away, as an unreadable one does
    m_pImageStore = pStore;
    m_pImage = pStore->GetImage(nId, 0);
    if (m_pImage)
        m_pImage->AddRef();
}

SIZE CXTPMarkupImage::GetImageSize() const
{
    if (!m_pImage)
        return SIZE{0, 0};
    // A picture's pixels are 96-DPI pixels, as markup lengths are.
    const CXTPMarkupElementContext* pContext = GetMarkupContext();
    const int nDpi = pContext ? pContext->GetDpi() : 96;
    return SIZE{::MulDiv(m_pImage->GetWidth(), nDpi, 96), ::MulDiv(m_pImage->GetHeight(), nDpi, 96)};
}

SIZE CXTPMarkupImage::MeasureContent(CXTPMarkupPainter* /*pPainter*/, int /*cxConstraint*/, int /*cyConstraint*/)
{
    ResolveImageSource();
    return GetImageSize();
}

void CXTPMarkupImage::DrawContent(CXTPMarkupPainter* pPainter)
{
    // An empty box must not fall back to the picture's own size, which a
    // width or height of 0 means to Draw.
    const SIZE sz = GetArrangedSize();
    if (!m_pImage || sz.cx <= 0 || sz.cy <= 0)
        return;
    pPainter->DrawImage(m_pImage, 0, 0, sz.cx, sz.cy);
}
