// Loads PNG and BMP pictures from files and from the executable's resources.
#pragma once

#include <windows.h>

class CXTPImageStore;

class CXTPImageLoader
{
public:
    // A PNG (by its signature) or a BMP file. *pbAlpha tells whether the
    // bitmap is a 32-bit DIB section with straight alpha. Null on failure.
    static HBITMAP LoadImageFile(LPCSTR lpszPath, BOOL* pbAlpha);
    // A resource of type "PNG" that holds a PNG, else a bitmap resource of that name.
    static HBITMAP LoadImageResource(HMODULE hModule, LPCSTR lpszName, BOOL* pbAlpha);

    // A new store (one reference, pure green as mask colour) holding the
    // picture as image number 0, or holding nothing when it cannot be loaded.
    static CXTPImageStore* CreateFileStore(LPCSTR lpszPath);
    // The same for a resource name; without a PNG or bitmap resource the icon
    // group (or icon) of that name is taken. Decoded once per process: later
    // calls for the module and name share the store, which nobody may change.
    static CXTPImageStore* CreateResourceStore(HMODULE hModule, LPCSTR lpszName);

private:
    // A DIB section from a packed 32-bit bitmap (header and pixels).
    static HBITMAP CreateDibFromPacked(const BYTE* pData, size_t nSize);
};
