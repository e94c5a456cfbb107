#include "Runner.h"

#include "base/Errors.h"
#include "base/MemoText.h"
#include "io/FileIO.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace fluvena {

const char* EngineProgram(Engine engine) { return engine == Engine::Contin ? "contin.exe" : "discrete.exe"; }

// The interpreter replaces itself by the engine ("exec"), so that the
// parent-death signal of the interpreter's process reaches the engine itself.
std::string EngineCommand(Engine engine)
{
    return "exec " + std::string(EngineProgram(engine)) + " <nazwa.in> nazwa.out";
}

namespace {

// What the interpreter is given: the command without its redirections,
// which StartEngine makes on descriptors of its own.
std::string EngineInvocation(Engine engine) { return "exec " + std::string(EngineProgram(engine)); }

// Puts `fd` at `target` in the child, without close-on-exec (dup2 clears it,
// but not when the descriptor is there already).
bool PlaceStream(int fd, int target)
{
    if (fd == target) return ::fcntl(fd, F_SETFD, 0) == 0;
    return ::dup2(fd, target) >= 0;
}

}  // namespace

std::filesystem::path HelperDirFor(const std::filesystem::path& binDir)
{
    return (binDir / FLUVENA_HELPER_FROM_BIN).lexically_normal();
}

std::string SearchPathWith(const char* current, const std::filesystem::path& helperDir)
{
    std::string path = current ? current : "/usr/local/bin:/usr/bin:/bin";
    if (helperDir.empty()) return path;
    // A relative entry would be looked up from the program's working
    // directory, which is the analysis directory, not ours.
    const std::string helper = std::filesystem::absolute(helperDir).lexically_normal().string();
    // An empty PATH has no entries: the helper directory becomes the only one
    // (":helper" would add an empty entry, the working directory).
    return path.empty() ? helper : path + ":" + helper;
}

ExternalProcess::ExternalProcess(const std::string& command, const std::filesystem::path& workDir,
                                 const std::filesystem::path& helperDir, StdStreams streams)
{
    // The environment of the child: ours, with the helper directory at the
    // end of PATH so that a program the user put earlier on PATH wins.
    std::vector<std::string> env;
    for (char** e = environ; e && *e; ++e)
        if (std::strncmp(*e, "PATH=", 5) != 0) env.emplace_back(*e);
    env.push_back("PATH=" + SearchPathWith(std::getenv("PATH"), helperDir));
    std::vector<char*> envp;
    for (auto& s : env) envp.push_back(s.data());
    envp.push_back(nullptr);

    int errPipe[2];
    if (::pipe2(errPipe, O_CLOEXEC) != 0) throw Error("Cannot start the command interpreter");

    const std::string dir = workDir.empty() ? std::string(".") : workDir.string();
    std::string sh = "/bin/sh", dashC = "-c", cmd = command;
    char* argv[] = {sh.data(), dashC.data(), cmd.data(), nullptr};
    sigset_t none;
    sigemptyset(&none);
    const pid_t parent = ::getpid();

    // fork and exec rather than posix_spawn: only the child can ask to be
    // killed when its parent dies (PR_SET_PDEATHSIG), so that an engine never
    // outlives a window or batch run that was killed. Between fork and exec
    // the child makes async-signal-safe calls only (the parent may run
    // threads).
    pid_ = ::fork();
    if (pid_ == 0) {
        ::setpgid(0, 0);
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent) ::_exit(127);  // the parent is already gone
        struct sigaction dfl {};
        dfl.sa_handler = SIG_DFL;
        for (int sig = 1; sig < NSIG; ++sig) ::sigaction(sig, &dfl, nullptr);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        const int in = streams.in >= 0 ? streams.in : ::open("/dev/null", O_RDONLY);
        if (in < 0 || !PlaceStream(in, STDIN_FILENO) || (streams.out >= 0 && !PlaceStream(streams.out, STDOUT_FILENO)) ||
            ::dup2(errPipe[1], STDERR_FILENO) < 0 || ::chdir(dir.c_str()) != 0)
            ::_exit(127);
        ::execve("/bin/sh", argv, envp.data());
        ::_exit(127);
    }
    const int rc = pid_ < 0 ? errno : 0;
    // The parent sets the group too, so that a Cancel right after the fork
    // already finds it.
    if (pid_ > 0) ::setpgid(pid_, pid_);
    ::close(errPipe[1]);
    if (rc != 0) {
        ::close(errPipe[0]);
        pid_ = -1;
        throw Error("Cannot start the command interpreter: " + std::string(std::strerror(rc)));
    }
    errFd_ = errPipe[0];
}

