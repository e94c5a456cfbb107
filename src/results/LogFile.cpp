#include "LogFile.h"

#include "base/Errors.h"
#include "base/MemoText.h"
#include "io/FileIO.h"

#include <map>
#include <system_error>

namespace fluvena {

namespace {

// Every old line is among the new ones (as often as it was there).
bool Covers(const std::vector<std::string>& lines, const std::vector<std::string>& old)
{
    std::map<std::string, std::size_t> count;
    for (const auto& l : lines) ++count[l];
    for (const auto& l : old) {
        auto it = count.find(l);
        if (it == count.end() || it->second == 0) return false;
        --it->second;
    }
    return true;
}

std::string Stamp(std::time_t now)
{
    std::tm local{};
    ::localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

std::filesystem::path KeepCopy(const std::filesystem::path& log, const std::string& bytes, std::time_t now)
{
    const std::string base = log.stem().string() + "-" + Stamp(now);
    const std::string ext = log.extension().string();
    for (int k = 1; k < 1000; ++k) {
        const std::filesystem::path name = log.parent_path() / (base + (k > 1 ? "-" + std::to_string(k) : "") + ext);
        if (WriteNewFile(name, bytes)) return name;
    }
    throw FileError(CannotCreateFile((log.parent_path() / (base + ext)).string()));
}

}  // namespace

std::string ReadLog(const std::filesystem::path& log)
{
    std::error_code ec;
    if (!std::filesystem::exists(log, ec)) return {};
    return ReadFile(log);
}

void AppendToLog(const std::filesystem::path& log, const std::string& oldBytes, const std::vector<std::string>& lines)
{
    const std::string joint = oldBytes.empty() || EndsWithLineBreak(oldBytes) ? "" : "\r\n";
    WriteFileAtomic(log, oldBytes + joint + FileText(lines));
}

std::optional<std::filesystem::path> ReplaceLog(const std::filesystem::path& log, const std::vector<std::string>& lines,
                                                std::time_t now)
{
    const std::string old = ReadLog(log);
    std::optional<std::filesystem::path> kept;
    if (!Covers(lines, SplitLines(old))) kept = KeepCopy(log, old, now);
    WriteFileAtomic(log, FileText(lines));
    return kept;
}

}  // namespace fluvena
