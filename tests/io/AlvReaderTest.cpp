#include "io/DataReader.h"
#include "io/FileIO.h"
#include "io/LineScan.h"
#include "cumulants/Cumulants.h"
#include "physics/Sizes.h"

#include <gtest/gtest.h>

#include <cstring>
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

// The eight-detector file of a latex with a known size: each column is a
// measurement at its own angle, and a cumulant fit of each gives the
// z-average radius R_med exp(-sigma^2 / 2) = 44.50 nm at every angle (the
// particles are small against 1/q: no form factor).
TEST(AlvReader, EightDetectors)
{
    const std::string bytes = ReadFile(std::string(FLUVENA_TEST_DATA) + "/alv/multiangle-8det.ASC");
    const auto all = ReadDataFiles(bytes, {});
    ASSERT_TRUE(all.ok()) << all.failure().message();
    ASSERT_EQ(all->size(), 8u);
    const double meanCr[] = {80.06951, 90.88390, 100.98015, 110.04293, 120.31349, 130.13107, 140.02104, 150.05136};
    const double firstRow[] = {8.51655E-01, 8.49570E-01, 8.51390E-01, 8.51714E-01,
                               8.51850E-01, 8.48303E-01, 8.48578E-01, 8.47574E-01};
    for (int k = 1; k <= 8; ++k) {
        const DataFile& d = (*all)[static_cast<std::size_t>(k - 1)];
        const InstrumentHeader& h = d.instrument.value();
        EXPECT_EQ(d.detector, k);
        EXPECT_EQ(h.angleDeg, 15.0 + 15.0 * k);
        EXPECT_EQ(h.channels, std::vector<int>{k - 1});
        EXPECT_EQ(h.meanCountRateKHz, std::vector<double>{meanCr[k - 1]});
        EXPECT_EQ(d.y.front(), firstRow[k - 1]) << "detector " << k;
        EXPECT_EQ(d.x.size(), (*all)[0].x.size());
        EXPECT_EQ(d.headerLines, 39);
        EXPECT_TRUE(d.countRate.timeS.empty());

        SampleParameters p;
        p.wavelengthNm = *h.wavelengthNm, p.angleDeg = *h.angleDeg, p.temperatureK = *h.temperatureK;
        p.viscosityCp = *h.viscosityCp, p.refractiveIndex = *h.refractiveIndex;
        std::vector<double> seconds;
        for (double ms : d.x) seconds.push_back(ms * 1e-3);
        const auto fit = cumulants::Fit(seconds, d.y);
        ASSERT_TRUE(fit.ok()) << fit.failure().message();
        const auto z = physics::ZAverageSize(fit->gammaMean, fit->gammaMeanErr, p);
        ASSERT_TRUE(z.ok());
        EXPECT_NEAR(z->radiusNm, 44.50, 0.02 * 44.50) << "detector " << k << " at " << p.angleDeg;
    }
    // A reader of one measurement does not average the angles.
    const auto one = ReadDataFile(bytes, {});
    ASSERT_FALSE(one.ok());
    EXPECT_EQ(one.failure().message(), "the file holds the measurements of 8 detectors, which are read as separate measurements");
}

namespace {

// A goniometer file with the given angle keys and rows (no trace: an averaged run).
std::string Goniometer(const std::string& angles, const std::string& rows, const std::string& tail = "")
{
    return "ALV-7004 CGS-8F Data, Averaged Run Data\r\nMode :\t\"3 x AUTO\"\r\n" + angles +
           "MeanCR1 [kHz] :\t 5\r\nMeanCR3 [kHz] :\t 7\r\n\r\n\"Correlation\"\r\n" + rows + tail;
}

const char* const kAngles3 = "Angle(1)[\xB0]     :\t 30\r\nAngle(2)[\xB0] :\t 90\r\nAngle(3)[\xB0] :\t 150\r\n";

}  // namespace

