// Entry point of the test programs of the element tree and its host: every
// markup class registered and initialised as the first host would, and every
// test checked for leaked markup objects.
#include "support/MarkupLeakCheck.h"

#include "markup/host/MarkupTypes.h"
#include "markup/model/Type.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    RegisterMarkupTypes();
    CXTPMarkupType::InitializeTypes();
    InstallMarkupLeakCheck();
    return RUN_ALL_TESTS();
}
