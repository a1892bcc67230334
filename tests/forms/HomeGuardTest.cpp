#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace {

// Run only by the case of tests/CMakeLists.txt that expects its program to fail: a test that
// writes where the user's home would be is caught, however the test itself ends.
TEST(HomeGuard, DISABLED_AFileWrittenIntoTheHomeFailsTheTestProgram) {
    std::ofstream(std::string(std::getenv("HOME")) + "/left-behind.xlsx") << "x";
    SUCCEED();
}

}  // namespace
