#include "FileIO.h"

#include "base/Errors.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace fluvena {

std::string ReadFile(const std::filesystem::path& path)
{
    // O_NONBLOCK: opening a FIFO with no writer, or a device, must not wait;
    // such files are refused below before anything is read.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) throw FileError(CannotOpenFile(path.string()));
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        ::close(fd);
        throw FileError(CannotOpenFile(path.string()));
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        throw FileError(CannotOpenFile(path.string()) + (S_ISDIR(st.st_mode) ? " (it is a directory)"
                                                                            : " (it is not a regular file)"));
    }
    const auto tooLarge = [&] {
        ::close(fd);
        return FileError(CannotOpenFile(path.string()) + " (it is larger than " + std::to_string(kMaxReadMiB) + " MB)");
    };
    if (static_cast<std::uint64_t>(st.st_size) > kMaxReadBytes) throw tooLarge();
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(st.st_size));
    char buf[1 << 16];
    for (;;) {
        const ssize_t got = ::read(fd, buf, sizeof buf);
        if (got < 0) {
            if (errno == EINTR || errno == EAGAIN) continue;
            ::close(fd);
            throw FileError(CannotOpenFile(path.string()));
        }
        if (got == 0) break;
        // A file that grows while it is read is held to the same limit.
        if (bytes.size() + static_cast<std::size_t>(got) > kMaxReadBytes) throw tooLarge();
        bytes.append(buf, static_cast<std::size_t>(got));
    }
    ::close(fd);
    return bytes;
}

std::optional<std::filesystem::path> LinkTarget(const std::filesystem::path& path)
{
    std::filesystem::path at = path;
    // The kernel's own limit on links followed in one lookup.
    for (int hops = 0; hops <= 40; ++hops) {
        struct stat st {};
        if (::lstat(at.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return at;
        std::string to(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1, '\0');
        const ssize_t got = ::readlink(at.c_str(), to.data(), to.size());
        if (got < 0 || static_cast<std::size_t>(got) >= to.size()) return std::nullopt;
        to.resize(static_cast<std::size_t>(got));
        // A relative link is read from the directory that holds it.
        const std::filesystem::path next(to);
        at = next.is_absolute() ? next : at.parent_path() / next;
    }
    return std::nullopt;
}

bool WriteNewFile(const std::filesystem::path& path, std::string_view bytes)
{
    const std::string name = path.string();
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        if (errno == EEXIST) return false;
        throw FileError(CannotCreateFile(name));
    }
    std::size_t done = 0;
    bool ok = true;
    while (ok && done < bytes.size()) {
        const ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (put < 0 && errno == EINTR) continue;
        ok = put > 0;
        if (ok) done += static_cast<std::size_t>(put);
    }
    ok = ok && ::fsync(fd) == 0;
    if (::close(fd) != 0 || !ok) {
        ::unlink(path.c_str());
        throw FileError(kStreamWriteError);
    }
    return true;
}

void WriteFileAtomic(const std::filesystem::path& given, std::string_view bytes, Links links)
{
    const std::string name = given.string();
    if (name.empty()) throw FileError(CannotCreateFile(name));
    // Through a symbolic link the link's target is replaced, not the link
    // (unless the link itself is to go).
    const std::optional<std::filesystem::path> target =
        links == Links::Follow ? LinkTarget(given) : std::optional<std::filesystem::path>(given);
    if (!target) throw FileError(CannotCreateFile(name));
    const std::filesystem::path& path = *target;
    std::filesystem::path dir = path.parent_path();
    if (dir.empty()) dir = ".";
    // An existing target keeps its permission bits; a directory, or a file we
    // may not replace, is refused before anything is written.
    mode_t mode = 0666;
    {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode &= ~mask;
    }
    struct stat st {};
    const int found = links == Links::Follow ? ::stat(path.c_str(), &st) : ::lstat(path.c_str(), &st);
    if (found == 0 && !S_ISLNK(st.st_mode)) {
        if (S_ISDIR(st.st_mode) || ::access(path.c_str(), W_OK) != 0) throw FileError(CannotCreateFile(name));
        mode = st.st_mode & 07777;
    }
    std::string tmpl = (dir / ("." + path.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(tmpl.data());
    if (fd < 0) throw FileError(CannotCreateFile(name));
    auto fail = [&](const std::string& message) {
        ::close(fd);
        ::unlink(tmpl.c_str());
        throw FileError(message);
    };
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (put < 0) {
            if (errno == EINTR) continue;
            fail(kStreamWriteError);
        }
        done += static_cast<std::size_t>(put);
    }
    if (::fsync(fd) != 0) fail(kStreamWriteError);
    // mkstemp made the file 0600; give it the target's (or the usual) bits.
    (void)::fchmod(fd, mode);
    if (::close(fd) != 0) {
        ::unlink(tmpl.c_str());
        throw FileError(kStreamWriteError);
    }
    if (::rename(tmpl.c_str(), path.c_str()) != 0) {
        ::unlink(tmpl.c_str());
        throw FileError(CannotCreateFile(name));
    }
}

}  // namespace fluvena
