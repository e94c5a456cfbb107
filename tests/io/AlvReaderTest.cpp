#include "io/DataReader.h"
#include "io/FileIO.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using namespace fluvena;
using namespace fluvena::io;

// The recorded files with the values their headers state; the counts come from
//   awk 'BEGIN{RS="\r\n"} /^"Correlation"/{b=1;next} /^"Count Rate"/{b=2;next}
//        /^$/{b=0} b==1{n++; if (($2+$3)<0) neg++} b==2{m++} END{print n, neg, m}'
TEST(AlvReader, RecordedFiles)
{
    struct Case {
        const char *file, *instrument, *mode;
        double temperature, angle, duration, meanCr0, meanCr1;
        std::size_t points, negative, trace; int headerLines;
        double lag0, ch0, ch1, lastLag, lastTraceTime;
    };
    const Case cases[] = {
        {"LC8.2_0001.ASC", "ALV-7004 or ALV-7004/FAST Data", "C-CH0/1+1/0", 297.92675, 21.7, 40, 2312.38965,
         2884.79443, 206, 18, 254, 28, 2.5e-5, 2.23088E-001, 2.22329E-001, 5.87203E+003, 39.68750},
        {"LC8.2_0028.ASC", "ALV-7004 or ALV-7004/FAST Data", "C-CH0/1+1/0", 297.94326, 55.0, 31, 495.82343,
         425.42453, 206, 29, 253, 28, 2.5e-5, 2.91469E-001, 2.88292E-001, 5.87203E+003, 30.63672},
        {"LC8.2_0045.ASC", "ALV-7004 or ALV-7004/FAST Data", "C-CH0/1+1/0", 297.94326, 87.5, 26, 690.99994,
         579.88300, 206, 39, 253, 28, 2.5e-5, 2.94745E-001, 2.95794E-001, 5.87203E+003, 25.69531},
        {"toluene-0001.ASC", "ALV-7004 or ALV-7004/FAST", "C-CH0/1a1/0", 298.57227, 25.0, 30, 77.10804, 66.50671,
         239, 126, 255, 30, 3.125e-6, 7.08044E-003, 1.12422E-002, 1.25829E+004, 29.88281},
    };
    for (const auto& c : cases) {
        const auto r = ReadDataFile(ReadFile(std::string(FLUVENA_TEST_DATA) + "/alv/" + c.file), {});
        ASSERT_TRUE(r.ok()) << c.file << ": " << r.failure().message();
        const DataFile& d = r.value();
        const InstrumentHeader& h = d.instrument.value();
        EXPECT_EQ(d.format, FileFormat::Alv);
        EXPECT_EQ(d.dataKind, DataKind::G2Minus1);
        EXPECT_EQ(d.timeUnit, TimeUnit::Milliseconds);
        EXPECT_EQ(h.instrument, c.instrument);
        EXPECT_EQ(h.mode, c.mode);
        EXPECT_EQ(h.sampleMemo.size(), 10u);
        EXPECT_EQ(std::vector<std::optional<double>>({h.temperatureK, h.viscosityCp, h.refractiveIndex,
                                                      h.wavelengthNm, h.angleDeg, h.durationS}),
                  std::vector<std::optional<double>>({c.temperature, 0.89, 1.332, 632.8, c.angle, c.duration}))
            << c.file;
        EXPECT_EQ(h.runs, 1);
        EXPECT_EQ(h.channels, (std::vector<int>{0, 1})) << c.file;
        EXPECT_EQ(h.meanCountRateKHz, (std::vector<double>{c.meanCr0, c.meanCr1})) << c.file;
        EXPECT_EQ(d.headerLines, c.headerLines) << c.file;
        ASSERT_EQ(d.x.size(), c.points) << c.file;
        EXPECT_EQ(d.x.front(), c.lag0);
        EXPECT_EQ(d.x.back(), c.lastLag);
        EXPECT_EQ(d.y.front(), (c.ch0 + c.ch1) / 2) << c.file;
        std::size_t negative = 0;
        for (double v : d.y) negative += v < 0;
        EXPECT_EQ(negative, c.negative) << c.file;
        ASSERT_EQ(d.countRate.rateKHz.size(), 2u);
        EXPECT_EQ(d.countRate.timeS.size(), c.trace) << c.file;
        EXPECT_EQ(d.countRate.rateKHz[1].size(), c.trace);
        EXPECT_EQ(d.countRate.timeS.back(), c.lastTraceTime);
    }
}

namespace {

// A correlator file with the given header lines and correlation rows.
std::string Alv(const std::string& header, const std::string& rows)
{
    return "ALV-5000/E-WIN Data\r\n" + header + "\r\n\r\n\"Correlation\"\r\n" + rows +
           "\r\n\"Count Rate\"\r\n 0.5\t10\t20\t30\t40\r\n 1.0\t11\t21\t31\t41\r\nMonitor Diode\t  3.5\r\n";
}

const char* const kRows = " 1e-3\t0.5\t0.3\t0\t0\r\n 2e-3\t0.4\t0.2\t0\t0\r\n";

}  // namespace

