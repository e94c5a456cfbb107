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
        EXPECT_NE(std::string(e.what()).find("contin.exe was not found"), std::string::npos) << e.what();
    }
}

// A program that ends with a status other than 0 has failed, whatever it
// wrote; "not found" is said only when the interpreter could not find it.
TEST(Runner, ANonZeroExitIsAFailureThatNamesTheStatus)
{
    struct Case { const char* name; const char* body; const char* says; };
    const Case cases[] = {
        {"a whole listing, then 3", "cat; exit 3\n", "contin.exe failed with exit status 3"},
        {"its own 127", "cat; exit 127\n", "contin.exe failed with exit status 127"},
        {"a tool it calls is missing", "cat; no_such_tool_fluvena\n", "contin.exe failed with exit status 127"},
        {"a tool of a similar name is missing", "cat; my_contin.exe\n", "contin.exe failed with exit status 127"},
        {"killed", "cat; kill -9 $$\n", "contin.exe failed with exit status 137"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir work, helpers;
        WriteScript(helpers.path / "contin.exe", c.body);
        try {
            RunEngineBlocking(Engine::Contin, {"x"}, RunFiles{work.path}, helpers.path);
            ADD_FAILURE() << "no error";
        } catch (const Error& e) {
            EXPECT_NE(std::string(e.what()).find(c.says), std::string::npos) << e.what();
            EXPECT_EQ(std::string(e.what()).find("was not found"), std::string::npos) << e.what();
        }
    }
}

// PATH gains the helper directory, absolute, after the user's entries; an
// empty PATH must not gain an empty entry that runs a program of the
// working directory, while an empty entry of the user's own stays.
TEST(Runner, SearchPathGetsTheHelperDirectoryLast)
{
    const std::string cwd = fs::current_path().string();
    struct Case { const char* path; const char* helper; std::string expected; };
    for (const Case& c : {Case{nullptr, "/h", "/usr/local/bin:/usr/bin:/bin:/h"}, Case{"", "/h", "/h"},
                          Case{"/a::/b", "/h", "/a::/b:/h"}, Case{"/a:", "/h", "/a::/h"},
                          Case{"/a", "rel/h", "/a:" + cwd + "/rel/h"}, Case{"/a", "", "/a"}})
        EXPECT_EQ(SearchPathWith(c.path, c.helper), c.expected) << (c.path ? c.path : "(unset)") << " + " << c.helper;

    TempDir work, helpers;
    WriteScript(helpers.path / "contin.exe", "echo bundled\n");
    WriteScript(work.path / "contin.exe", "echo planted\n");
    const std::string oldPath = std::getenv("PATH");
    ::setenv("PATH", "", 1);
    std::string listing;
    try {
        listing = RunEngineBlocking(Engine::Contin, {"x"}, RunFiles{work.path}, helpers.path);
    } catch (const Error& e) {
        listing = e.what();
    }
    ::setenv("PATH", oldPath.c_str(), 1);
    EXPECT_EQ(listing, "bundled\n");
}

TEST(Runner, AStaleListingIsNotTakenForANewOne)
{
    TempDir work, helpers;
    std::ofstream(work.path / "nazwa.out") << "OLD RESULTS";
    WriteScript(helpers.path / "contin.exe", "exit 0\n");  // writes nothing
    // The redirection creates an empty nazwa.out; the old text must be gone.
    EXPECT_EQ(RunEngineBlocking(Engine::Contin, {"x"}, RunFiles{work.path}, helpers.path), "");

    // A program that fails before the shell opens the listing leaves none.
    std::ofstream(work.path / "nazwa.out") << "OLD RESULTS";
    PrepareRun(RunFiles{work.path}, {"x"});
    ExternalProcess p("exit 3", work.path, helpers.path);
    p.Wait();
    EXPECT_EQ(p.ExitStatus(), 3);
    EXPECT_FALSE(fs::exists(work.path / "nazwa.out"));
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
