// Start-up, single instance and every way the real program ends.
#include <gtest/gtest.h>

#include "harness/Harness.h"

using namespace e2e;

TEST(Lifecycle, StartCreatesTableFileAndShutdownMessageEndsProgram) {
    Program program;
    program.QuietSettings();
    program.Start();
    ASSERT_TRUE(WaitFor([&] { return Exists(program.TablePath()); })) << program.TablePath();
    ASSERT_TRUE(program.WaitUntilIdle());
    program.Shutdown();
    EXPECT_TRUE(program.WaitForExit());
}
