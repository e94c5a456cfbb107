#pragma once
// Whole-file reads and writes. Writes replace the file atomically: the bytes
// go to a temporary file in the same directory, which is flushed and renamed
// over the target, so a failure at any point leaves the earlier file intact.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace fluvena {

// The largest file read whole: 256 MB (MiB), far beyond any data file or
// listing, and small enough to hold in memory.
inline constexpr std::uint64_t kMaxReadMiB = 256;
inline constexpr std::uint64_t kMaxReadBytes = kMaxReadMiB << 20;

// The file's bytes; FileError "Cannot open file <name>" when it cannot be read,
// with the reason added in parentheses when it is not a regular file (a
// directory, a FIFO, a device: refused without waiting or reading) or larger
// than kMaxReadBytes.
std::string ReadFile(const std::filesystem::path& path);

// The file a path names after following symbolic links (the path itself when
// it is no link, also when it does not exist); a link to a file not yet made
// gives that file's path. nullopt for a loop or an unreadable link.
std::optional<std::filesystem::path> LinkTarget(const std::filesystem::path& path);

// What a write does with a symbolic link of the name: writes its target (the
// user's own files, which a user may point anywhere), or replaces the link
// by a new file (scratch files, which nobody may redirect).
enum class Links { Follow, Replace };

// Through a symbolic link, the link's target is written and the link stays
// (Links::Replace: the link itself is replaced, its target untouched).
// FileError "Cannot create file <name>" when the file cannot be created,
// "Stream write error" when writing fails part way. <name> is the path as given.
void WriteFileAtomic(const std::filesystem::path& path, std::string_view bytes, Links links = Links::Follow);

// Creates the file with these bytes unless a file (or link) of that name
// exists: then false and nothing changes. FileError "Cannot create file
// <name>" / "Stream write error" as WriteFileAtomic.
bool WriteNewFile(const std::filesystem::path& path, std::string_view bytes);

}  // namespace fluvena
