// The results log on disk: a log holding lines the memo lacks is kept before
// it is replaced (never over another kept copy); appends keep the old bytes.
#include "../TestData.h"
#include "base/MemoText.h"
#include "io/FileIO.h"
#include "results/LogFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>

using namespace fluvena;
namespace fs = std::filesystem;
using fluvena::testing::TempDir;

TEST(LogFile, ALogWithLinesTheMemoLacksIsKeptBeforeItIsReplaced)
{
    struct Case { const char* old; std::vector<std::string> memo; bool kept; };
    const Case cases[] = {
        {nullptr, {"H", "20"}, false},                  // no log yet
        {"H\r\n20\r\n", {"H", "20", "25"}, false},      // the memo goes on from the log
        {"H\r\n20", {"H", "20", "25"}, false},          // no line break after the last line
        {"H\r\n20\r\n25\r\n", {"H", "30"}, true},       // an earlier start's series
        {"H\r\n20\r\n25\r\n", {"H", "25", "30"}, true}, // a line deleted from the memo
        {"H\r\n20\r\n20\r\n", {"H", "20", "30"}, true}, // a line the log holds twice
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.old ? c.old : "(none)");
        TempDir dir;
        const fs::path log = dir.path / "tempCont.txt";
        if (c.old) std::ofstream(log, std::ios::binary) << c.old;
        const auto kept = ReplaceLog(log, c.memo, 1700000000);
        EXPECT_EQ(ReadFile(log), FileText(c.memo));
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), {}), c.kept ? 2 : 1);
        ASSERT_EQ(kept.has_value(), c.kept);
        if (!kept) continue;
        EXPECT_TRUE(std::regex_match(kept->filename().string(), std::regex(R"(tempCont-\d{8}-\d{6}\.txt)"))) << *kept;
        EXPECT_EQ(ReadFile(*kept), c.old);
        // Kept again in the same second: a new name, the first copy stays.
        const auto again = ReplaceLog(log, {"other"}, 1700000000);
        ASSERT_TRUE(again.has_value());
        EXPECT_EQ(again->filename().string(), kept->stem().string() + "-2.txt");
        EXPECT_EQ(ReadFile(*kept), c.old);
    }
}

TEST(LogFile, AppendsKeepTheBytesThere)
{
    TempDir dir;
    const fs::path log = dir.path / "series.txt";
    for (const auto& [old, expected] : {std::pair{"", "x\r\n"}, std::pair{"own\n", "own\nx\r\n"},
                                        std::pair{"no break", "no break\r\nx\r\n"}}) {
        std::ofstream(log, std::ios::binary) << old;
        AppendToLog(log, ReadLog(log), {"x"});
        EXPECT_EQ(ReadFile(log), expected);
    }
}
