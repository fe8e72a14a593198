#include "markup/host/ContentControl.h"

#include "markup/elements/Run.h"
#include "markup/elements/SingleChildElement.h"
#include "markup/elements/TextBlock.h"

#include "markup/model/DependencyProperty.h"
#include "markup/model/String.h"
#include "markup/model/Type.h"

IMPLEMENT_MARKUPCLASS(nullptr, CXTPMarkupContentControl, CXTPMarkupControl)

CXTPMarkupDependencyProperty* CXTPMarkupContentControl::m_pContentProperty = nullptr;

void CXTPMarkupContentControl::RegisterMarkupProperties()
{
    using Options = CXTPMarkupPropertyOptions;
    m_pContentProperty = CXTPMarkupDependencyProperty::Register(
        L"Content", MARKUP_TYPE(CXTPMarkupUIElement), MARKUP_TYPE(CXTPMarkupContentControl),
        new Options(nullptr, &CXTPMarkupContentControl::ConvertContent, Options::AffectsMeasure));
}

CXTPMarkupContentControl::CXTPMarkupContentControl() {}

CXTPMarkupUIElement* CXTPMarkupContentControl::GetContent() const
{
    return MarkupCast<CXTPMarkupUIElement>(GetValue(m_pContentProperty));
}

void CXTPMarkupContentControl::SetContent(CXTPMarkupUIElement* pContent)
{
    SetValue(m_pContentProperty, pContent);
}

CXTPMarkupObject* CXTPMarkupContentControl::ConvertContent(CXTPMarkupElementContext* pHost, CXTPMarkupObject* pValue)
{
    return MarkupCast<CXTPMarkupString>(pValue) ? CreateTextContent(pHost, pValue) : nullptr;
}

CXTPMarkupUIElement* CXTPMarkupContentControl::CreateTextContent(CXTPMarkupElementContext* pHost,
                                                                 CXTPMarkupObject* pText)
{
    CXTPMarkupPtr<CXTPMarkupTextBlock> textBlock(
        MarkupCast<CXTPMarkupTextBlock>(CXTPMarkupType::CreateObject(pHost, MARKUP_TYPE(CXTPMarkupTextBlock))));
    CXTPMarkupPtr<CXTPMarkupRun> run(
        MarkupCast<CXTPMarkupRun>(CXTPMarkupType::CreateObject(pHost, MARKUP_TYPE(CXTPMarkupRun))));
    if (!textBlock || !run)
        return nullptr;
    pText->AddRef();
    run->SetValue(CXTPMarkupRun::m_pTextProperty, pText);
    textBlock->GetInlines()->Add(run.Detach());
    return textBlock.Detach();
}

void CXTPMarkupContentControl::AddContent(CXTPMarkupObjectBuilder* /*pBuilder*/, CXTPMarkupObject* pContent)
{
    CXTPMarkupPtr<CXTPMarkupObject> content(pContent);
    if (MarkupCast<CXTPMarkupString>(pContent))
    {
        if (CXTPMarkupUIElement* pText = CreateTextContent(GetMarkupContext(), pContent))
            content.Reset(pText);
    }
    CXTPMarkupSingleChildElement::CheckSingleContent(this, GetContent() != nullptr, content.Get());
    SetContent(static_cast<CXTPMarkupUIElement*>(content.Detach()));
}

BOOL CXTPMarkupContentControl::HasContent() const
{
    return GetContent() != nullptr;
}

int CXTPMarkupContentControl::GetChildCount() const
{
    return GetContent() ? 1 : 0;
}

CXTPMarkupVisual* CXTPMarkupContentControl::GetChild(int nIndex) const
{
    return nIndex == 0 ? GetContent() : nullptr;
}
