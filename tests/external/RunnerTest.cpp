#include "external/Runner.h"
#include "base/Errors.h"
#include "io/FileIO.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fstream>
#include <sys/stat.h>
#include <thread>

using namespace fluvena;
namespace fs = std::filesystem;

namespace {

struct TempDir {
    fs::path path;
    TempDir()
    {
        std::string tmpl = (fs::temp_directory_path() / "fluvena-runner-XXXXXX").string();
        path = ::mkdtemp(tmpl.data());
    }
    ~TempDir() { fs::remove_all(path); }
};

std::string RunEngineBlocking(Engine engine, const std::vector<std::string>& deck, const RunFiles& files,
                              const fs::path& helperDir)
{
    BlockingRunner runner(files.workDir, helperDir);
    return runner.Run(engine, deck).listing;
}

void WriteScript(const fs::path& file, const std::string& body)
{
    std::ofstream(file) << "#!/bin/sh\n" << body;
    ::chmod(file.c_str(), 0755);
}

}  // namespace

TEST(Runner, SavesTheDeckRunsTheHelperAndReadsTheListing)
{
    TempDir work, helpers;
    // The fake engine copies its standard input (the deck) to its listing.
    WriteScript(helpers.path / "contin.exe", "echo LISTING; cat\n");
    const auto listing = RunEngineBlocking(Engine::Contin, {"nazwa.in", " LAST"}, RunFiles{work.path}, helpers.path);
    EXPECT_EQ(listing, "LISTING\nnazwa.in\r\n LAST\r\n");
    EXPECT_EQ(ReadFile(work.path / "nazwa.in"), "nazwa.in\r\n LAST\r\n");
}

TEST(Runner, AProgramEarlierOnPathWinsOverTheBundledOne)
{
    TempDir work, helpers, user;
    WriteScript(helpers.path / "discrete.exe", "echo bundled\n");
    WriteScript(user.path / "discrete.exe", "echo users\n");
    const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    ::setenv("PATH", (user.path.string() + ":" + oldPath).c_str(), 1);
    const auto listing = RunEngineBlocking(Engine::Discrete, {"x"}, RunFiles{work.path}, helpers.path);
    ::setenv("PATH", oldPath.c_str(), 1);
    EXPECT_EQ(listing, "users\n");
}

TEST(Runner, AMissingProgramIsReportedAsSuch)
{
    TempDir work, helpers;
    try {
        RunEngineBlocking(Engine::Contin, {"x"}, RunFiles{work.path}, helpers.path);
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("contin.exe"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("not found"), std::string::npos) << e.what();
    }
}

TEST(Runner, AStaleListingIsNotTakenForANewOne)
{
    TempDir work, helpers;
    std::ofstream(work.path / "nazwa.out") << "OLD RESULTS";
    WriteScript(helpers.path / "contin.exe", "exit 0\n");  // writes nothing
    // The redirection creates an empty nazwa.out; the old text must be gone.
    EXPECT_EQ(RunEngineBlocking(Engine::Contin, {"x"}, RunFiles{work.path}, helpers.path), "");

    // A program that fails before the shell opens the listing leaves none.
    fs::remove(work.path / "nazwa.out");
    std::ofstream(work.path / "nazwa.out") << "OLD RESULTS";
    ExternalProcess p("exit 3", work.path, helpers.path);
    PrepareRun(RunFiles{work.path}, {"x"});
    p.Wait();
    EXPECT_EQ(p.ExitStatus(), 3);
    try {
        CollectListing(RunFiles{work.path}, Engine::Contin, p);
        ADD_FAILURE() << "no error";
    } catch (const FileError& e) {
        EXPECT_STREQ(e.what(), "Cannot open file nazwa.out");
    }
}

TEST(Runner, CancelEndsTheProgramAndItsChildren)
{
    TempDir work;
    ExternalProcess p("sleep 30 & echo $! > child.pid; sleep 30", work.path, {});
    for (int k = 0; k < 200 && !fs::exists(work.path / "child.pid"); ++k)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(p.Finished());
    const auto start = std::chrono::steady_clock::now();
    p.Cancel();
    EXPECT_TRUE(p.Finished());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    std::ifstream in(work.path / "child.pid");
    pid_t child = 0;
    in >> child;
    ASSERT_GT(child, 0);
    // Gone, or a zombie waiting for whoever adopted it to reap it.
    auto alive = [child] {
        std::ifstream stat("/proc/" + std::to_string(child) + "/stat");
        std::string pid, name, state;
        if (!(stat >> pid >> name >> state)) return false;
        return state != "Z" && state != "X";
    };
    for (int k = 0; k < 100 && alive(); ++k) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(alive()) << "the child outlived the cancel";
}

TEST(Runner, AnUnwritableWorkDirectoryFailsBeforeRunning)
{
    TempDir work;
    const RunFiles files{work.path / "missing" / "dir"};
    try {
        PrepareRun(files, {"x"});
        ADD_FAILURE() << "no error";
    } catch (const FileError& e) {
        EXPECT_STREQ(e.what(), "Cannot create file nazwa.in");
    }
}

TEST(Runner, HelperDirectoryLiesBesideTheProgram)
{
    EXPECT_EQ(HelperDirFor("/opt/x/bin"), fs::path("/opt/x/libexec/fluvena"));
}