// Detectors with a zero column were not in use; a layout whose columns do not
// match the header's angles is refused, saying so.
TEST(AlvReader, DetectorLayouts)
{
    const auto used = ReadDataFiles(Goniometer(kAngles3, " 1\t0.5\t0\t0.3\r\n 2\t0.4\t0\t0.2\r\n"), {});
    ASSERT_TRUE(used.ok()) << used.failure().message();
    ASSERT_EQ(used->size(), 2u);
    EXPECT_EQ((*used)[0].detector, 1);
    EXPECT_EQ((*used)[1].detector, 3);
    EXPECT_EQ((*used)[1].instrument->angleDeg, 150.0);
    EXPECT_EQ((*used)[1].y, (std::vector<double>{0.3, 0.2}));
    EXPECT_EQ((*used)[1].instrument->meanCountRateKHz, std::vector<double>{7.0});
    EXPECT_TRUE((*used)[0].instrument->meanCountRateKHz == std::vector<double>{5.0});

    const std::string unaveraged = "ALV-7004 CGS-8F Data\r\n" + std::string(kAngles3) +
                                   "\r\n\"Correlation\"\r\n 1\t0.5\t0.4\t0.3\r\n\r\n\"Count Rate\"\r\n";
    struct Fault { std::string bytes; int line; const char* message; };
    const Fault faults[] = {
        {Goniometer(kAngles3, " 1\t0.5\t0.4\r\n"), 10,
         "line 10: the \"Correlation\" block has 2 columns of values, but the header gives the angles of 3 detectors: "
         "the columns cannot be matched to the angles"},
        {Goniometer(kAngles3, " 1\t0.5\t0.4\t0.3\t0.2\r\n"), 10,
         "line 10: the \"Correlation\" block has 4 columns of values, but the header gives the angles of 3 detectors: "
         "the columns cannot be matched to the angles"},
        {Goniometer("Angle(1)[\xB0] :\t 30\r\nAngle(3)[\xB0] :\t 90\r\n", " 1\t0.5\t0.4\r\n"), 3,
         "line 3: the detector angles are not numbered 1 to 2"},
        {Goniometer("Angle(1)[\xB0] :\t 30\r\nAngle(1)[\xB0] :\t 90\r\n", " 1\t0.5\t0.4\r\n"), 4,
         "line 4: a second angle of detector 1"},
        {Goniometer("Angle(1)[\xB0] :\t 30\r\nAngle(2)[\xB0] :\t 180\r\n", " 1\t0.5\t0.4\r\n"), 4,
         "line 4: 'Angle(2)[\xC2\xB0]' gives 180, not strictly between 0 and 180"},
        {Goniometer(kAngles3, " 1\t0\t0\t0\r\n"), 9, "line 9: the \"Correlation\" block holds only zeros"},
        {unaveraged + " 0.5\t10\t20\r\n 1.0\t11\t21\r\n\r\n", 10,
         "line 10: the \"Count Rate\" block has 2 columns of rates, but the header gives the angles of 3 detectors: "
         "the columns cannot be matched to the detectors"},
    };
    for (const auto& c : faults) {
        const auto r = ReadDataFiles(c.bytes, {});
        ASSERT_FALSE(r.ok()) << c.bytes;
        EXPECT_EQ(r.failure().message(), c.message);
        EXPECT_EQ(r.failure().line, c.line) << c.message;
    }
}

// A file cut anywhere is refused or, where the cut lost nothing the reader
// keeps (the monitor diode, the cumulant results), read as the whole file:
// never the part before the cut.
TEST(AlvReader, CutFiles)
{
    for (const char* name : {"LC8.2_0001.ASC", "LC8.2_0028.ASC", "LC8.2_0045.ASC", "toluene-0001.ASC", "multiangle-8det.ASC"}) {
        const std::string bytes = ReadFile(std::string(FLUVENA_TEST_DATA) + "/alv/" + name);
        const auto whole = ReadDataFiles(bytes, {});
        ASSERT_TRUE(whole.ok()) << name << ": " << whole.failure().message();
        int refused = 0;
        for (int percent = 5; percent < 100; percent += 5) {
            const std::string cut = bytes.substr(0, bytes.size() * static_cast<std::size_t>(percent) / 100);
            const auto r = ReadDataFiles(cut, {});
            if (!r.ok()) {
                ++refused;
                EXPECT_GT(r.failure().line, 0) << name << " cut at " << percent << "%: " << r.failure().message();
                continue;
            }
            ASSERT_EQ(r->size(), whole->size()) << name << " cut at " << percent << "%";
            for (std::size_t k = 0; k < r->size(); ++k) {
                const DataFile &a = (*r)[k], &b = (*whole)[k];
                EXPECT_TRUE(a.x == b.x && a.y == b.y && a.countRate.timeS == b.countRate.timeS &&
                            a.countRate.rateKHz == b.countRate.rateKHz)
                    << name << " cut at " << percent << "% is read as a part of the file";
            }
        }
        EXPECT_GE(refused, 17) << name;
    }
}

