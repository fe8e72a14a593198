#include "markup/host/MarkupTypes.h"

#include "markup/host/Delegate.h"
#include "markup/host/InputElement.h"
#include "markup/host/KeyboardNavigation.h"

void RegisterMarkupTypes()
{
    // Referencing each class here also keeps its object file in a static link.
    CXTPMarkupInputElement::GetMarkupType();
    CXTPMarkupKeyboardNavigation::GetMarkupType();
    CXTPMarkupDelegate::GetMarkupType();
}
