#include "Runner.h"

#include "base/Errors.h"
#include "base/MemoText.h"
#include "io/FileIO.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace fluvena {

const char* EngineProgram(Engine engine) { return engine == Engine::Contin ? "contin.exe" : "discrete.exe"; }

std::string EngineCommand(Engine engine) { return std::string(EngineProgram(engine)) + " <nazwa.in> nazwa.out"; }

std::filesystem::path HelperDirFor(const std::filesystem::path& binDir)
{
    return (binDir / FLUVENA_HELPER_FROM_BIN).lexically_normal();
}

ExternalProcess::ExternalProcess(const std::string& command, const std::filesystem::path& workDir,
                                 const std::filesystem::path& helperDir)
{
    // The environment of the child: ours, with the helper directory at the
    // end of PATH so that a program the user put earlier on PATH wins.
    std::vector<std::string> env;
    bool hadPath = false;
    for (char** e = environ; e && *e; ++e) {
        std::string entry(*e);
        if (entry.rfind("PATH=", 0) == 0) {
            hadPath = true;
            if (!helperDir.empty()) entry += ":" + helperDir.string();
        }
        env.push_back(std::move(entry));
    }
    if (!hadPath) env.push_back("PATH=/usr/local/bin:/usr/bin:/bin" + (helperDir.empty() ? "" : ":" + helperDir.string()));
    std::vector<char*> envp;
    for (auto& s : env) envp.push_back(s.data());
    envp.push_back(nullptr);

    int errPipe[2];
    if (::pipe2(errPipe, O_CLOEXEC) != 0) throw Error("Cannot start the command interpreter");

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, errPipe[1], STDERR_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    const std::string dir = workDir.empty() ? std::string(".") : workDir.string();
    posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    posix_spawnattr_setpgroup(&attr, 0);
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &all);

    std::string sh = "/bin/sh", dashC = "-c", cmd = command;
    char* argv[] = {sh.data(), dashC.data(), cmd.data(), nullptr};
    const int rc = ::posix_spawn(&pid_, "/bin/sh", &actions, &attr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
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

void ExternalProcess::Cancel()
{
    if (status_ >= 0 || pid_ <= 0) return;
    ::kill(-pid_, SIGTERM);
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
        WriteFileAtomic(files.deck(), FileText(deckLines));
    } catch (const FileError& e) {
        // The message names the file as the user knows it.
        if (std::string(e.what()) == kStreamWriteError) throw;
        throw FileError(CannotCreateFile("nazwa.in"));
    }
    std::error_code ec;
    std::filesystem::remove(files.listing(), ec);
    if (ec) throw FileError(CannotCreateFile("nazwa.out"));
}

std::string CollectListing(const RunFiles& files, Engine engine, const ExternalProcess& process)
{
    if (process.ExitStatus() == 127)
        throw Error(std::string("The analysis program ") + EngineProgram(engine) + " was not found" +
                    (process.ErrorOutput().empty() ? std::string(".") : ":\n" + process.ErrorOutput()));
    try {
        return ReadFile(files.listing());
    } catch (const FileError&) {
        throw FileError(CannotOpenFile("nazwa.out"));
    }
}

EngineRun BlockingRunner::Run(Engine engine, const std::vector<std::string>& deckLines)
{
    PrepareRun(files_, deckLines);
    ExternalProcess process(EngineCommand(engine), files_.workDir, helperDir_);
    process.Wait();
    return EngineRun{false, CollectListing(files_, engine, process)};
}

}  // namespace fluvena
