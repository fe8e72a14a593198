#include "markup/elements/Span.h"

#include "markup/model/Converter.h"
#include "markup/model/Numbers.h"
#include "markup/model/Type.h"

IMPLEMENT_MARKUPCLASS(L"Span", CXTPMarkupSpan, CXTPMarkupInline)
IMPLEMENT_MARKUPCLASS(L"Bold", CXTPMarkupBold, CXTPMarkupSpan)
IMPLEMENT_MARKUPCLASS(L"Italic", CXTPMarkupItalic, CXTPMarkupSpan)
IMPLEMENT_MARKUPCLASS(L"Underline", CXTPMarkupUnderline, CXTPMarkupSpan)

namespace
{
constexpr int kBoldWeight = 700;
} // namespace

CXTPMarkupSpan::CXTPMarkupSpan() : m_pInlines(new CXTPMarkupInlineCollection())
{
    m_pInlines->SetLogicalParent(this);
}

CXTPMarkupSpan::~CXTPMarkupSpan()
{
    m_pInlines->RemoveAll();
    m_pInlines->SetLogicalParent(nullptr);
    m_pInlines->Release();
}

void CXTPMarkupSpan::AddContent(CXTPMarkupObjectBuilder* pBuilder, CXTPMarkupObject* pContent)
{
    m_pInlines->AddContent(pBuilder, pContent);
}

BOOL CXTPMarkupSpan::HasContent() const
{
    return m_pInlines->GetCount() > 0;
}

BOOL CXTPMarkupSpan::KeepsWhitespace() const
{
    return TRUE;
}

int CXTPMarkupSpan::GetLogicalChildCount() const
{
    return 1;
}

CXTPMarkupObject* CXTPMarkupSpan::GetLogicalChild(int nIndex) const
{
    return nIndex == 0 ? m_pInlines : nullptr;
}

CXTPMarkupInline* CXTPMarkupSpan::GetFirstLeaf()
{
    CXTPMarkupInline* pFirst = m_pInlines->GetInline(0);
    return pFirst ? pFirst->GetFirstLeaf() : this;
}

CXTPMarkupBold::CXTPMarkupBold()
{
    SetValue(m_pFontWeightProperty, CXTPMarkupEnum::CreateValue(kBoldWeight));
}

CXTPMarkupItalic::CXTPMarkupItalic()
{
    SetValue(m_pFontStyleProperty, CXTPMarkupEnum::CreateValue(xtpMarkupFontStyleItalic));
}

CXTPMarkupUnderline::CXTPMarkupUnderline()
{
    SetValue(m_pTextDecorationsProperty, CXTPMarkupEnum::CreateValue(xtpMarkupTextDecorationsUnderline));
}
