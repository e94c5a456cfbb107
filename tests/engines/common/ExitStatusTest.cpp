// Both engines exit with 0 after writing their listing and with 3 when
// standard output cannot take it (here a device that is always full): a
// large listing fails while being written, a short one when flushed.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace {

struct Engine {
    const char* exe;
    const char* deck;
};

const Engine kEngines[] = {
    {DISCRETE_EXE, FLUVENA_TEST_DATA "/bimodal.discrete.in"},  // a listing of some 20 kB
    {CONTIN_EXE, FLUVENA_TEST_DATA "/badng.contin.in"},        // a rejection of a few lines
};

int ExitStatus(const Engine& e, const char* output) {
    const std::string command = std::string("'") + e.exe + "' < '" + e.deck + "' > " + output;
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(EngineExit, StatusSaysWhetherTheListingWasWritten) {
    if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full here";
    for (const Engine& e : kEngines) {
        EXPECT_EQ(ExitStatus(e, "/dev/null"), 0) << e.exe;
        EXPECT_EQ(ExitStatus(e, "/dev/full"), 3) << e.exe;
    }
}

}  // namespace
