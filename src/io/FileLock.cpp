#include "FileLock.h"

#include "FileIO.h"
#include "base/Errors.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace fluvena {

FileLock::FileLock(std::filesystem::path file) : file_(std::move(file))
{
    // A lock file is never opened through a link: a link planted in its
    // place is removed and the file made anew, so that no file elsewhere is
    // created or locked.
    fd_ = ::open(file_.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd_ < 0 && errno == ELOOP && ::unlink(file_.c_str()) == 0)
        fd_ = ::open(file_.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
    // A lock file that exists in a directory we may not write still locks.
    if (fd_ < 0 && (errno == EACCES || errno == EROFS)) fd_ = ::open(file_.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd_ < 0) throw FileError(CannotCreateFile(file_.filename().string()));
}

FileLock::~FileLock()
{
    if (fd_ >= 0) ::close(fd_);
}

bool FileLock::TryLock()
{
    if (held_) return true;
    int rc;
    do {
        rc = ::flock(fd_, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0 && errno != EWOULDBLOCK) throw FileError(CannotCreateFile(file_.filename().string()));
    held_ = rc == 0;
    return held_;
}

void FileLock::Unlock()
{
    if (!held_) return;
    ::flock(fd_, LOCK_UN);
    held_ = false;
}

std::filesystem::path DirectoryLockFile(const std::filesystem::path& dir)
{
    return (dir.empty() ? std::filesystem::path(".") : dir) / "nazwa.lock";
}

std::filesystem::path LogLockFile(const std::filesystem::path& log)
{
    const auto target = LinkTarget(log);
    return DirectoryLockFile((target ? *target : log).parent_path());
}

}  // namespace fluvena
