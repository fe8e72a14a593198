#include "PngTestSupport.h"

#include <algorithm>

std::vector<std::string> ListPngFiles(const std::string& strFolder)
{
    std::vector<std::string> files;
    WIN32_FIND_DATAA found;
    HANDLE hFind = FindFirstFileA((strFolder + "/*.png").c_str(), &found);
    if (hFind == INVALID_HANDLE_VALUE)
        return files;
    do
        files.push_back(strFolder + "/" + found.cFileName);
    while (FindNextFileA(hFind, &found));
    FindClose(hFind);
    std::sort(files.begin(), files.end());
    return files;
}
