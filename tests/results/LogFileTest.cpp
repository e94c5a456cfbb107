// The results log on disk: a log that holds lines the memo lacks is kept
// before it is replaced, and appends keep the bytes already there.
#include "base/MemoText.h"
#include "io/FileIO.h"
#include "results/LogFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>

using namespace fluvena;
namespace fs = std::filesystem;

namespace {

struct TempDir {
    fs::path path;
    TempDir()
    {
        std::string tmpl = (fs::temp_directory_path() / "fluvena-logfile-XXXXXX").string();
        path = ::mkdtemp(tmpl.data());
    }
    ~TempDir() { fs::remove_all(path); }
};

std::vector<fs::path> KeptCopies(const fs::path& dir)
{
    std::vector<fs::path> kept;
    for (const auto& e : fs::directory_iterator(dir))
        if (e.path().filename() != "tempCont.txt") kept.push_back(e.path());
    return kept;
}

}  // namespace

TEST(LogFile, ALogWithLinesTheMemoLacksIsKeptBeforeItIsReplaced)
{
    struct Case { const char* name; std::optional<std::string> old; std::vector<std::string> memo; bool kept; };
    const Case cases[] = {
        {"no log yet", std::nullopt, {"H", "20"}, false},
        {"the memo goes on from the log", "H\r\n20\r\n", {"H", "20", "25"}, false},
        {"the log's last line has no line break", "H\r\n20", {"H", "20", "25"}, false},
        {"an earlier start's series", "H\r\n20\r\n25\r\n", {"H", "30"}, true},
        {"a line deleted from the memo", "H\r\n20\r\n25\r\n", {"H", "25", "30"}, true},
        {"a line the log holds twice", "H\r\n20\r\n20\r\n", {"H", "20", "30"}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const fs::path log = dir.path / "tempCont.txt";
        if (c.old) std::ofstream(log, std::ios::binary) << *c.old;
        const auto kept = ReplaceLog(log, c.memo, 1700000000);
        EXPECT_EQ(ReadFile(log), FileText(c.memo));
        const auto copies = KeptCopies(dir.path);
        ASSERT_EQ(copies.size(), c.kept ? 1u : 0u);
        EXPECT_EQ(kept.has_value(), c.kept);
        if (!c.kept) continue;
        EXPECT_EQ(*kept, copies[0]);
        EXPECT_TRUE(std::regex_match(kept->filename().string(), std::regex(R"(tempCont-\d{8}-\d{6}\.txt)")))
            << *kept;
        EXPECT_EQ(ReadFile(*kept), *c.old);
    }
}

TEST(LogFile, AKeptCopyNeverReplacesAnother)
{
    TempDir dir;
    const fs::path log = dir.path / "tempCont.txt";
    std::vector<std::string> olds = {"A\r\n", "B\r\n", "C\r\n"};
    std::ofstream(log, std::ios::binary) << olds[0];
    std::vector<fs::path> kept;
    for (std::size_t k = 0; k < olds.size(); ++k) {
        // The same second each time.
        kept.push_back(ReplaceLog(log, {k + 1 < olds.size() ? SplitLines(olds[k + 1])[0] : "D"}, 1700000000).value());
    }
    for (std::size_t k = 0; k < olds.size(); ++k) EXPECT_EQ(ReadFile(kept[k]), olds[k]) << kept[k];
    EXPECT_EQ(kept[1].filename().string(), kept[0].stem().string() + "-2.txt");
}

TEST(LogFile, AppendsKeepTheBytesThere)
{
    struct Case { std::string old; std::string expected; };
    const Case cases[] = {
        {"", "x\r\ny\r\n"},
        {"own\nlines\n", "own\nlines\nx\r\ny\r\n"},
        {"no break", "no break\r\nx\r\ny\r\n"},
    };
    TempDir dir;
    for (const Case& c : cases) {
        const fs::path log = dir.path / "series.txt";
        std::ofstream(log, std::ios::binary) << c.old;
        AppendToLog(log, ReadLog(log), {"x", "y"});
        EXPECT_EQ(ReadFile(log), c.expected) << c.old;
    }
    EXPECT_EQ(ReadLog(dir.path / "absent.txt"), "");
}
