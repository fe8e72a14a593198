// Entry point of the markup test programs: the types are initialised as the
// first host would, and every test is checked for leaked markup objects.
#include "support/MarkupLeakCheck.h"

#include "support/MarkupStandIns.h"

#include "markup/model/ObjectBuilder.h"
#include "markup/model/Type.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    CXTPMarkupType::InitializeTypes();
    CXTPMarkupObjectBuilder::SetRootType(MARKUP_TYPE(CTestUIElement));
    InstallMarkupLeakCheck();
    return RUN_ALL_TESTS();
}