// Lines inside a block that are not rows of numbers, and ends that come
// before the file's promise, name their line.
TEST(AlvReader, DamagedBlocks)
{
    const std::string trace = "\r\n\"Count Rate\"\r\n 0.5\t10\t20\t30\t40\r\n 1.0\t11\t21\t31\t41\r\n";
    const std::string head = "ALV-5000/E-WIN Data\r\nDuration [s] :\t 1\r\n\r\n\"Correlation\"\r\n";
    struct Fault { std::string bytes; int line; const char* message; };
    const Fault faults[] = {
        {head + " 1e-3\t0.5\t0.3\t0\t0\r\nNaN\t0.4\t0.2\t0\t0\r\n" + trace, 6, "line 6: 'NaN' is not a number"},
        {head + " 1e-3\t0.5\t0.3\t0\t0\r\n# spike removed\r\n 3e-3\t0.4\t0.2\t0\t0\r\n" + trace, 6,
         "line 6: '#' is not a number"},
        {head + " 1e-3\t0.5\t0.3\t0\t0\r\n\r\n 3e-3\t0.4\t0.2\t0\t0\r\n" + trace, 6,
         "line 6: a blank line inside the \"Correlation\" block"},
        {head + " 1e-3\t0.5\t0.3\t0\t0\r\n 2e-3\t0.4\t0.2\t0\t0\t0.1\r\n" + trace, 6,
         "line 6: 6 columns where the block's first row has 5"},
        {head + " 1e-3\t0.5\t0.3\t0\t0\r\n 2e-3\t0.4\t0.2", 6, "line 6: the file ends inside this line: it is cut short"},
        {head + " 1e-3\t0.5\t0.3\t0\t0\r\n 2e-3\t0.4\t0.2\t0\t0\r\n", 6,
         "line 6: the file ends inside the \"Correlation\" block: it is cut short"},
        {head + " 1e-3\t0.5\t0.3\t0\t0\r\n\r\n", 6, "line 6: the file ends before its \"Count Rate\" block: it is cut short"},
        {head + " 1e-3\t0.5\t0.3\t0\t0\r\n" + trace + "\r\n 2.0\t1\t1\t1\t1\r\n", 10,
         "line 10: a blank line inside the \"Count Rate\" block"},
        {head + " 1e-3\t0.5\t0.3\t0\t0\r\n\r\n\"Count Rate\"\r\n 0.5\t10\t20\t30\t40\r\n", 8,
         "line 8: the file ends inside the \"Count Rate\" block: it is cut short"},
        {"ALV-5000/E-WIN Data\r\nDuration [s] :\t 10\r\n\r\n\"Correlation\"\r\n 1e-3\t0.5\t0.3\t0\t0\r\n" + trace, 9,
         "line 9: the file ends inside the \"Count Rate\" block: it is cut short"},
    };
    for (const auto& c : faults) {
        const auto r = ReadDataFiles(c.bytes, {});
        ASSERT_FALSE(r.ok()) << c.bytes;
        EXPECT_EQ(r.failure().message(), c.message);
        EXPECT_EQ(r.failure().line, c.line) << c.message;
    }
    // The trace ends a few samples short of the duration, as ALV writes it.
    const auto whole = ReadDataFiles(head + " 1e-3\t0.5\t0.3\t0\t0\r\n" + trace, {});
    EXPECT_TRUE(whole.ok()) << whole.failure().message();
}

