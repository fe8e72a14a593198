// Leak checking for markup tests: every markup object a test creates must be
// gone when the test ends.
#pragma once

#include <windows.h>

// Adds a listener that fails any test after which more markup objects are
// alive than before it, naming the classes of those created during the test.
// Objects made permanent (type and property records, shared values, property
// defaults) do not count. Call once, after testing::InitGoogleTest.
void InstallMarkupLeakCheck();

// Objects alive now beyond those alive when this was constructed: for checks
// inside a test, such as "a failed load leaves nothing behind".
class CMarkupLiveObjects
{
public:
    CMarkupLiveObjects();
    LONG Added() const;

private:
    LONG m_nStart;
};
