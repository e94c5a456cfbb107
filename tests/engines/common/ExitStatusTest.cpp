// Both engines exit with 0 after writing their listing and with 3 when
// standard output cannot take it (here a device that is always full): a
// large listing fails while being written, a short one when flushed.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <utility>

namespace {

TEST(EngineExit, StatusSaysWhetherTheListingWasWritten) {
    if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full here";
    const std::pair<const char*, const char*> engines[] = {
        {DISCRETE_EXE, FLUVENA_TEST_DATA "/bimodal.discrete.in"},  // a listing of some 20 kB
        {CONTIN_EXE, FLUVENA_TEST_DATA "/badng.contin.in"},        // a rejection of a few lines
    };
    for (const auto& [exe, deck] : engines)
        for (const auto& [output, want] : {std::pair{"/dev/null", 0}, std::pair{"/dev/full", 3}}) {
            const int status = std::system((std::string("'") + exe + "' < '" + deck + "' > " + output).c_str());
            EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, want) << exe << " > " << output;
        }
}

}  // namespace
