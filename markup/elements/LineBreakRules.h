// Where a text without spaces may go on to the next line.
#pragma once

#include <windows.h>

// Whether a line may end between chBefore and chAfter when a word is too long
// for its line. Ideographic text breaks between any two characters, except
// that closing punctuation ("！", "，", ")") never starts a line and opening
// punctuation never ends one; a run of other characters (a number such as
// "1234.5663", a Latin word) stays whole.
bool XTPMarkupCanBreakBetween(WCHAR chBefore, WCHAR chAfter);
