// fluvena-batch side by side with others: two runs in one working directory,
// two runs on one log, a run that meets a held lock, and runs stopped by a
// signal or by their time limit.
#include "MiniJson.h"

#include "../TestData.h"
#include "base/MemoText.h"
#include "core/Measurement.h"
#include "io/FileIO.h"
#include "io/FileLock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

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
        if (::mkdtemp(tmpl.data())) path = tmpl;
    }
    ~TempDir() { fs::remove_all(path); }
};

void Script(const fs::path& file, const std::string& body)
{
    std::ofstream(file) << "#!/bin/sh\n" << body;
    fs::permissions(file, fs::perms::owner_all);
}

// Polls until `done` holds; false after a generous bound that only guards
// against a hang.
template <typename F>
bool Eventually(F done)
{
    for (int k = 0; k < 1500; ++k) {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return done();
}

// fluvena-batch started in the background with its standard output and error
// in files, the stand-in engines of `fakes` first on PATH.
class Background {
public:
    Background(const std::vector<std::string>& args, const fs::path& fakes, const fs::path& files,
               const std::map<std::string, std::string>& extraEnv = {})
        : out_(files.string() + ".out"), err_(files.string() + ".err")
    {
        std::vector<std::string> env;
        for (char** e = environ; *e; ++e)
            if (std::strncmp(*e, "PATH=", 5) != 0) env.emplace_back(*e);
        env.push_back("PATH=" + fakes.string() + ":" + (std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin"));
        for (const auto& [k, v] : extraEnv) env.push_back(k + "=" + v);
        std::vector<std::string> argv = {FLUVENA_BATCH_EXE};
        argv.insert(argv.end(), args.begin(), args.end());
        std::vector<char*> a, e;
        for (auto& s : argv) a.push_back(s.data());
        for (auto& s : env) e.push_back(s.data());
        a.push_back(nullptr);
        e.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, out_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&actions, 2, err_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (::posix_spawn(&pid_, FLUVENA_BATCH_EXE, &actions, nullptr, a.data(), e.data()) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~Background()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            Wait();
        }
    }
    // The exit status, or 128 + n after signal n.
    int Wait()
    {
        int st = 0;
        if (pid_ <= 0 || ::waitpid(pid_, &st, 0) != pid_) return -1;
        pid_ = -1;
        return WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
    }
    bool Running() const { return pid_ > 0 && ::waitpid(pid_, nullptr, WNOHANG) == 0; }
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

bool Alive(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string p, name, state;
    return static_cast<bool>(stat >> p >> name >> state) && state != "Z" && state != "X";
}

std::vector<std::string> Repeated(const std::string& s, int n) { return std::vector<std::string>(n, s); }

}  // namespace

// Two runs of 50 inputs each in one --workdir, each with its own data: the
// stand-in answers every deck with the listing of the data it came from, so
// an input that read the other run's deck or listing shows other peaks.
TEST(BatchSharing, TwoRunsInOneWorkDirectoryKeepTheirOwnResults)
{
    TempDir dir;
    const fs::path fakes = dir.path / "fakes", work = dir.path / "work";
    fs::create_directories(fakes);
    const char* data[] = {"bimodal.txt", "lognormal.txt"};
    const char* listings[] = {"bimodal.contin.out", "lognormal.contin.out"};
    std::string body = "d=\"$0.$$\"; cat > \"$d\"; sleep 0.01\n";
    std::vector<Measurement> expected(2);
    for (int k = 0; k < 2; ++k) {
        expected[k].Load(FT::LoadFixture(data[k]));
        std::ofstream(fakes / ("deck" + std::to_string(k)), std::ios::binary)
            << FileText(expected[k].ContinDeck(ContinRequest{}));
        FT::RecordedRunner recorded(FT::ReadFixture(listings[k]));
        ASSERT_EQ(expected[k].RunContin(ContinRequest{}, recorded).status, RunStatus::Ok);
        body += "cmp -s \"$d\" " + (fakes / ("deck" + std::to_string(k))).string() + " && cat " +
                FT::DataPath(listings[k]) + "\n";
    }
    Script(fakes / "contin.exe", body + "rm -f \"$d\"\n");

    std::vector<std::unique_ptr<Background>> runs;
    for (int k = 0; k < 2; ++k) {
        std::vector<std::string> args = {"contin", "--json", "--quiet", "--workdir", work.string()};
        for (const auto& f : Repeated(FT::DataPath(data[k]), 50)) args.push_back(f);
        runs.push_back(std::make_unique<Background>(args, fakes, dir.path / std::to_string(k)));
    }
    for (int k = 0; k < 2; ++k) {
        SCOPED_TRACE(data[k]);
        EXPECT_EQ(runs[k]->Wait(), 0);
        const auto objects = runs[k]->Objects();
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
        EXPECT_EQ(foreign, 0) << "inputs with a result that is not their own";
    }
}

// A run that finds the directory's lock held waits for it and says so, or
// with --no-wait fails at once without touching the directory.
TEST(BatchSharing, AHeldLockMakesARunWaitOrFail)
{
    TempDir dir;
    const fs::path fakes = dir.path / "fakes", work = dir.path / "work";
    fs::create_directories(fakes);
    fs::create_directories(work);
    Script(fakes / "contin.exe", "cat > /dev/null; cat " + FT::DataPath("bimodal.contin.out") + "\n");
    FileLock held(work / "nazwa.lock");
    ASSERT_TRUE(held.TryLock());
    const std::vector<std::string> args = {"contin", "--json", "--workdir", work.string(), FT::DataPath("bimodal.txt")};

    std::vector<std::string> noWait = args;
    noWait.insert(noWait.begin() + 1, "--no-wait");
    Background refused(noWait, fakes, dir.path / "refused");
    EXPECT_EQ(refused.Wait(), 1);
    const auto objects = refused.Objects();
    ASSERT_EQ(objects.size(), 1u);
    EXPECT_EQ(objects[0]["status"].text, "error");
    EXPECT_NE(objects[0]["message"].text.find("another analysis"), std::string::npos) << objects[0]["message"].text;
    EXPECT_FALSE(fs::exists(work / "nazwa.in"));

    Background waiting(args, fakes, dir.path / "waiting");
    EXPECT_TRUE(Eventually([&] { return waiting.Err().find("waiting for another analysis") != std::string::npos; }))
        << waiting.Err();
    EXPECT_TRUE(waiting.Running());
    EXPECT_FALSE(fs::exists(work / "nazwa.in"));
    held.Unlock();
    EXPECT_EQ(waiting.Wait(), 0);
    EXPECT_EQ(waiting.Objects().at(0)["status"].text, "ok");
}

// Two runs append to one log at once: every input's line is kept, under one
// header.
TEST(BatchSharing, TwoRunsOnOneLogKeepEveryLine)
{
    TempDir dir;
    const fs::path fakes = dir.path / "fakes", log = dir.path / "series.txt";
    fs::create_directories(fakes);
    Script(fakes / "contin.exe", "cat > /dev/null; cat " + FT::DataPath("bimodal.contin.out") + "\n");
    constexpr int kInputs = 20;
    std::vector<std::unique_ptr<Background>> runs;
    std::multiset<std::string> values;
    for (int k = 0; k < 2; ++k) {
        std::vector<std::string> args = {"contin", "--quiet", "--log", log.string(), "--decimal-point", "."};
        for (int i = 0; i < kInputs; ++i) {
            args.push_back("--value");
            args.push_back(std::to_string(100 * k + i));
            values.insert(std::to_string(100 * k + i) + ".00");
        }
        for (const auto& f : Repeated(FT::DataPath("bimodal.txt"), kInputs)) args.push_back(f);
        runs.push_back(std::make_unique<Background>(args, fakes, dir.path / std::to_string(k)));
    }
    for (auto& run : runs) EXPECT_EQ(run->Wait(), 0);
    const auto lines = SplitLines(ReadFile(log));
    ASSERT_EQ(lines.size(), 2u * kInputs + 1);
    EXPECT_EQ(lines[0].rfind("Temp\tIntensywn1\t", 0), 0u);
    std::multiset<std::string> logged;
    for (std::size_t i = 1; i < lines.size(); ++i) logged.insert(lines[i].substr(0, lines[i].find('\t')));
    EXPECT_EQ(logged, values);
}

// SIGINT and SIGTERM end the engine with everything it started and the
// private directory; a time limit ends a stuck engine with an error.
TEST(BatchSharing, SignalsAndTheTimeLimitLeaveNothingBehind)
{
    TempDir dir;
    const fs::path fakes = dir.path / "fakes", tmp = dir.path / "tmp";
    fs::create_directories(fakes);
    fs::create_directories(tmp);
    const fs::path pids = dir.path / "pids";
    Script(fakes / "contin.exe", "echo $$ >> " + pids.string() + "; sleep 60 & echo $! >> " + pids.string() + "; wait\n");
    struct Case { const char* name; int signal; std::vector<std::string> options; int exitCode; };
    const Case cases[] = {
        {"SIGINT", SIGINT, {}, 130},
        {"SIGTERM", SIGTERM, {}, 143},
        {"time limit", 0, {"--timeout", "0.2"}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(pids);
        std::vector<std::string> args = {"contin", "--json"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.push_back(FT::DataPath("bimodal.txt"));
        Background run(args, fakes, dir.path / "run", {{"TMPDIR", tmp.string()}});
        ASSERT_TRUE(Eventually([&] { return fs::exists(pids) && SplitLines(ReadFile(pids)).size() == 2; }));
        if (c.signal) ::kill(run.Pid(), c.signal);
        EXPECT_EQ(run.Wait(), c.exitCode);
        for (const std::string& pid : SplitLines(ReadFile(pids)))
            EXPECT_TRUE(Eventually([&] { return !Alive(std::stoi(pid)); })) << "process " << pid << " outlived the run";
        EXPECT_TRUE(fs::is_empty(tmp)) << "the private directory was left behind";
        if (!c.signal) {
            const auto objects = run.Objects();
            ASSERT_EQ(objects.size(), 1u);
            EXPECT_EQ(objects[0]["status"].text, "error");
            EXPECT_NE(objects[0]["message"].text.find("0.2 s"), std::string::npos) << objects[0]["message"].text;
        }
    }
}
