// Where a line of Chinese and Latin text may end.
#pragma once

#include <windows.h>

// Whether a line may end between chBefore and chAfter, blanks aside (they are
// the breaker's own): between two ideographs, and between an ideograph and a
// Latin word or number, but never before closing punctuation ("！", "，",
// ")") nor after opening punctuation ("（", "“", "("); a run of other
// characters (a number such as "1234.5663", a Latin word) stays whole. A null
// character (an embedded element) never breaks.
bool XTPMarkupCanBreakBetween(WCHAR chBefore, WCHAR chAfter);