// Header values no measurement can have are refused, naming the key and the
// value; the bounds themselves are possible.
TEST(AlvReader, HeaderBounds)
{
    struct Case { const char* key; const char* value; bool ok; };
    const Case cases[] = {
        {"Temperature [K]", "199.99", false}, {"Temperature [K]", "200", true},  {"Temperature [K]", "500", true},
        {"Temperature [K]", "500.01", false}, {"Viscosity [cp]", "1e-300", false}, {"Viscosity [cp]", "0.01", true},
        {"Viscosity [cp]", "10000", true},    {"Viscosity [cp]", "1.0001e4", false}, {"Refractive Index", "0.999", false},
        {"Refractive Index", "1", true},      {"Refractive Index", "3.0", true},   {"Refractive Index", "1e9", false},
        {"Wavelength [nm]", "99.9", false},   {"Wavelength [nm]", "100", true},    {"Wavelength [nm]", "2000", true},
        {"Wavelength [nm]", "1e300", false},  {"Angle [\xB0]", "0", false},         {"Angle [\xB0]", "1e-300", true},
        {"Angle [\xB0]", "179.9", true},      {"Angle [\xB0]", "180", false},       {"Angle [\xB0]", "-5", false},
    };
    for (const auto& c : cases) {
        const auto r = ReadDataFiles(Alv(std::string(c.key) + " :\t " + c.value, kRows), {});
        EXPECT_EQ(r.ok(), c.ok) << c.key << " " << c.value;
        if (c.ok || r.ok()) continue;
        EXPECT_EQ(r.failure().line, 2);
        const std::string m = r.failure().message();
        EXPECT_NE(m.find(Quoted(c.key, true)), std::string::npos) << m;
        EXPECT_NE(m.find(std::string(" gives ") + c.value + ","), std::string::npos) << m;
    }
}

// The other instruments' files are held to the same bounds.
TEST(AlvReader, InstrumentFileBounds)
{
    const std::string lsi = ReadFile(std::string(FLUVENA_TEST_DATA) + "/instruments/lsi-pseudo-cross.dat");
    const std::string zeta = ReadFile(std::string(FLUVENA_TEST_DATA) + "/instruments/zetasizer-export.txt");
    struct Case { const std::string* file; const char *from, *to, *message; };
    const Case cases[] = {
        {&lsi, "Temperature (K):\t298.1", "Temperature (K):\t5", "line 7: 'Temperature (K)' gives 5, outside 200 ... 500"},
        {&lsi, "Scattering angle:\t110.0", "Scattering angle:\t180", "line 2: 'Scattering angle' gives 180, not strictly between 0 and 180"},
        {&lsi, "Wavelength (nm):\t642.0", "Wavelength (nm):\t1e300", "line 4: 'Wavelength (nm)' gives 1e300, outside 100 ... 2000"},
        {&zeta, "MAL0000000\t12 March 2026 11:20:00\t25.0\t", "MAL0000000\t12 March 2026 11:20:00\t-300\t",
         "line 7: 'Temperature (\xC2\xB0" "C)' gives -300 \xC2\xB0" "C = -26.85 K, outside 200 ... 500"},
        {&zeta, "\t10\t0.8872\t", "\t10\t1e-300\t", "line 7: 'Viscosity (cP)' gives 1e-300, outside 0.01 ... 10000"},
    };
    for (const Case& c : cases) {
        std::string bytes = *c.file;
        const std::size_t at = bytes.find(c.from);
        ASSERT_NE(at, std::string::npos) << c.from;
        bytes.replace(at, std::strlen(c.from), c.to);
        const auto r = ReadDataFiles(bytes, {});
        ASSERT_FALSE(r.ok()) << c.to;
        EXPECT_EQ(r.failure().message(), c.message);
    }
    EXPECT_TRUE(ReadDataFiles(lsi, {}).ok());
    EXPECT_TRUE(ReadDataFiles(zeta, {}).ok());
}
