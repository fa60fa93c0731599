// The test programs' entry point: gtest over the same process-wide objects
// the launcher has.
#include <gtest/gtest.h>

#include "framework/Afx.h"
#include "simpleui/LoadPngResource.h"

int main(int argc, char** argv) {
    SetPngResourceModule(GetModuleHandleW(nullptr));
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
