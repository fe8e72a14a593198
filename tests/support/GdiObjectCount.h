// How many GDI objects the process holds, for leak checks.
#pragma once

#include <windows.h>

// GetGuiResources where it works. Wine answers 0 there, but keeps the
// process's GDI handle table (the layout Windows uses) at the same place in
// the process environment block: its used entries are counted instead. The
// count only reads; it makes and frees nothing. 0 when neither way works.
DWORD CountGdiObjects();
