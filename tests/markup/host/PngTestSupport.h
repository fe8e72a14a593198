// Reading test files and making PNG streams for the decoder tests.
#pragma once

#include <windows.h>

#include <zlib.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

inline std::vector<BYTE> ReadFileBytes(const std::string& strPath)
{
    std::ifstream file(strPath, std::ios::binary);
    return std::vector<BYTE>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The .png files of a folder, sorted by name.
std::vector<std::string> ListPngFiles(const std::string& strFolder);

inline void AppendBigEndian(std::vector<BYTE>& data, uint32_t nValue)
{
    for (int nShift = 24; nShift >= 0; nShift -= 8)
        data.push_back(static_cast<BYTE>(nValue >> nShift));
}

inline void AppendChunk(std::vector<BYTE>& png, const char* pszType, const std::vector<BYTE>& body)
{
    AppendBigEndian(png, static_cast<uint32_t>(body.size()));
    std::vector<BYTE> typed(pszType, pszType + 4);
    typed.insert(typed.end(), body.begin(), body.end());
    png.insert(png.end(), typed.begin(), typed.end());
    AppendBigEndian(png, static_cast<uint32_t>(crc32(0, typed.data(), static_cast<uInt>(typed.size()))));
}

// A PNG stream whose header claims nWidth x nHeight pixels of the colour type,
// followed by the given image data (compressed here) and the end chunk.
inline std::vector<BYTE> MakePng(uint32_t nWidth, uint32_t nHeight, BYTE nColorType, const std::vector<BYTE>& raw)
{
    std::vector<BYTE> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    std::vector<BYTE> header;
    AppendBigEndian(header, nWidth);
    AppendBigEndian(header, nHeight);
    header.insert(header.end(), {8, nColorType, 0, 0, 0});
    AppendChunk(png, "IHDR", header);
    uLongf nCompressed = compressBound(static_cast<uLong>(raw.size()));
    std::vector<BYTE> compressed(nCompressed);
    compress(compressed.data(), &nCompressed, raw.data(), static_cast<uLong>(raw.size()));
    compressed.resize(nCompressed);
    AppendChunk(png, "IDAT", compressed);
    AppendChunk(png, "IEND", {});
    return png;
}

// Memory whose end borders on a page that may not be read, so that reading
// one byte past the data crashes the test instead of passing unnoticed.
class CGuardedBuffer
{
public:
    explicit CGuardedBuffer(const std::vector<BYTE>& data)
    {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        const size_t nPage = info.dwPageSize;
        const size_t nDataPages = (data.size() + nPage - 1) / nPage + 1;
        m_pBase = static_cast<BYTE*>(VirtualAlloc(nullptr, (nDataPages + 1) * nPage, MEM_COMMIT, PAGE_READWRITE));
        DWORD dwOld = 0;
        VirtualProtect(m_pBase + nDataPages * nPage, nPage, PAGE_NOACCESS, &dwOld);
        m_pData = m_pBase + nDataPages * nPage - data.size();
        std::copy(data.begin(), data.end(), m_pData);
        m_nSize = data.size();
    }
    ~CGuardedBuffer() { VirtualFree(m_pBase, 0, MEM_RELEASE); }
    CGuardedBuffer(const CGuardedBuffer&) = delete;
    CGuardedBuffer& operator=(const CGuardedBuffer&) = delete;

    const BYTE* Data() const { return m_pData; }
    size_t Size() const { return m_nSize; }

private:
    BYTE* m_pBase;
    BYTE* m_pData;
    size_t m_nSize;
};