TEST(AlvReader, ModesChannelsAndFaults)
{
    struct Read { std::string bytes; std::vector<int> channels; std::vector<double> y; };
    const std::vector<double> both{(0.5 + 0.3) / 2, (0.4 + 0.2) / 2};
    const Read reads[] = {
        {Alv("Mode :\t\"A-CH0\"\r\nMeanCR0 [kHz] :\t 7.5", kRows), {0}, {0.5, 0.4}},
        {Alv("Mode :\t\"C-CH0/1+1/0 \"", kRows), {0, 1}, both},
        {Alv("Mode :\t\"C-CH0/1+1/0\"", " 1e-3\t0.5\t0\t0\t0\r\n 2e-3\t0.4\t0\t0\t0\r\n"), {0}, {0.5, 0.4}},
        {Alv("Mode :\t\"SINGLE CROSS\"", " 1\t0.5\t0\t0.25\t0\r\n"), {0, 2}, {0.375}},
        {Alv("Mode :\t\"C-CH0/1+2/3\"", " 1\t0.5\t0\t0.25\t0.25\r\n"), {0, 2, 3}, {1.0 / 3}},
        {"\xEF\xBB\xBF" + Alv("", kRows), {0, 1}, both},
    };
    for (const auto& c : reads) {
        const auto r = ReadDataFile(c.bytes, {FormatChoice::Auto, 1, 2});
        ASSERT_TRUE(r.ok()) << c.bytes << ": " << r.failure().message();
        EXPECT_EQ(r->instrument->channels, c.channels) << c.bytes;
        EXPECT_EQ(r->y, c.y) << c.bytes;
        EXPECT_EQ(r->x.front(), r->y.size() == 1 ? 1.0 : 1e-3);
        EXPECT_EQ(r->countRate.rateKHz.size(), c.channels.size());
        const double last = 10.0 * c.channels.back();
        EXPECT_EQ(r->countRate.rateKHz.back(), (std::vector<double>{10.0 + last, 11.0 + last}));
    }
    struct Fault { std::string bytes; int line; const char* message; FormatChoice format = FormatChoice::Auto; };
    const Fault faults[] = {
        {Alv("", " 1\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0.5\r\n"), 7,
         "line 7: the \"Count Rate\" block lacks channel 10"},  // a channel beyond the header's MeanCR keys
        {Alv("Mode :\t\"A-CH7\"", kRows), 4,
         "line 4: the mode 'A-CH7' names channel 7, which the \"Correlation\" block lacks"},
        {Alv("Mode :\t\"A-CH1\"", " 1\t0.5\t0\t0\t0\r\n"), 4,
         "line 4: the \"Correlation\" block holds only zeros in the channels the mode 'A-CH1' names"},
        {Alv("", " 1e-3\t0.5\t0.3\t0\t0\r\n 2e-3\t0.4\tabc\t0\t0\r\n"), 6, "line 6: 'abc' is not a number"},
        {Alv("", " 1e-3\t0.5\t0.3\t0\t0\r\n 2e-3\t0.4\r\n"), 6, "line 6: 2 columns where the block's first row has 5"},
        {Alv("", " 2e-3\t0.5\t0.3\t0\t0\r\n 1e-3\t0.4\t0.2\t0\t0\r\n"), 6,
         "line 6: the time 1e-3 is not greater than the time before it (2e-3)"},
        {Alv("Temperature [K] :\t 29x", kRows), 2, "line 2: '29x' is not a number"},
        {Alv("", kRows) + "\"Correlation\"\r\n", 12, "line 12: a second \"Correlation\" block"},
        {Alv("", ""), 4, "line 4: the \"Correlation\" block holds no rows"},
        {"1\t2\r\n", 0, "the file holds no \"Correlation\" block", FormatChoice::Alv},
        {Alv("Duration [s] :\t 40", kRows), 2, "line 2: 'Duration [s] :' is not a number", FormatChoice::Text},
    };
    for (const auto& c : faults) {
        const auto r = ReadDataFile(c.bytes, {c.format, 1, 2});
        ASSERT_FALSE(r.ok()) << c.bytes;
        EXPECT_EQ(r.failure().message(), c.message);
        EXPECT_EQ(r.failure().line, c.line) << c.message;
    }
}

// Header texts are Latin-1 in the file and UTF-8 once read; mean count rates
// are given only when the header states one for every channel used.
TEST(AlvReader, HeaderTexts)
{
    const auto r = ReadDataFile(Alv("Samplename : \t\"\xB5-gel 2\xB0 \"\r\nSampMemo(3) : \t\"x\"\r\nMode :\t\"C-CH0/1a1/0\"\r\n"
                                    "MeanCR0 [kHz] :\t 7.5\r\nFloatDur [ms] :\t 3",
                                    kRows),
                                {});
    ASSERT_TRUE(r.ok()) << r.failure().message();
    EXPECT_EQ(r->instrument->instrument, "ALV-5000/E-WIN Data");
    EXPECT_EQ(r->instrument->sampleName, "\xC2\xB5-gel 2\xC2\xB0");
    EXPECT_EQ(r->instrument->sampleMemo, (std::vector<std::string>{"", "", "", "x"}));
    EXPECT_EQ(r->instrument->channels, (std::vector<int>{0, 1}));
    EXPECT_TRUE(r->instrument->meanCountRateKHz.empty());
    EXPECT_FALSE(r->instrument->temperatureK.has_value());
}
