#include "MemoText.h"

namespace fluvena {

std::vector<std::string> SplitLines(std::string_view bytes)
{
    std::vector<std::string> lines;
    std::size_t begin = 0;
    const std::size_t n = bytes.size();
    std::size_t i = 0;
    while (i < n) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            lines.emplace_back(bytes.substr(begin, i - begin));
            if (c == '\r' && i + 1 < n && bytes[i + 1] == '\n') ++i;
            ++i;
            begin = i;
        } else {
            ++i;
        }
    }
    if (begin < n) lines.emplace_back(bytes.substr(begin));
    return lines;
}

bool EndsWithLineBreak(std::string_view bytes)
{
    return !bytes.empty() && (bytes.back() == '\n' || bytes.back() == '\r');
}

std::string NormalizedText(std::string_view bytes)
{
    const auto lines = SplitLines(bytes);
    std::string text;
    text.reserve(bytes.size() + lines.size());
    for (std::size_t k = 0; k < lines.size(); ++k) {
        if (k > 0) text += "\r\n";
        text += lines[k];
    }
    if (!lines.empty() && EndsWithLineBreak(bytes)) text += "\r\n";
    return text;
}

std::string FileText(const std::vector<std::string>& lines)
{
    std::size_t size = 0;
    for (const auto& l : lines) size += l.size() + 2;
    std::string text;
    text.reserve(size);
    for (const auto& l : lines) {
        text += l;
        text += "\r\n";
    }
    return text;
}

}  // namespace fluvena
