// The placeholder the builder keeps open for a property element such as
// <TextBlock.Foreground>: it collects the content that becomes the value.
#pragma once

#include "markup/model/Object.h"

class CXTPMarkupObjectProperty : public CXTPMarkupObject
{
    DECLARE_MARKUPCLASS(CXTPMarkupObjectProperty)
public:
    explicit CXTPMarkupObjectProperty(CXTPMarkupDependencyProperty* pProperty);

    CXTPMarkupDependencyProperty* GetProperty() const { return m_pProperty; }

    // The value collected so far, borrowed; null before any content.
    CXTPMarkupObject* GetMarkupValue() const { return m_pValue; }

    // Hands the value over to the caller (one reference) and forgets it, so
    // that it reaches its element exactly once.
    CXTPMarkupObject* DetachMarkupValue();

    // A child of the property's value type, or a string, becomes the value
    // (releasing an earlier one); any other child goes into the value, which
    // is created for the builder's host when there is none yet.
    void AddContent(CXTPMarkupObjectBuilder* pBuilder, CXTPMarkupObject* pContent) override;

    // Resources of a value already set, such as a "Resources" dictionary that
    // later siblings in the same property element name.
    CXTPMarkupObject* FindResource(const CXTPMarkupObject* pKey) const override;

protected:
    ~CXTPMarkupObjectProperty() override;

private:
    CXTPMarkupObject* m_pValue;
    CXTPMarkupDependencyProperty* m_pProperty;
};
