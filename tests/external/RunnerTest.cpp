#include "external/Runner.h"
#include "base/Errors.h"
#include "io/FileIO.h"
#include "../TestData.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>

using namespace fluvena;
namespace fs = std::filesystem;

namespace {

using fluvena::testing::TempDir;

void WriteScript(const fs::path& file, const std::string& body)
{
    std::ofstream(file) << "#!/bin/sh\n" << body;
    ::chmod(file.c_str(), 0755);
}

// The listing of one blocking run under the given PATH, or "error: " and
// what the run threw.
std::string RunEngine(Engine engine, const fs::path& work, const fs::path& helpers,
                      const char* path = std::getenv("PATH"))
{
    const std::string oldPath = std::getenv("PATH");
    ::setenv("PATH", path, 1);
    std::string outcome;
    try {
        outcome = BlockingRunner(work, helpers).Run(engine, {"nazwa.in", " LAST"}).listing;
    } catch (const Error& e) {
        outcome = std::string("error: ") + e.what();
    }
    ::setenv("PATH", oldPath.c_str(), 1);
    return outcome;
}

}  // namespace

// A program that ends with a status other than 0 has failed, whatever it
// wrote; "not found" is said only when the interpreter could not find it.
TEST(Runner, FailuresNameTheProgramAndTheStatus)
{
    struct Case { const char* name; const char* body; const char* says; };
    const Case cases[] = {
        {"no program at all", nullptr, "contin.exe was not found"},
        {"a whole listing, then 3", "cat; exit 3\n", "contin.exe failed with exit status 3"},
        {"its own 127", "cat; exit 127\n", "contin.exe failed with exit status 127"},
        {"a tool it calls is missing", "cat; no_such_tool_fluvena\n", "contin.exe failed with exit status 127"},
        {"a tool of a similar name is missing", "cat; my_contin.exe\n", "contin.exe failed with exit status 127"},
        {"killed", "cat; kill -9 $$\n", "contin.exe failed with exit status 137"},
    };
    for (const Case& c : cases) {
        TempDir work, helpers;
        if (c.body) WriteScript(helpers.path / "contin.exe", c.body);
        const std::string said = RunEngine(Engine::Contin, work.path, helpers.path);
        EXPECT_EQ(said.rfind("error: ", 0), 0u) << c.name << ": " << said;
        EXPECT_NE(said.find(c.says), std::string::npos) << c.name << ": " << said;
        EXPECT_EQ(said.find("was not found") != std::string::npos, c.body == nullptr) << c.name << ": " << said;
    }
}

// PATH gains the helper directory, absolute, after the user's entries, so a
// program earlier on PATH wins; an empty PATH must not gain an empty entry
// that runs a program of the working directory, while an empty entry of the
// user's own stays.
TEST(Runner, SearchPathGetsTheHelperDirectoryLast)
{
    const std::string cwd = fs::current_path().string();
    struct Case { const char* path; const char* helper; std::string expected; };
    for (const Case& c : {Case{nullptr, "/h", "/usr/local/bin:/usr/bin:/bin:/h"}, Case{"", "/h", "/h"},
                          Case{"/a::/b", "/h", "/a::/b:/h"}, Case{"/a:", "/h", "/a::/h"},
                          Case{"/a", "rel/h", "/a:" + cwd + "/rel/h"}, Case{"/a", "", "/a"}})
        EXPECT_EQ(SearchPathWith(c.path, c.helper), c.expected) << (c.path ? c.path : "(unset)") << " + " << c.helper;

    TempDir work, helpers, user;
    WriteScript(helpers.path / "discrete.exe", "echo bundled\n");
    WriteScript(user.path / "discrete.exe", "echo users\n");
    WriteScript(work.path / "discrete.exe", "echo planted\n");
    EXPECT_EQ(RunEngine(Engine::Discrete, work.path, helpers.path, (user.path.string() + ":/bin").c_str()), "users\n");
    EXPECT_EQ(RunEngine(Engine::Discrete, work.path, helpers.path, ""), "bundled\n");
    EXPECT_EQ(HelperDirFor("/opt/x/bin"), fs::path("/opt/x/libexec/fluvena"));
}

TEST(Runner, AStaleListingIsNotTakenForANewOne)
{
    // A program that fails before the shell opens the listing leaves none.
    TempDir work, helpers;
    std::ofstream(work.path / "nazwa.out") << "OLD RESULTS";
    PrepareRun(RunFiles{work.path}, {"x"});
    ExternalProcess p("exit 3", work.path, helpers.path);
    p.Wait();
    EXPECT_EQ(p.ExitStatus(), 3);
    EXPECT_FALSE(fs::exists(work.path / "nazwa.out"));

    EXPECT_EQ(fluvena::testing::Thrown<FileError>([&] { PrepareRun(RunFiles{work.path / "missing" / "dir"}, {"x"}); }),
              "Cannot create file nazwa.in");
}

// The listing is created anew: a link named nazwa.out, planted before the
// run or between preparing it and starting the program, is replaced and
// its target (a file elsewhere, or a name not yet made) stays as it was.
TEST(Runner, TheListingNeverFollowsAPlantedLink)
{
    TempDir work, helpers, outside;
    WriteScript(helpers.path / "contin.exe", "echo LISTING; cat\n");
    const fs::path precious = outside.path / "precious.txt", absent = outside.path / "absent.txt";
    std::ofstream(precious, std::ios::binary) << "precious";
    const RunFiles files{work.path};
    for (const fs::path& to : {precious, absent}) {
        for (const bool afterPreparing : {false, true}) {
            SCOPED_TRACE(to.filename().string() + (afterPreparing ? ", planted after preparing" : ", planted before"));
            fs::remove(files.listing());
            if (!afterPreparing) fs::create_symlink(to, files.listing());
            PrepareRun(files, {"deck"});
            if (afterPreparing) fs::create_symlink(to, files.listing());
            const std::unique_ptr<ExternalProcess> p = StartEngine(files, Engine::Contin, helpers.path);
            p->Wait();
            EXPECT_EQ(CollectListing(files, Engine::Contin, *p), "LISTING\ndeck\r\n");
            EXPECT_FALSE(fs::is_symlink(files.listing()));
            EXPECT_EQ(ReadFile(precious), "precious");
            EXPECT_FALSE(fs::exists(absent));
        }
    }
    // The whole blocking run alike: it saves the deck (lines ending CR LF),
    // runs the program and reads the listing it wrote.
    fs::remove(files.listing());
    fs::create_symlink(precious, files.listing());
    EXPECT_EQ(RunEngine(Engine::Contin, work.path, helpers.path), "LISTING\nnazwa.in\r\n LAST\r\n");
    EXPECT_EQ(ReadFile(work.path / "nazwa.in"), "nazwa.in\r\n LAST\r\n");
    EXPECT_EQ(ReadFile(precious), "precious");
}