ExternalProcess::~ExternalProcess()
{
    if (pid_ > 0 && status_ < 0) Cancel();
    if (errFd_ >= 0) ::close(errFd_);
}

void ExternalProcess::DrainErrors(bool block)
{
    while (errFd_ >= 0) {
        pollfd p{errFd_, POLLIN, 0};
        const int ready = ::poll(&p, 1, block ? -1 : 0);
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return;
        char buf[4096];
        const ssize_t got = ::read(errFd_, buf, sizeof buf);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            ::close(errFd_);
            errFd_ = -1;
            return;
        }
        // Keep the start of what the interpreter said; a runaway program
        // must not fill memory.
        if (errorText_.size() < 65536) errorText_.append(buf, static_cast<std::size_t>(got));
    }
}

bool ExternalProcess::Finished()
{
    if (status_ >= 0) return true;
    DrainErrors(false);
    int st = 0;
    const pid_t r = ::waitpid(pid_, &st, WNOHANG);
    if (r == pid_) {
        status_ = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
        DrainErrors(false);
        return true;
    }
    return false;
}

void ExternalProcess::Wait()
{
    while (!Finished()) {
        if (errFd_ >= 0) {
            pollfd p{errFd_, POLLIN, 0};
            ::poll(&p, 1, 50);
            DrainErrors(false);
        } else {
            int st = 0;
            const pid_t r = ::waitpid(pid_, &st, 0);
            if (r == pid_) status_ = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
            else if (r < 0 && errno != EINTR) status_ = 255;
        }
    }
}

bool ExternalProcess::WaitFor(std::chrono::milliseconds most)
{
    const auto until = std::chrono::steady_clock::now() + most;
    while (!Finished()) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        const auto step = std::min(left, std::chrono::milliseconds(10));
        if (errFd_ >= 0) {
            pollfd p{errFd_, POLLIN, 0};
            // Woken by the interpreter's errors or their end (its exit).
            if (::poll(&p, 1, static_cast<int>(step.count())) > 0) DrainErrors(false);
        } else {
            std::this_thread::sleep_for(step);
        }
    }
    return true;
}

void ExternalProcess::Cancel(int signal)
{
    if (status_ >= 0 || pid_ <= 0) return;
    ::kill(-pid_, signal);
    for (int k = 0; k < 40 && !Finished(); ++k) std::this_thread::sleep_for(std::chrono::milliseconds(25));
    if (!Finished()) {
        ::kill(-pid_, SIGKILL);
        Wait();
    }
    // Children that outlived the interpreter are ended too.
    ::kill(-pid_, SIGKILL);
}

void PrepareRun(const RunFiles& files, const std::vector<std::string>& deckLines)
{
    try {
        // A link planted in the directory is replaced, never written through.
        WriteFileAtomic(files.deck(), FileText(deckLines), Links::Replace);
    } catch (const FileError& e) {
        // The message names the file as the user knows it.
        if (std::string(e.what()) == kStreamWriteError) throw;
        throw FileError(CannotCreateFile("nazwa.in"));
    }
    std::error_code ec;
    std::filesystem::remove(files.listing(), ec);
    if (ec) throw FileError(CannotCreateFile("nazwa.out"));
}

