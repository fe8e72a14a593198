#include "app/SettingsStore.h"

#include "toolkit/CodePage.h"

CSettingsStore::CSettingsStore(std::wstring strProgramDir, std::wstring strUserDir)
    : m_strProgramDir(std::move(strProgramDir)), m_strUserDir(std::move(strUserDir))
{
}

std::wstring CSettingsStore::ReadFile() const
{
    const std::wstring strUser = UserFile();
    return !m_strUserDir.empty() && ::GetFileAttributesW(strUser.c_str()) != INVALID_FILE_ATTRIBUTES ? strUser
                                                                                                     : ProgramFile();
}

int CSettingsStore::ReadInt(LPCWSTR pszKey, int nDefault) const
{
    return static_cast<int>(::GetPrivateProfileIntW(kSection, pszKey, nDefault, ReadFile().c_str()));
}

std::string CSettingsStore::ReadString(LPCWSTR pszKey, size_t nMaxLength) const
{
    std::wstring strValue(nMaxLength + 2, L'\0');
    const DWORD dwLength = ::GetPrivateProfileStringW(kSection, pszKey, L"", &strValue[0],
                                                      static_cast<DWORD>(strValue.size()), ReadFile().c_str());
    // A value that filled the buffer was cut.
    if (dwLength == 0 || dwLength > nMaxLength)
        return std::string();
    strValue.resize(dwLength);
    // Back to the bytes the file holds, so that the value means what it did
    // with the ANSI calls.
    return XTPToMultiByte(strValue.c_str(), static_cast<int>(dwLength), CP_ACP);
}

BOOL CSettingsStore::Write(const Values& values)
{
    const bool bUserFileExists =
        !m_strUserDir.empty() && ::GetFileAttributesW(UserFile().c_str()) != INVALID_FILE_ATTRIBUTES;
    if (!bUserFileExists)
    {
        if (WriteTo(ProgramFile(), values))
            return TRUE;
        if (m_strUserDir.empty() || !MakeUserFile())
            return FALSE;
    }
    return WriteTo(UserFile(), values);
}

namespace
{
// Asked before the profile calls write: some systems let those write a file
// marked read-only, which is the user's wish that it stay as it is.
bool CanWrite(const std::wstring& strFile)
{
    const DWORD dwAttributes = ::GetFileAttributesW(strFile.c_str());
    if (dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_READONLY) != 0)
        return false;
    HANDLE hFile = ::CreateFileW(strFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, NULL);
    if (hFile == INVALID_HANDLE_VALUE)
        return false;
    ::CloseHandle(hFile);
    return true;
}
} // namespace

BOOL CSettingsStore::WriteTo(const std::wstring& strFile, const Values& values)
{
    if (!CanWrite(strFile))
        return FALSE;
    for (const auto& value : values)
    {
        // Digits only, so the narrow form widens as it is; the wide
        // conversion would format through the C99 printf.
        const std::string strDigits = std::to_string(value.second);
        const std::wstring strValue(strDigits.begin(), strDigits.end());
        if (!::WritePrivateProfileStringW(kSection, value.first, strValue.c_str(), strFile.c_str()))
            return FALSE;
    }
    return TRUE;
}

BOOL CSettingsStore::MakeUserFile() const
{
    if (!::CreateDirectoryW(m_strUserDir.c_str(), NULL) && ::GetLastError() != ERROR_ALREADY_EXISTS)
        return FALSE;
    const std::wstring strProgramFile = ProgramFile();
    if (::GetFileAttributesW(strProgramFile.c_str()) == INVALID_FILE_ATTRIBUTES)
        return TRUE;
    const std::wstring strUserFile = UserFile();
    if (!::CopyFileW(strProgramFile.c_str(), strUserFile.c_str(), TRUE))
        return FALSE;
    // The copy keeps the read-only mark that sent us here; it must be writable.
    return ::SetFileAttributesW(strUserFile.c_str(), FILE_ATTRIBUTE_NORMAL);
}
