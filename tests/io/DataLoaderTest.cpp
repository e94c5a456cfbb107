#include "io/DataLoader.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>

using namespace fluvena;
using Status = LoadedData::Status;

TEST(DataLoader, FieldWindowsAndSeparators)
{
    struct Case { const char* bytes; std::vector<double> x, y; };
    const Case cases[] = {
        {"1.5\t2.5", {1.5}, {2.5}},
        {"1.23456789e-05\t0.5\r\n", {1.23456789}, {0.5}},
        {"1\t0.123456789\r\n2\t0.123456789\r\n", {1, 2}, {0.1234567, 0.123456}},
        {"0,5\t1,25", {0.5}, {1.25}},
        {"1\t2\t3", {1}, {2}},
        {"0,0001\t0,9876\r\n0.0002\t0.9500\r\n", {0.0001, 0.0002}, {0.9876, 0.95}},
        {"Time\tValue\n1\t2\n", {0, 1}, {0, 2}},
        {"1\t2\n3\t4", {1, 3}, {2, 4}},
        {"1\t2\r3\t4\r", {1, 3}, {2, 4}},
    };
    for (const auto& c : cases) {
        const auto d = ParseDataFile(c.bytes);
        ASSERT_EQ(d.status, Status::Ok) << c.bytes;
        EXPECT_EQ(d.x, c.x) << c.bytes;
        EXPECT_EQ(d.y, c.y) << c.bytes;
        EXPECT_EQ(d.lineCount, static_cast<int>(c.x.size()));
    }
}

TEST(DataLoader, EmptyAndUnreadableFiles)
{
    EXPECT_EQ(ParseDataFile("").status, Status::Empty);
    struct Case { const char* bytes; int badLine; };
    const Case cases[] = {
        {"no tab here", 1},
        {"1\t2\r\n\r\n3\t4\r\n", 3},       // a blank line: points shift, the last finds no tab
        {"1\t2\r\n3\t4\r\n\r\n", 3},       // a blank line after the final break
        {"1\t2\r\nnotab\r\n3\t4\r\n", 3},
        {"\n", 1},
    };
    for (const auto& c : cases) {
        const auto d = ParseDataFile(c.bytes);
        EXPECT_EQ(d.status, Status::BadLine) << c.bytes;
        EXPECT_EQ(d.badLine, c.badLine) << c.bytes;
        EXPECT_TRUE(d.x.empty());
    }
}

TEST(DataLoader, LineBreakKindsLoadAlike)
{
    const auto crlf = ParseDataFile("1\t2\r\n3\t4\r\n5\t6\r\n");
    const auto lf = ParseDataFile("1\t2\n3\t4\n5\t6\n");
    const auto cr = ParseDataFile("1\t2\r3\t4\r5\t6\r");
    EXPECT_EQ(crlf.x, lf.x);
    EXPECT_EQ(crlf.y, lf.y);
    EXPECT_EQ(crlf.x, cr.x);
    EXPECT_EQ(crlf.y, cr.y);
}

TEST(DataLoader, FixtureFiles)
{
    for (const char* name : {"bimodal.txt", "lognormal.txt"}) {
        std::ifstream in(std::string(FLUVENA_TEST_DATA) + "/" + name, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        const auto d = ParseDataFile(ss.str());
        ASSERT_EQ(d.status, Status::Ok);
        EXPECT_EQ(d.x.size(), std::string(name) == "bimodal.txt" ? 100u : 80u);
    }
}

TEST(DataLoader, RandomBytesNeverCrashAndStayConsistent)
{
    std::mt19937 rng(12345);
    const std::string alphabet = "0123456789.,\t\r\n -eE+x\x01\xff";
    for (int round = 0; round < 3000; ++round) {
        std::string bytes(rng() % 200, '\0');
        for (auto& b : bytes)
            b = (round % 3 == 0) ? static_cast<char>(rng() & 0xff) : alphabet[rng() % alphabet.size()];
        const auto d = ParseDataFile(bytes);
        if (d.status == Status::Ok) {
            EXPECT_EQ(d.x.size(), static_cast<std::size_t>(d.lineCount));
            EXPECT_EQ(d.y.size(), d.x.size());
            EXPECT_GT(d.lineCount, 0);
        } else {
            EXPECT_TRUE(d.x.empty());
            EXPECT_TRUE(d.y.empty());
        }
    }
}

TEST(DataLoader, HugeFile)
{
    std::string bytes;
    for (int k = 0; k < 300000; ++k) bytes += std::to_string(k) + "\t0,5\r\n";
    const auto d = ParseDataFile(bytes);
    ASSERT_EQ(d.status, Status::Ok);
    EXPECT_EQ(d.lineCount, 300000);
    EXPECT_EQ(d.x.back(), 299999.0);
    EXPECT_EQ(d.y.back(), 0.5);
}