namespace {

// An open descriptor, closed when it goes.
class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd()
    {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

int OpenRetrying(const char* path, int flags, mode_t mode = 0)
{
    int fd;
    do fd = ::open(path, flags, mode);
    while (fd < 0 && errno == EINTR);
    return fd;
}

}  // namespace

std::unique_ptr<ExternalProcess> StartEngine(const RunFiles& files, Engine engine, const std::filesystem::path& helperDir)
{
    const Fd deck(OpenRetrying(files.deck().c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (deck.get() < 0) throw FileError(CannotOpenFile("nazwa.in"));
    // Whatever holds the listing's name now (a stale listing, a link planted
    // since the run was prepared) goes; the new file is made only if the name
    // is free, and a link made in between is refused rather than followed.
    const std::string listing = files.listing().string();
    if (::unlink(listing.c_str()) != 0 && errno != ENOENT) throw FileError(CannotCreateFile("nazwa.out"));
    const Fd out(OpenRetrying(listing.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
    if (out.get() < 0) throw FileError(CannotCreateFile("nazwa.out"));
    return std::make_unique<ExternalProcess>(EngineInvocation(engine), files.workDir, helperDir,
                                             StdStreams{deck.get(), out.get()});
}

namespace {

// The interpreter's own word that it found no program of that name: dash
// says "<name>: not found", bash "<name>: command not found". A program that
// runs and itself misses a command names that command, not itself.
bool InterpreterMissed(const std::string& errors, const char* program)
{
    for (const char* tail : {": not found", ": command not found"}) {
        const std::string said = std::string(program) + tail;
        for (std::size_t at = errors.find(said); at != std::string::npos; at = errors.find(said, at + 1)) {
            // The name stands alone: at the start of a line or after ": ".
            if (at == 0 || errors[at - 1] == '\n' || (at >= 2 && errors.compare(at - 2, 2, ": ") == 0)) return true;
        }
    }
    return false;
}

std::string Trimmed(std::string text)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
    return text;
}

}  // namespace

std::string CollectListing(const RunFiles& files, Engine engine, const ExternalProcess& process)
{
    const int status = process.ExitStatus();
    const char* program = EngineProgram(engine);
    const std::string said = Trimmed(process.ErrorOutput());
    if (status == 127 && InterpreterMissed(said, program))
        throw Error(std::string("The analysis program ") + program + " was not found:\n" + said);
    // Whatever a failed program left in its listing is not its result.
    if (status != 0)
        throw Error(std::string("The analysis program ") + program + " failed with exit status " +
                    std::to_string(status) + (said.empty() ? std::string(".") : ":\n" + said));
    try {
        return ReadFile(files.listing());
    } catch (const FileError&) {
        throw FileError(CannotOpenFile("nazwa.out"));
    }
}

namespace {

int StopSignal(const RunControl& control) { return control.stopSignal ? control.stopSignal() : 0; }

std::string Seconds(double s)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", s);
    return text;
}

}  // namespace

void TakeLock(FileLock& lock, const RunControl& control)
{
    if (lock.TryLock()) return;
    const std::string dir = lock.File().parent_path().string();
    if (!control.waitForLock)
        throw Busy("another analysis is running in " + dir + " (" + lock.File().filename().string() + " is held)");
    if (control.onWait) control.onWait(lock.File());
    while (!lock.TryLock()) {
        if (const int signal = StopSignal(control)) throw Interrupted(signal);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

EngineRun BlockingRunner::Run(Engine engine, const std::vector<std::string>& deckLines)
{
    FileLock lock(files_.lock());
    TakeLock(lock, control_);
    PrepareRun(files_, deckLines);
    const std::unique_ptr<ExternalProcess> started = StartEngine(files_, engine, helperDir_);
    ExternalProcess& process = *started;
    const auto start = std::chrono::steady_clock::now();
    while (!process.WaitFor(std::chrono::milliseconds(20))) {
        if (const int signal = StopSignal(control_)) {
            process.Cancel(signal);
            throw Interrupted(signal);
        }
        if (control_.timeoutSeconds &&
            std::chrono::steady_clock::now() - start >= std::chrono::duration<double>(*control_.timeoutSeconds)) {
            process.Cancel();
            throw Error(std::string("The analysis program ") + EngineProgram(engine) + " did not finish within " +
                        Seconds(*control_.timeoutSeconds) + " s (the time limit) and was stopped");
        }
    }
    return EngineRun{false, CollectListing(files_, engine, process)};
}

}  // namespace fluvena
