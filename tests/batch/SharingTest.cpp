// fluvena-batch beside other runs: one working directory, one log, a held
// lock, and runs ended by a signal or by their time limit.
#include "MiniJson.h"

#include "../TestData.h"
#include "base/MemoText.h"
#include "core/Measurement.h"
#include "io/FileIO.h"
#include "io/FileLock.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <set>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>

extern char** environ;

using namespace fluvena;
namespace FT = fluvena::testing;
namespace fs = std::filesystem;

namespace {

struct TempDir {
    fs::path path;
    TempDir()
    {
        std::string tmpl = (fs::temp_directory_path() / "fluvena-sharing-XXXXXX").string();
        path = ::mkdtemp(tmpl.data());
        fs::create_directory(path / "fakes");
    }
    ~TempDir() { fs::remove_all(path); }
    // A stand-in engine, first on PATH for the runs of this directory.
    void Engine(const std::string& body) const
    {
        std::ofstream(path / "fakes" / "contin.exe") << "#!/bin/sh\n" << body;
        fs::permissions(path / "fakes" / "contin.exe", fs::perms::owner_all);
    }
};

// Polls until `done` holds; the bound only guards against a hang.
template <typename F>
bool Eventually(F done)
{
    for (int k = 0; k < 1500 && !done(); ++k) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return done();
}

// fluvena-batch in the background, standard output and error in files.
class Background {
public:
    Background(const TempDir& dir, const std::string& name, std::vector<std::string> args, const std::string& tmp = "")
        : out_((dir.path / name).string() + ".out"), err_((dir.path / name).string() + ".err")
    {
        args.insert(args.begin(), {"env", "PATH=" + (dir.path / "fakes").string() + ":" + std::getenv("PATH"),
                                   "TMPDIR=" + (tmp.empty() ? fs::temp_directory_path().string() : tmp),
                                   FLUVENA_BATCH_EXE});
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t io;
        posix_spawn_file_actions_init(&io);
        posix_spawn_file_actions_addopen(&io, 1, out_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&io, 2, err_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (::posix_spawnp(&pid_, "env", &io, nullptr, argv.data(), environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&io);
    }
    ~Background()
    {
        if (pid_ > 0) ::kill(pid_, SIGKILL), Wait();
    }
    // The exit status, or 128 + n after signal n.
    int Wait()
    {
        int st = 0;
        if (pid_ <= 0 || ::waitpid(std::exchange(pid_, -1), &st, 0) < 0) return -1;
        return WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
    }
    pid_t Pid() const { return pid_; }
    std::string Err() const { return ReadFile(err_); }
    std::vector<minijson::Value> Objects() const
    {
        std::vector<minijson::Value> v;
        std::istringstream in(ReadFile(out_));
        for (std::string line; std::getline(in, line);) v.push_back(minijson::Parse(line));
        return v;
    }

private:
    pid_t pid_ = -1;
    std::string out_, err_;
};

bool Alive(const std::string& pid)
{
    std::ifstream stat("/proc/" + pid + "/stat");
    std::string p, name, state;
    return static_cast<bool>(stat >> p >> name >> state) && state != "Z";
}

std::vector<std::string> WithInputs(std::vector<std::string> args, const std::string& input, int n)
{
    args.insert(args.end(), n, input);
    return args;
}

}  // namespace

// Two runs of 50 inputs each in one --workdir, each with its own data. The
// stand-in answers a deck with the listing of the data it was made from, so
// an input that got the other run's deck or listing shows the other's peaks.
TEST(BatchSharing, TwoRunsInOneWorkDirectoryKeepTheirOwnResults)
{
    TempDir dir;
    const std::string data[] = {"bimodal.txt", "lognormal.txt"};
    Measurement expected[2];
    std::string body = "d=\"$0.$$\"; cat > \"$d\"; sleep 0.01\n";
    for (int k = 0; k < 2; ++k) {
        expected[k].Load(FT::LoadFixture(data[k]));
        const fs::path deck = dir.path / ("deck" + std::to_string(k));
        std::ofstream(deck, std::ios::binary) << FileText(expected[k].ContinDeck(ContinRequest{}));
        const std::string listing = fs::path(data[k]).stem().string() + ".contin.out";
        FT::RecordedRunner recorded(FT::ReadFixture(listing));
        ASSERT_EQ(expected[k].RunContin(ContinRequest{}, recorded).status, RunStatus::Ok);
        body += "cmp -s \"$d\" " + deck.string() + " && cat " + FT::DataPath(listing) + "\n";
    }
    dir.Engine(body + "rm -f \"$d\"\n");
    const std::vector<std::string> args = {"contin", "--json", "--quiet", "--workdir", (dir.path / "work").string()};
    Background a(dir, "a", WithInputs(args, FT::DataPath(data[0]), 50));
    Background b(dir, "b", WithInputs(args, FT::DataPath(data[1]), 50));
    EXPECT_EQ(a.Wait(), 0);
    EXPECT_EQ(b.Wait(), 0);
    for (int k = 0; k < 2; ++k) {
        const auto objects = (k == 0 ? a : b).Objects();
        ASSERT_EQ(objects.size(), 50u);
        const auto& solutions = expected[k].Contin()->solutions;
        int foreign = 0;
        for (const auto& j : objects) {
            bool same = j["status"].text == "ok" && j["solutions"].items.size() == solutions.size();
            for (std::size_t i = 0; same && i < solutions.size(); ++i) {
                const auto& peaks = j["solutions"][i]["peaks"];
                same = peaks.items.size() == solutions[i].peaks.size();
                for (std::size_t p = 0; same && p < peaks.items.size(); ++p)
                    same = peaks[p]["position"].Num() == solutions[i].peaks[p].position;
            }
            foreign += same ? 0 : 1;
        }
        EXPECT_EQ(foreign, 0) << data[k] << ": inputs with a result that is not their own";
    }
}

// A held lock: --no-wait fails at once without touching the directory; a
// plain run says it waits, and runs once the lock is free.
TEST(BatchSharing, AHeldLockMakesARunWaitOrFail)
{
    TempDir dir;
    dir.Engine("cat > /dev/null; cat " + FT::DataPath("bimodal.contin.out") + "\n");
    const fs::path work = dir.path / "work";
    fs::create_directory(work);
    FileLock held(work / "nazwa.lock");
    ASSERT_TRUE(held.TryLock());
    const std::vector<std::string> args = {"contin", "--json", "--workdir", work.string(), FT::DataPath("bimodal.txt")};
    std::vector<std::string> noWait = args;
    noWait.push_back("--no-wait");
    Background refused(dir, "refused", noWait);
    EXPECT_EQ(refused.Wait(), 1);
    EXPECT_EQ(refused.Objects().at(0)["status"].text, "error");
    EXPECT_NE(refused.Objects().at(0)["message"].text.find("another analysis"), std::string::npos);

    Background waiting(dir, "waiting", args);
    EXPECT_TRUE(Eventually([&] { return waiting.Err().find("waiting for another analysis") != std::string::npos; }));
    EXPECT_FALSE(fs::exists(work / "nazwa.in"));
    held.Unlock();
    EXPECT_EQ(waiting.Wait(), 0);
    EXPECT_EQ(waiting.Objects().at(0)["status"].text, "ok");
}

// Two runs append to one log at once: every input's line stays, under one
// header.
TEST(BatchSharing, TwoRunsOnOneLogKeepEveryLine)
{
    TempDir dir;
    dir.Engine("cat > /dev/null; cat " + FT::DataPath("bimodal.contin.out") + "\n");
    const fs::path log = dir.path / "series.txt";
    std::multiset<std::string> values;
    std::vector<std::unique_ptr<Background>> runs;
    for (int k = 0; k < 2; ++k) {
        std::string list;
        for (int i = 0; i < 20; ++i) {
            list += (i ? "," : "") + std::to_string(100 * k + i);
            values.insert(std::to_string(100 * k + i) + ".00");
        }
        const std::vector<std::string> args = {"contin", "--quiet", "--log", log.string(), "--decimal-point", ".",
                                               "--values", list};
        runs.push_back(std::make_unique<Background>(dir, std::to_string(k), WithInputs(args, FT::DataPath("bimodal.txt"), 20)));
    }
    for (auto& run : runs) EXPECT_EQ(run->Wait(), 0);
    const auto lines = SplitLines(ReadFile(log));
    ASSERT_EQ(lines.size(), values.size() + 1);
    EXPECT_EQ(lines[0].rfind("Temp\tIntensywn1\t", 0), 0u);
    std::multiset<std::string> logged;
    for (std::size_t i = 1; i < lines.size(); ++i) logged.insert(lines[i].substr(0, lines[i].find('\t')));
    EXPECT_EQ(logged, values);
}

// SIGINT and SIGTERM end the engine with all it started and remove the
// private directory; a time limit ends a stuck engine with an error.
TEST(BatchSharing, SignalsAndTheTimeLimitLeaveNothingBehind)
{
    TempDir dir;
    const fs::path tmp = dir.path / "tmp", pids = dir.path / "pids";
    fs::create_directory(tmp);
    dir.Engine("echo $$ >> " + pids.string() + "; sleep 60 & echo $! >> " + pids.string() + "; wait\n");
    struct Case { int signal; std::vector<std::string> options; int exitCode; };
    for (const Case& c : {Case{SIGINT, {}, 130}, Case{SIGTERM, {}, 143}, Case{0, {"--timeout", "0.2"}, 1}}) {
        SCOPED_TRACE(c.signal);
        fs::remove(pids);
        std::vector<std::string> args = {"contin", "--json", FT::DataPath("bimodal.txt")};
        args.insert(args.end(), c.options.begin(), c.options.end());
        Background run(dir, "run", args, tmp.string());
        ASSERT_TRUE(Eventually([&] { return fs::exists(pids) && SplitLines(ReadFile(pids)).size() == 2; }));
        if (c.signal) ::kill(run.Pid(), c.signal);
        EXPECT_EQ(run.Wait(), c.exitCode);
        for (const std::string& pid : SplitLines(ReadFile(pids)))
            EXPECT_TRUE(Eventually([&] { return !Alive(pid); })) << "process " << pid << " outlived the run";
        EXPECT_TRUE(fs::is_empty(tmp)) << "the private directory was left behind";
        if (!c.signal) {
            EXPECT_NE(run.Objects().at(0)["message"].text.find("within 0.2 s"), std::string::npos);
        }
    }
}
