// fluvena-batch beside other runs: one working directory, one log, a held
// lock, and runs ended by a signal or by their time limit.
#include "BatchHarness.h"

#include "../TestData.h"
#include "base/MemoText.h"
#include "core/Measurement.h"
#include "io/FileLock.h"

#include <gtest/gtest.h>

#include <set>
#include <sys/file.h>
#include <thread>

using namespace fluvena;
namespace FT = fluvena::testing;
namespace fs = std::filesystem;
using FT::TempDir;

namespace {

// Polls until `done` holds; the bound only guards against a hang.
template <typename F>
bool Eventually(F done)
{
    for (int k = 0; k < 1500 && !done(); ++k) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return done();
}

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
    FT::FakeEngine(dir, "contin.exe", body + "rm -f \"$d\"\n");
    const std::vector<std::string> args = {"contin", "--json", "--quiet", "--workdir", (dir.path / "work").string()};
    FT::BatchProcess a(dir, "a", WithInputs(args, FT::DataPath(data[0]), 50));
    FT::BatchProcess b(dir, "b", WithInputs(args, FT::DataPath(data[1]), 50));
    EXPECT_EQ(a.Wait(), 0);
    EXPECT_EQ(b.Wait(), 0);
    for (int k = 0; k < 2; ++k) {
        std::vector<double> own, got;  // every solution's peak positions in turn
        for (const auto& s : expected[k].Contin()->solutions)
            for (const auto& p : s.peaks) own.push_back(p.position);
        const auto objects = (k == 0 ? a : b).Objects();
        ASSERT_EQ(objects.size(), 50u);
        int foreign = 0;
        for (const auto& j : objects) {
            got.clear();
            for (const auto& s : j["solutions"].items)
                for (const auto& p : s["peaks"].items) got.push_back(p["position"].Num());
            foreign += got == own ? 0 : 1;
        }
        EXPECT_EQ(foreign, 0) << data[k] << ": inputs with a result that is not their own";
    }
}

// A held lock: --no-wait fails at once without touching the directory; a
// plain run says it waits, and runs once the lock is free.
TEST(BatchSharing, AHeldLockMakesARunWaitOrFail)
{
    TempDir dir;
    FT::FakeEngine(dir, "contin.exe", "cat > /dev/null; cat " + FT::DataPath("bimodal.contin.out") + "\n");
    const fs::path work = dir.path / "work";
    fs::create_directory(work);
    FileLock held(work / "nazwa.lock");
    ASSERT_TRUE(held.TryLock());
    const std::vector<std::string> args = {"contin", "--json", "--workdir", work.string(), FT::DataPath("bimodal.txt")};
    FT::BatchProcess refused(dir, "refused", WithInputs(args, "--no-wait", 1));
    EXPECT_EQ(refused.Wait(), 1);
    EXPECT_EQ(refused.Objects().at(0)["status"].text, "error");
    EXPECT_NE(refused.Objects().at(0)["message"].text.find("another analysis"), std::string::npos);

    FT::BatchProcess waiting(dir, "waiting", args);
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
    FT::FakeEngine(dir, "contin.exe", "cat > /dev/null; cat " + FT::DataPath("bimodal.contin.out") + "\n");
    const fs::path log = dir.path / "series.txt";
    std::multiset<std::string> values;
    std::vector<std::unique_ptr<FT::BatchProcess>> runs;
    for (int k = 0; k < 2; ++k) {
        std::string list;
        for (int i = 0; i < 20; ++i) {
            list += (i ? "," : "") + std::to_string(100 * k + i);
            values.insert(std::to_string(100 * k + i) + ".00");
        }
        const std::vector<std::string> args = {"contin", "--quiet", "--log", log.string(), "--decimal-point", ".",
                                               "--values", list};
        const auto inputs = WithInputs(args, FT::DataPath("bimodal.txt"), 20);
        runs.push_back(std::make_unique<FT::BatchProcess>(dir, std::to_string(k), inputs));
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
    FT::FakeEngine(dir, "contin.exe",
                   "echo $$ >> " + pids.string() + "; sleep 60 & echo $! >> " + pids.string() + "; wait\n");
    // SIGKILL leaves the private directory behind and cannot pass itself on:
    // the engine dies with the batch, and the next run removes the directory.
    struct Case { int signal; std::vector<std::string> options; int exitCode; };
    for (const Case& c : {Case{SIGKILL, {}, 137}, Case{SIGINT, {}, 130}, Case{SIGTERM, {}, 143},
                          Case{0, {"--timeout", "0.2"}, 1}}) {
        SCOPED_TRACE(c.signal);
        fs::remove(pids);
        std::vector<std::string> args = {"contin", "--json", FT::DataPath("bimodal.txt")};
        args.insert(args.end(), c.options.begin(), c.options.end());
        FT::BatchProcess run(dir, "run", args, tmp.string());
        ASSERT_TRUE(Eventually([&] { return fs::exists(pids) && SplitLines(ReadFile(pids)).size() == 2; }));
        if (c.signal) ::kill(run.Pid(), c.signal);
        EXPECT_EQ(run.Wait(), c.exitCode);
        const std::vector<std::string> started = SplitLines(ReadFile(pids));
        if (c.signal == SIGKILL) {
            EXPECT_TRUE(Eventually([&] { return !Alive(started[0]); })) << "the engine outlived a killed run";
            ::kill(std::stoi(started[1]), SIGKILL);  // the engine's own child is the engine's business
            EXPECT_FALSE(fs::is_empty(tmp));
            continue;
        }
        for (const std::string& pid : started)
            EXPECT_TRUE(Eventually([&] { return !Alive(pid); })) << "process " << pid << " outlived the run";
        EXPECT_TRUE(fs::is_empty(tmp)) << "a private directory was left behind";
        if (!c.signal) {
            EXPECT_NE(run.Objects().at(0)["message"].text.find("within 0.2 s"), std::string::npos);
        }
    }

    // A directory whose owner still runs is kept.
    const fs::path held = tmp / "fluvena-batch-held00";
    fs::create_directory(held);
    const int owner = ::open((held / ".owner").c_str(), O_WRONLY | O_CREAT, 0600);
    ASSERT_EQ(::flock(owner, LOCK_EX), 0);
    FT::BatchProcess quick(dir, "quick", {"cumulants", "--json", FT::DataPath("alv/LC8.2_0045.ASC")}, tmp.string());
    EXPECT_EQ(quick.Wait(), 0) << quick.Err();
    EXPECT_TRUE(fs::exists(held / ".owner"));
    ::close(owner);

    // A write beyond `ulimit -f` is the input's error, and nothing stays.
    fs::remove_all(held);
    const std::string command = "(ulimit -f 1; exec env TMPDIR=" + tmp.string() + " " + FLUVENA_BATCH_EXE +
                                " contin --json " + FT::DataPath("bimodal.txt") + ") | cat > " +
                                (dir.path / "limited.out").string();
    const int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status));
    const std::vector<std::string> lines = SplitLines(ReadFile(dir.path / "limited.out"));
    ASSERT_EQ(lines.size(), 1u);
    const minijson::Value record = minijson::Parse(lines[0]);
    EXPECT_EQ(record["status"].text + ": " + record["message"].text, "error: Stream write error");
    EXPECT_TRUE(fs::is_empty(tmp)) << "a private directory was left behind";
}
