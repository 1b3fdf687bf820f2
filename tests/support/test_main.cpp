// The main of every test program. Engine assertions end the process, so the tests that check them
// run the failing statement in a child. By the time such a test runs, the render device (Mesa) and
// the sound device (OpenAL) may have started threads of their own, and a child that is only forked
// inherits none of them yet joins them on exit; the threadsafe style starts the child as a fresh
// run of this program instead.
#include <gtest/gtest.h>

#include <cstdlib>

#include "support/run_program.h"

int main(int argc, char** argv)
{
    // A child started for one job does that job and nothing else.
    if (AskedChildJob())
        std::exit(RunAskedChildJob());
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
