#include "../TestData.h"
#include "base/Errors.h"
#include "io/FileIO.h"
#include "io/FileLock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <future>
#include <sys/stat.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

using namespace fluvena;
namespace fs = std::filesystem;

namespace {

class FileIO : public ::testing::Test {
protected:
    void SetUp() override { std::ofstream(target, std::ios::binary) << "old\r\n"; }

    // The directory holds only the target, with its old bytes.
    void ExpectOldFileAlone()
    {
        EXPECT_EQ(ReadFile(target), "old\r\n");
        EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator{}), 1);
    }

    fluvena::testing::TempDir temp{"fluvena-fileio"};
    fs::path dir = temp.path, target = dir / "tempCont.txt";
};

std::string MessageOf(const fs::path& path, std::string_view bytes)
{
    return fluvena::testing::Thrown<FileError>([&] { WriteFileAtomic(path, bytes); });
}

}  // namespace

TEST_F(FileIO, ReplacesTheWholeFile)
{
    WriteFileAtomic(target, "a\r\nb\r\n");
    EXPECT_EQ(ReadFile(target), "a\r\nb\r\n");
    WriteFileAtomic(target, "");
    EXPECT_EQ(ReadFile(target), "");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator{}), 1);
}

TEST_F(FileIO, FilesThatCannotBeCreated)
{
    const fs::path asDir = dir / "adir";
    fs::create_directory(asDir);
    const fs::path underFile = target / "x.txt";     // the parent is a regular file
    const fs::path noDir = dir / "missing" / "x.txt";  // the parent does not exist
    EXPECT_EQ(MessageOf(asDir, "new"), "Cannot create file " + asDir.string());
    EXPECT_TRUE(fs::is_directory(asDir));
    fs::remove(asDir);
    for (const fs::path& p : {underFile, noDir}) EXPECT_EQ(MessageOf(p, "new"), "Cannot create file " + p.string());
    ExpectOldFileAlone();
    EXPECT_THROW(ReadFile(noDir), FileError);
}

// A write that fails part way (here: the file size limit, which holds for
// every user, root included) leaves the earlier file as it was and no
// temporary file behind.
TEST_F(FileIO, FailedWriteKeepsTheOldFile)
{
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit small = old;
    small.rlim_cur = 16;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::string message = MessageOf(target, std::string(4096, 'x'));
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(message, "Stream write error");
    ExpectOldFileAlone();
}

// A file written through a symbolic link updates the link's target; the link
// stays a link (relative, absolute, chained, or pointing at no file yet).
TEST_F(FileIO, WritesThroughSymbolicLinks)
{
    fs::create_directory(dir / "sub");
    struct Case { const char* name; std::vector<std::pair<std::string, std::string>> links; fs::path target; };
    const Case cases[] = {
        {"relative", {{"log.txt", "tempCont.txt"}}, target},
        {"absolute", {{"log.txt", target.string()}}, target},
        {"chained across directories", {{"log.txt", "sub/mid.txt"}, {"sub/mid.txt", "../tempCont.txt"}}, target},
        {"to a file not made yet", {{"log.txt", "sub/new.txt"}}, dir / "sub" / "new.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const auto& [link, to] : c.links) fs::create_symlink(to, dir / link);
        WriteFileAtomic(dir / "log.txt", "new\r\n");
        for (const auto& [link, to] : c.links) EXPECT_TRUE(fs::is_symlink(dir / link)) << link;
        EXPECT_EQ(ReadFile(c.target), "new\r\n");
        for (const auto& [link, to] : c.links) fs::remove(dir / link);
        std::ofstream(target, std::ios::binary) << "old\r\n";
    }
    fs::remove(dir / "sub" / "new.txt");
    // A loop of links cannot be written through.
    fs::create_symlink("b", dir / "a");
    fs::create_symlink("a", dir / "b");
    EXPECT_EQ(MessageOf(dir / "a", "x"), "Cannot create file " + (dir / "a").string());
    EXPECT_TRUE(fs::is_symlink(dir / "a"));
}

// Scratch files (the deck, the lock) replace a link planted in their place:
// the file it points to, existing or not, stays as it was.
TEST_F(FileIO, ScratchFilesReplaceLinks)
{
    const fs::path elsewhere = dir / "elsewhere.txt", absent = dir / "absent.txt";
    std::ofstream(elsewhere, std::ios::binary) << "precious";
    for (const fs::path& to : {elsewhere, absent}) {
        for (const bool lock : {false, true}) {
            SCOPED_TRACE(to.filename().string() + (lock ? " lock" : " deck"));
            const fs::path name = dir / (lock ? "nazwa.lock" : "nazwa.in");
            fs::create_symlink(to, name);
            if (lock) FileLock held(name);
            else WriteFileAtomic(name, "deck\r\n", Links::Replace);
            EXPECT_TRUE(!fs::is_symlink(name) && fs::is_regular_file(name));
            if (!lock) {
                EXPECT_EQ(ReadFile(name), "deck\r\n");
            }
            EXPECT_EQ(ReadFile(elsewhere), "precious");
            EXPECT_FALSE(fs::exists(absent));
            fs::remove(name);
        }
    }
}

// Only regular files are read, and at most 256 MB of them: a directory, a
// device that never ends and a FIFO nobody writes to are refused at once
// (the FIFO without waiting for a writer), a larger file without reading it.
TEST_F(FileIO, ReadsOnlyRegularFilesOfBoundedSize)
{
    const fs::path fifo = dir / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const fs::path big = dir / "big.ASC";
    std::ofstream(big, std::ios::binary) << "";
    fs::resize_file(big, kMaxReadBytes + 1);  // sparse: no disk space used
    struct Case { fs::path path; std::string reason; };
    const Case cases[] = {
        {dir, " (it is a directory)"},
        {"/dev/zero", " (it is not a regular file)"},
        {fifo, " (it is not a regular file)"},
        {big, " (it is larger than 256 MB)"},
    };
    for (const Case& c : cases) {
        // A read that blocks is released by a writer opening the FIFO, so a
        // fault shows as a failure here rather than a hung suite.
        auto read =
            std::async(std::launch::async, [&] { return fluvena::testing::Thrown<FileError>([&] { ReadFile(c.path); }); });
        if (read.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
            ADD_FAILURE() << c.path << " blocks";
            const int unblock = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
            read.wait();
            ::close(unblock);
            continue;
        }
        EXPECT_EQ(read.get(), "Cannot open file " + c.path.string() + c.reason);
    }
    fs::resize_file(big, 5);
    EXPECT_EQ(ReadFile(big), std::string(5, '\0'));
}
