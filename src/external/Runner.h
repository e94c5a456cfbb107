#pragma once
// Runs an analysis program the way the window does: the deck is saved as
// "nazwa.in", the command line "<program> <nazwa.in> nazwa.out" goes to the
// system's command interpreter (/bin/sh -c) with the program's helper
// directory appended to the end of PATH, and the listing is read back from
// "nazwa.out". A stale "nazwa.out" is removed first, so a program that writes
// nothing cannot pass an old listing off as new.
#include "core/EngineRunner.h"

#include <filesystem>
#include <string>
#include <sys/types.h>
#include <vector>

namespace fluvena {

// "contin.exe" or "discrete.exe".
const char* EngineProgram(Engine engine);
// "contin.exe <nazwa.in> nazwa.out" or "discrete.exe <nazwa.in> nazwa.out".
std::string EngineCommand(Engine engine);

// The directory of the bundled engines for a program whose executable lies in
// binDir (the build tree and an install place them alike).
std::filesystem::path HelperDirFor(const std::filesystem::path& binDir);

// One started command. The child runs in a process group of its own so that
// Cancel ends it together with everything it started.
class ExternalProcess {
public:
    // Starts /bin/sh -c command in workDir; helperDir (if not empty) is
    // appended to PATH. Throws Error when the interpreter cannot be started.
    ExternalProcess(const std::string& command, const std::filesystem::path& workDir,
                    const std::filesystem::path& helperDir);
    ~ExternalProcess();
    ExternalProcess(const ExternalProcess&) = delete;
    ExternalProcess& operator=(const ExternalProcess&) = delete;

    // True once the command has ended (does not block).
    bool Finished();
    // Blocks until the command ends.
    void Wait();
    // Ends the command and its children (SIGTERM, then SIGKILL) and reaps it.
    void Cancel();
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
};

// Saves the deck lines (8-bit, CR LF after every line) as nazwa.in
// (atomically; FileError "Cannot create file nazwa.in") and removes a stale
// nazwa.out.
void PrepareRun(const RunFiles& files, const std::vector<std::string>& deckLines);

// After the program ended: the listing's bytes. A program that could not be
// found (status 127) gives Error naming it; a missing listing gives FileError
// "Cannot open file nazwa.out".
std::string CollectListing(const RunFiles& files, Engine engine, const ExternalProcess& process);

// Runs the engines in a working directory and waits for them (fluvena-batch).
class BlockingRunner : public EngineRunner {
public:
    BlockingRunner(std::filesystem::path workDir, std::filesystem::path helperDir)
        : files_{std::move(workDir)}, helperDir_(std::move(helperDir))
    {
    }
    EngineRun Run(Engine engine, const std::vector<std::string>& deckLines) override;
    const RunFiles& Files() const { return files_; }

private:
    RunFiles files_;
    std::filesystem::path helperDir_;
};

}  // namespace fluvena
