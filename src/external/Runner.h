#pragma once
// Runs an analysis program the way the window does: the deck is saved as
// "nazwa.in", the command line "<program> <nazwa.in> nazwa.out" goes to the
// system's command interpreter (/bin/sh -c) with the program's helper
// directory appended to the end of PATH, and the listing is read back from
// "nazwa.out". A stale "nazwa.out" is removed first, so a program that writes
// nothing cannot pass an old listing off as new. The two redirections are
// made by the runner itself, not by the interpreter: the listing is created
// anew and never through a symbolic link someone planted in its place.
#include "base/Errors.h"
#include "core/EngineRunner.h"
#include "io/FileLock.h"

#include <chrono>
#include <csignal>
#include <exception>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace fluvena {

// "contin.exe" or "discrete.exe".
const char* EngineProgram(Engine engine);
// The command line as the user knows it: "exec contin.exe <nazwa.in>
// nazwa.out" or the same for discrete.exe.
std::string EngineCommand(Engine engine);

// The directory of the bundled engines for a program whose executable lies in
// binDir (the build tree and an install place them alike).
std::filesystem::path HelperDirFor(const std::filesystem::path& binDir);

// PATH for a program run with the helper directory after the user's own
// entries; `current` is our PATH (nullptr when unset: the usual default).
// The helper directory is made absolute; an empty PATH gives the helper
// directory alone, and an empty entry of the user's own stays as it is.
std::string SearchPathWith(const char* current, const std::filesystem::path& helperDir);

// One started command. The child runs in a process group of its own so that
// Cancel ends it together with everything it started.
// The command's standard input and output: open descriptors the child gets
// as its own (-1: /dev/null for input, this process's own output). The
// caller keeps and closes them.
struct StdStreams {
    int in = -1, out = -1;
};

class ExternalProcess {
public:
    // Starts /bin/sh -c command in workDir, killed (SIGKILL) should this
    // process die before it; helperDir (if not empty) is
    // appended to PATH. Throws Error when the interpreter cannot be started.
    ExternalProcess(const std::string& command, const std::filesystem::path& workDir,
                    const std::filesystem::path& helperDir, StdStreams streams = {});
    ~ExternalProcess();
    ExternalProcess(const ExternalProcess&) = delete;
    ExternalProcess& operator=(const ExternalProcess&) = delete;

    // True once the command has ended (does not block).
    bool Finished();
    // Blocks until the command ends.
    void Wait();
    // Waits at most `most` for the command to end; true when it has.
    bool WaitFor(std::chrono::milliseconds most);
    // Ends the command and its children (the signal given, then SIGKILL) and
    // reaps it.
    void Cancel(int signal = SIGTERM);
    // The interpreter's exit status (127: command not found; 128 + n: killed
    // by signal n); -1 while running.
    int ExitStatus() const { return status_; }
    // What the interpreter wrote on standard error (its "not found" text).
    const std::string& ErrorOutput() const { return errorText_; }

private:
    void DrainErrors(bool block);
    pid_t pid_ = -1;
    int errFd_ = -1;
    int status_ = -1;
    std::string errorText_;
};

// The files of one run in workDir.
struct RunFiles {
    std::filesystem::path workDir;
    std::filesystem::path deck() const { return workDir / "nazwa.in"; }
    std::filesystem::path listing() const { return workDir / "nazwa.out"; }
    std::filesystem::path lock() const { return DirectoryLockFile(workDir); }
};

// How a run meets another analysis in its directory, how long its program
// may take, and what ends it early.
struct RunControl {
    // false: another analysis holding the directory's lock is an error at once.
    bool waitForLock = true;
    // Told once, with the lock file, when the run starts to wait for it.
    std::function<void(const std::filesystem::path&)> onWait;
    // The program is stopped after this many seconds (none: no limit).
    std::optional<double> timeoutSeconds;
    // A signal to end the run with (passed on to the program), 0 to go on.
    std::function<int()> stopSignal;
};

// Another analysis holds the directory's lock, and the run was not to wait.
class Busy : public Error {
public:
    using Error::Error;
};

// The run was ended by a signal; the program is gone. Not an Error: it ends
// the whole batch, not one input.
class Interrupted : public std::exception {
public:
    explicit Interrupted(int signal) : signal_(signal) {}
    int Signal() const { return signal_; }
    const char* what() const noexcept override { return "interrupted"; }

private:
    int signal_;
};

// Takes `lock` as `control` says: at once when it is free; otherwise Busy
// without waiting, or waits (telling onWait once) until it is free or
// stopSignal asks to stop (Interrupted).
void TakeLock(FileLock& lock, const RunControl& control);

// Saves the deck lines (8-bit, CR LF after every line) as nazwa.in
// (atomically; FileError "Cannot create file nazwa.in") and removes a stale
// nazwa.out.
void PrepareRun(const RunFiles& files, const std::vector<std::string>& deckLines);

// Starts the engine on a prepared run: nazwa.in opened for its input, and
// nazwa.out created anew for its output (a file or link of that name is
// removed first and the new file is made with O_EXCL | O_NOFOLLOW, so the
// listing never lands where a planted link points). FileError "Cannot open
// file nazwa.in" / "Cannot create file nazwa.out" when they cannot be opened;
// Error when the interpreter cannot be started.
std::unique_ptr<ExternalProcess> StartEngine(const RunFiles& files, Engine engine,
                                             const std::filesystem::path& helperDir);

// After the program ended: the listing's bytes. A program that ended with a
// status other than 0 gives Error naming it and the status (its listing is
// not read); "was not found" only when the interpreter said it found no
// program of that name (status 127). A missing listing gives FileError
// "Cannot open file nazwa.out".
std::string CollectListing(const RunFiles& files, Engine engine, const ExternalProcess& process);

// Runs the engines in a working directory and waits for them (fluvena-batch),
// holding the directory's lock from the deck to the listing. A program that
// outlives the time limit is stopped (Error naming the limit); a stop signal
// is passed on to the program's process group (Interrupted).
class BlockingRunner : public EngineRunner {
public:
    BlockingRunner(std::filesystem::path workDir, std::filesystem::path helperDir, RunControl control = {})
        : files_{std::move(workDir)}, helperDir_(std::move(helperDir)), control_(std::move(control))
    {
    }
    EngineRun Run(Engine engine, const std::vector<std::string>& deckLines) override;
    const RunFiles& Files() const { return files_; }

private:
    RunFiles files_;
    std::filesystem::path helperDir_;
    RunControl control_;
};

}  // namespace fluvena
