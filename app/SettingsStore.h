// Where the settings live: setting.ini beside the program while that can be
// written (portable use), else the same file under the user's application
// data, which is read first from the moment it exists.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

class CSettingsStore
{
public:
    static constexpr const wchar_t* kFileName = L"setting.ini";
    static constexpr const wchar_t* kSection = L"general";
    // Below the user's application data folder.
    static constexpr const wchar_t* kUserFolder = L"Horaleon";

    using Values = std::vector<std::pair<LPCWSTR, int>>;

    // Both folders end in a backslash.
    CSettingsStore(std::wstring strProgramDir, std::wstring strUserDir);

    std::wstring ProgramFile() const { return m_strProgramDir + kFileName; }
    std::wstring UserFile() const { return m_strUserDir + kFileName; }
    // The file the settings are read from.
    std::wstring ReadFile() const;

    int ReadInt(LPCWSTR pszKey, int nDefault) const;
    // The value as the file's own bytes (ANSI code page); empty when the key
    // is missing or its value is longer than nMaxLength.
    std::string ReadString(LPCWSTR pszKey, size_t nMaxLength) const;

    // FALSE only when neither file could take every value.
    BOOL Write(const Values& values);

private:
    static BOOL WriteTo(const std::wstring& strFile, const Values& values);
    // The per-user file, starting as a copy of the one beside the program so
    // that no key the user chose (the time server) is lost.
    BOOL MakeUserFile() const;

    std::wstring m_strProgramDir;
    std::wstring m_strUserDir;
};
