// Owners for GDI objects. Classes: CXTPGdiObject (an object deleted with its
// owner), CXTPSelectObject (a selection undone when the guard goes).
#pragma once

#include <windows.h>

template <class THandle> class CXTPGdiObject
{
public:
    explicit CXTPGdiObject(THandle hObject = NULL) : m_hObject(hObject) {}
    ~CXTPGdiObject()
    {
        if (m_hObject != NULL)
            ::DeleteObject(m_hObject);
    }
    CXTPGdiObject(const CXTPGdiObject&) = delete;
    CXTPGdiObject& operator=(const CXTPGdiObject&) = delete;

    operator THandle() const { return m_hObject; }

    THandle m_hObject;
};

class CXTPSelectObject
{
public:
    // A null object selects nothing and restores nothing.
    CXTPSelectObject(HDC hDC, HGDIOBJ hObject)
        : m_hDC(hDC), m_hOldObject(hObject != NULL ? ::SelectObject(hDC, hObject) : NULL)
    {
    }
    ~CXTPSelectObject()
    {
        if (m_hOldObject != NULL)
            ::SelectObject(m_hDC, m_hOldObject);
    }
    CXTPSelectObject(const CXTPSelectObject&) = delete;
    CXTPSelectObject& operator=(const CXTPSelectObject&) = delete;

private:
    HDC m_hDC;
    HGDIOBJ m_hOldObject;
};
