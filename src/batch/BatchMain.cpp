// fluvena-batch: the analyses of the window, run over many data files from a
// command line or a script. It drives the same analysis core as the window:
// data loading, the range, the decks, the run, the listings and the lines of
// the results log are the core's.
#include "BatchOptions.h"
#include "Inputs.h"
#include "MultiAngle.h"
#include "Records.h"
#include "SeriesLog.h"

#include "base/Errors.h"
#include "core/Measurement.h"
#include "external/Runner.h"
#include "io/FileIO.h"

#include <atomic>
#include <clocale>
#include <condition_variable>
#include <exception>
#include <functional>
#include <iterator>
#include <mutex>
#include <thread>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace fluvena::batch {
namespace {

// The signal (SIGINT, SIGTERM) that asked the batch to stop, 0 while none did.
volatile std::sig_atomic_t g_stopSignal = 0;

void OnStopSignal(int signal) { g_stopSignal = signal; }

// SIGINT and SIGTERM no longer end the batch on the spot: the run in progress
// passes the signal on to the engine's process group, the private directory
// is removed, and the batch exits with 128 + the signal's number. Without
// SA_RESTART a call blocked in the kernel returns EINTR, so that a signal
// also ends a wait that no poll would see.
// SIGXFSZ (a write beyond `ulimit -f`) is ignored: the write then fails with
// EFBIG, which becomes the input's error record, and the private directory
// and half-written files are removed as after any other failure.
void CatchStopSignals()
{
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
    std::signal(SIGXFSZ, SIG_IGN);
}

// The decimal separator of the user's locale, as the window formats and reads
// numbers. The C locale is put back afterwards, so that nothing else in the
// program reads or writes numbers by the user's locale.
char LocaleDecimalSeparator()
{
    char sep = '.';
    if (std::setlocale(LC_ALL, "")) {
        const std::lconv* lc = std::localeconv();
        if (lc && lc->decimal_point && lc->decimal_point[0] && !lc->decimal_point[1]) sep = lc->decimal_point[0];
    }
    std::setlocale(LC_ALL, "C");
    return sep;
}

fs::path HelperDir()
{
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path() : HelperDirFor(self.parent_path());
}

constexpr const char* kPrivatePrefix = "fluvena-batch-";

// A private directory holds ".owner", locked (flock) by its run for as long
// as that run lives; the lock goes with the process however it ends. A
// directory of ours whose owner nobody holds was left by a run that was
// killed (SIGKILL, a crash, a power cut): it is removed. The owner file is
// locked before it gets its name, so a scan never takes a fresh directory
// for a stale one.
void RemoveStaleDirs(const fs::path& tmp)
{
    std::error_code ec;
    for (fs::directory_iterator it(tmp, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path dir = it->path();
        if (dir.filename().string().rfind(kPrivatePrefix, 0) != 0) continue;
        struct stat st {};
        if (::lstat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid()) continue;
        const int fd = ::open((dir / ".owner").c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) continue;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            std::error_code gone;
            fs::remove_all(dir, gone);
        }
        ::close(fd);
    }
}

// A private working directory for the runs, removed when the batch ends.
class WorkDir {
public:
    explicit WorkDir(const std::optional<std::string>& given)
    {
        if (given) {
            path_ = *given;
            std::error_code ec;
            fs::create_directories(path_, ec);
            if (!fs::is_directory(path_)) throw Error("the working directory " + *given + " cannot be created");
            return;
        }
        std::error_code ec;
        fs::path tmp = fs::temp_directory_path(ec);
        if (ec) tmp = "/tmp";
        RemoveStaleDirs(tmp);
        std::string tmpl = (tmp / (std::string(kPrivatePrefix) + "XXXXXX")).string();
        if (!::mkdtemp(tmpl.data())) throw Error("no temporary directory can be made in " + tmp.string());
        path_ = tmpl;
        owned_ = true;
        const fs::path pending = path_ / ".owner.new";
        owner_ = ::open(pending.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (owner_ < 0 || ::flock(owner_, LOCK_EX | LOCK_NB) != 0 || ::rename(pending.c_str(), (path_ / ".owner").c_str()) != 0) {
            Remove();
            throw Error("no temporary directory can be made in " + tmp.string());
        }
    }
    ~WorkDir() { Remove(); }
    WorkDir(const WorkDir&) = delete;
    WorkDir& operator=(const WorkDir&) = delete;
    const fs::path& Path() const { return path_; }
    bool Owned() const { return owned_; }

private:
    void Remove()
    {
        if (owned_) {
            std::error_code ec;
            fs::remove_all(path_, ec);
        }
        if (owner_ >= 0) ::close(owner_);
        owner_ = -1;
    }
    fs::path path_;
    bool owned_ = false;
    int owner_ = -1;
};

// The records of one input, handed over in input order.
using TakeRecords = std::function<void(std::size_t input, std::vector<InputResult>& records)>;

bool Stopped() { return g_stopSignal != 0; }

// Runs every data file of `run`, `run.jobs` at once, each job in a private
// directory of its own (the engines write their decks and listings there),
// and hands each input's records to `take` on this thread in input order,
// as soon as they and those of every earlier input are there. A stop signal
// ends the runs in progress (their engines get the signal) and starts no
// new one.
void RunInputs(const Options& run, const RunControl& control, const TakeRecords& take)
{
    const std::size_t n = run.inputs.size();
    if (run.jobs <= 1 || n <= 1) {
        WorkDir dir(run.workdir);
        BlockingRunner runner(dir.Path(), HelperDir(), control);
        for (std::size_t i = 0; i < n; ++i) {
            std::vector<InputResult> records = RunAnalysis(run, run.inputs[i], runner, dir.Owned(), Stopped);
            take(i, records);
            if (Stopped()) throw Interrupted(g_stopSignal);
        }
        return;
    }
    struct Slot {
        bool done = false;
        std::vector<InputResult> records;
        std::exception_ptr error;
    };
    std::vector<Slot> slots(n);
    std::mutex mutex;
    std::condition_variable ready;
    std::atomic<std::size_t> next{0};
    std::atomic<bool> quit{false};
    const fs::path helperDir = HelperDir();
    const auto work = [&] {
        std::optional<WorkDir> dir;
        std::optional<BlockingRunner> runner;
        for (std::size_t i = next++; i < n && !quit; i = next++) {
            Slot slot;
            try {
                if (Stopped()) throw Interrupted(g_stopSignal);
                if (!runner) {
                    dir.emplace(std::nullopt);
                    runner.emplace(dir->Path(), helperDir, control);
                }
                slot.records = RunAnalysis(run, run.inputs[i], *runner, true, Stopped);
            } catch (...) {
                slot.error = std::current_exception();
            }
            const std::lock_guard<std::mutex> lock(mutex);
            slots[i] = std::move(slot);
            slots[i].done = true;
            ready.notify_all();
        }
    };
    // The workers are joined however this ends (a failure taken from a slot
    // tells them to start no further input).
    struct Workers {
        std::atomic<bool>& quit;
        std::vector<std::thread> threads;
        ~Workers()
        {
            quit = true;
            for (std::thread& t : threads) t.join();
        }
    } workers{quit, {}};
    const std::size_t count = std::min<std::size_t>(static_cast<std::size_t>(run.jobs), n);
    for (std::size_t k = 0; k < count; ++k) workers.threads.emplace_back(work);
    for (std::size_t i = 0; i < n; ++i) {
        Slot slot;
        {
            std::unique_lock<std::mutex> lock(mutex);
            ready.wait(lock, [&] { return slots[i].done; });
            slot = std::move(slots[i]);
        }
        if (slot.error) std::rethrow_exception(slot.error);
        take(i, slot.records);
        if (Stopped()) throw Interrupted(g_stopSignal);
    }
}

// A detector's or an export record's measurement is named FILE [k], as the
// window lists it.
std::string PartName(const InputResult& r)
{
    const std::optional<int> part = r.detector ? r.detector : r.record;
    return part ? " [" + std::to_string(*part) + "]" : "";
}

int Main(const std::vector<std::string>& args)
{
    Options o;
    try {
        o = ParseOptions(args);
    } catch (const UsageError& e) {
        std::cerr << "fluvena-batch: " << e.what() << "\n" << kUsage;
        return 2;
    }
    if (o.help) {
        std::cout << kUsage;
        return 0;
    }
    const char sep = o.decimalPoint ? *o.decimalPoint : LocaleDecimalSeparator();

    CatchStopSignals();
    RunControl control;
    control.waitForLock = !o.noWait;
    control.onWait = [](const fs::path& lock) {
        std::cerr << "fluvena-batch: waiting for another analysis in " << lock.parent_path().string()
                  << " to finish (" << lock.filename().string() << " is held)...\n";
    };
    control.timeoutSeconds = o.timeout;
    control.stopSignal = [] { return static_cast<int>(g_stopSignal); };

    const auto tableRow = [&o](const InputResult& r) {
        return results::FormatTableRow(TableRow(r, o), TableColumns().size(), *o.table);
    };
    const auto printHeader = [&o] {
        const std::vector<results::TableCell> header(TableColumns().begin(), TableColumns().end());
        std::cout << results::FormatTableRow(header, header.size(), *o.table);
    };

    const bool multiangle = o.command == Command::MultiAngle;
    Options run = o;
    run.command = AnalysisCommand(o);
    SeriesLog log;
    if (o.logFile) log.path = *o.logFile;
    const bool analyses = Analyses(o.command);
    const std::size_t total = analyses ? o.inputs.size() : 1;
    bool allOk = true;
    std::vector<InputResult> set;  // multiangle: every record, for the fit
    if (o.table && !multiangle) printHeader();
    const TakeRecords take = [&](std::size_t i, std::vector<InputResult>& records) {
        for (InputResult& r : records) {
            const std::string name = PartName(r);
            if (o.logFile && r.Ok()) LogResult(r, o, log, control, o.values[i], sep);
            allOk = allOk && r.Ok();
            if (multiangle) {
                // The fit decides the status; a measurement without a result
                // is listed and left out of it.
            } else if (o.table) {
                std::cout << tableRow(r) << std::flush;
            } else if (o.json || !analyses) {
                std::cout << Json(r, o) << "\n" << std::flush;
            } else {
                std::cout << r.file << name << ": " << TextLine(r, o, sep) << "\n" << std::flush;
            }
            if ((total > 1 || records.size() > 1) && !o.quiet)
                std::cerr << "[" << i + 1 << "/" << total << "] " << fs::path(r.file).filename().string() << name
                          << ": " << Summary(r, run) << "\n";
        }
        if (multiangle) std::move(records.begin(), records.end(), std::back_inserter(set));
    };
    if (analyses) {
        RunInputs(run, control, take);
    } else {
        std::vector<InputResult> records{ParseOnly(o)};
        take(0, records);
    }
    if (multiangle) {
        bool fitted = false;
        const std::string text = MultiAngleText(set, o, sep, fitted);
        if (o.table) std::cout << MultiAngleTable(set, o) << std::flush;
        else if (o.json) std::cout << MultiAngleJson(set, o) << "\n" << std::flush;
        else std::cout << text << "\n" << std::flush;
        allOk = fitted;
    }
    // Lines a failed write kept back go out now.
    if (!log.pending.empty()) {
        try {
            log.Append(control, [](const ResultsSeries&) { return std::vector<std::string>{}; });
        } catch (const Error& e) {
            std::cerr << "fluvena-batch: the log cannot be written (" << e.what() << ")\n";
            allOk = false;
        }
    }
    return allOk ? 0 : 1;
}

}  // namespace
}  // namespace fluvena::batch

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    try {
        return fluvena::batch::Main(args);
    } catch (const fluvena::Interrupted& e) {
        // The engine has ended and the private directory is gone: stopped
        // as by the signal's own default action would say.
        return 128 + e.Signal();
    } catch (const std::exception& e) {
        std::cerr << "fluvena-batch: " << e.what() << "\n";
        return 1;
    }
}
