// Number and truth values with their text forms. Classes: CXTPMarkupInt,
// CXTPMarkupDouble, CXTPMarkupEnum, CXTPMarkupBool.
#pragma once

#include "markup/model/Object.h"

// Value classes compare equal when the other object is of exactly the same
// class and holds the same value; they hash by address.

class CXTPMarkupInt : public CXTPMarkupObject
{
    DECLARE_MARKUPCLASS(CXTPMarkupInt)
public:
    explicit CXTPMarkupInt(int nValue = 0);
    operator int() const { return m_nValue; }

    // atol rules: never fails ("12px" is 12, "abc" is 0); saturates.
    static int ReadText(LPCWSTR lpszText, int nLength);
    CXTPMarkupObject* ParseValue(CXTPMarkupObject* pValue) override;
    BOOL IsEqual(const CXTPMarkupObject* pObject) const override;

private:
    int m_nValue;
};

class CXTPMarkupDouble : public CXTPMarkupObject
{
    DECLARE_MARKUPCLASS(CXTPMarkupDouble)
public:
    explicit CXTPMarkupDouble(double dValue = 0);
    operator double() const { return m_dValue; }

    // The markup's own number form: spaces, a sign, digits with at most one
    // point; no exponent. The number ends at a space, at chSeparator (when
    // non-zero) or at the end; after it spaces, one separator and spaces are
    // skipped. Reads from nPos on and advances it; FALSE on anything else.
    static BOOL ScanNumber(LPCWSTR lpszText, int nLength, int& nPos, WCHAR chSeparator, double& dValue);
    // A whole text that is one number (surrounding spaces allowed).
    static BOOL ReadText(LPCWSTR lpszText, int nLength, double& dValue);

    CXTPMarkupObject* ParseValue(CXTPMarkupObject* pValue) override;
    BOOL IsEqual(const CXTPMarkupObject* pObject) const override;

private:
    double m_dValue;
};

// Keyword values; the keyword parsers make them. 0 to 7 are shared.
class CXTPMarkupEnum : public CXTPMarkupObject
{
    DECLARE_MARKUPCLASS(CXTPMarkupEnum)
public:
    explicit CXTPMarkupEnum(int nValue = 0);
    static CXTPMarkupEnum* CreateValue(int nValue); // one reference
    operator int() const { return m_nValue; }

    BOOL IsEqual(const CXTPMarkupObject* pObject) const override;

private:
    int m_nValue;
};

class CXTPMarkupBool : public CXTPMarkupObject
{
    DECLARE_MARKUPCLASS(CXTPMarkupBool)
public:
    explicit CXTPMarkupBool(BOOL bValue = FALSE);
    // The shared instances, one reference each.
    static CXTPMarkupBool* CreateTrueValue();
    static CXTPMarkupBool* CreateFalseValue();
    static CXTPMarkupBool* CreateValue(BOOL bValue);
    operator BOOL() const { return m_bValue; }

    // "True" or "False", ignoring case.
    CXTPMarkupObject* ParseValue(CXTPMarkupObject* pValue) override;
    BOOL IsEqual(const CXTPMarkupObject* pObject) const override;

private:
    BOOL m_bValue;
};
