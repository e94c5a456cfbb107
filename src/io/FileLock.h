#pragma once
// One analysis at a time in a directory: an exclusive advisory lock (flock)
// on the lock file "nazwa.lock" beside the deck. It is held from writing the
// deck to reading the listing, and while a results log in that directory is
// read, extended and written back, by every window and batch run that uses
// the directory. The lock goes with the open file: it ends when the holder
// unlocks, closes or dies, and programs started meanwhile do not inherit it.
#include <filesystem>

namespace fluvena {

class FileLock {
public:
    // Opens the lock file, creating it when absent; FileError "Cannot create
    // file <name>" (the file name alone) when that cannot be done.
    explicit FileLock(std::filesystem::path file);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Takes the lock unless another holder has it (then false: nothing changes).
    bool TryLock();
    void Unlock();
    bool Held() const { return held_; }
    const std::filesystem::path& File() const { return file_; }

private:
    std::filesystem::path file_;
    int fd_ = -1;
    bool held_ = false;
};

// The lock file of the analyses in a directory.
std::filesystem::path DirectoryLockFile(const std::filesystem::path& dir);
// The lock file guarding a results log: the one of the directory that holds
// the file it names (followed through symbolic links).
std::filesystem::path LogLockFile(const std::filesystem::path& log);

}  // namespace fluvena
