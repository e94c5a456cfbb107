// Wall time of fluvena-batch over 24 ALV files (the three real recordings of
// one sample, eight copies each under their own names) with --jobs 1 and --jobs N. Each
// iteration is one whole run of the program. Run on an idle machine, e.g.
//   bench_batch --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
// and compare the medians: the speed-up of N jobs is time(1) / time(N).
// Curves per second per core: 24 / (time(1) in s).
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

// 24 data files in a scratch directory, removed at exit.
struct Files {
    fs::path dir;
    std::vector<std::string> paths;
    Files()
    {
        std::string tmpl = (fs::temp_directory_path() / "fluvena-bench-XXXXXX").string();
        dir = ::mkdtemp(tmpl.data()) ? tmpl : throw std::runtime_error("no scratch directory");
        const char* names[] = {"LC8.2_0001.ASC", "LC8.2_0028.ASC", "LC8.2_0045.ASC"};
        for (int copy = 0; copy < 8; ++copy)
            for (const char* name : names) {
                const fs::path to = dir / (std::to_string(copy) + "-" + name);
                fs::copy_file(fs::path(FLUVENA_ALV_DIR) / name, to);
                paths.push_back(to.string());
            }
    }
    ~Files()
    {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
};

const Files& TheFiles()
{
    static const Files files;
    return files;
}

// One run of the batch program; its output goes to /dev/null.
void RunBatch(benchmark::State& state, const std::string& command, int jobs)
{
    std::vector<std::string> args = {FLUVENA_BATCH_EXE, command, "--table", "csv", "--quiet", "--jobs",
                                     std::to_string(jobs)};
    for (const std::string& p : TheFiles().paths) args.push_back(p);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t io;
    posix_spawn_file_actions_init(&io);
    posix_spawn_file_actions_addopen(&io, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    if (::posix_spawn(&pid, argv[0], &io, nullptr, argv.data(), environ) != 0) {
        posix_spawn_file_actions_destroy(&io);
        state.SkipWithError("fluvena-batch cannot be started");
        return;
    }
    posix_spawn_file_actions_destroy(&io);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) state.SkipWithError("fluvena-batch failed");
}

void BM_Contin24Files(benchmark::State& state)
{
    for (auto _ : state) RunBatch(state, "contin", static_cast<int>(state.range(0)));
    state.counters["curves/s"] = benchmark::Counter(24.0 * static_cast<double>(state.iterations()),
                                                    benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Contin24Files)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void BM_Cumulants24Files(benchmark::State& state)
{
    for (auto _ : state) RunBatch(state, "cumulants", static_cast<int>(state.range(0)));
    state.counters["curves/s"] = benchmark::Counter(24.0 * static_cast<double>(state.iterations()),
                                                    benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Cumulants24Files)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
