// The measurements opened together: each keeps its own sample with the
// source of every value, and the set's members, selection and marks.
#include "core/MeasurementSet.h"

#include "../TestData.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace fluvena;
namespace FT = fluvena::testing;

namespace {

using F = SampleField;
constexpr ValueSource kFile = ValueSource::File, kEntered = ValueSource::Entered, kDefault = ValueSource::Default;

std::string Alv(const char* name) { return "alv/" + std::string(name); }

// A set with the fixtures added one by one, each as a path and the bytes it holds.
void Open(MeasurementSet& set, const std::string& fixture)
{
    const Outcome<std::size_t> added = set.AddFile(FT::DataPath(fixture), FT::ReadFixture(fixture), io::ReadOptions{});
    ASSERT_TRUE(added) << added.failure().message();
}

io::DataFile Detector(int k)
{
    io::DataFile f = FT::Points({1.0, 2.0, 3.0}, {1.0, 0.5, 0.25});
    f.detector = k;
    return f;
}

}  // namespace

// An ALV file, then a text file: the text file has the defaults of its own
// format, nothing of the correlator's header.
TEST(MeasurementSet, EachFileHasItsOwnSampleAndSources)
{
    MeasurementSet set;
    Open(set, Alv("toluene-0001.ASC"));
    Open(set, "narrow.txt");
    ASSERT_EQ(set.Size(), 2u);
    const Measurement& alv = set.At(0).measurement;
    const Measurement& text = set.At(1).measurement;

    EXPECT_EQ(std::tuple(alv.Sample().angleDeg, alv.Sample().wavelengthNm, alv.Sample().viscosityCp, alv.Sample().temperatureK),
              std::tuple(25.0, 632.8, 0.89, 298.57227));
    const SampleParameters d;
    EXPECT_EQ(std::tuple(text.Sample().angleDeg, text.Sample().wavelengthNm, text.Sample().viscosityCp, text.Sample().temperatureK,
                         text.Sample().dataKind, text.Sample().timeUnit),
              std::tuple(d.angleDeg, d.wavelengthNm, d.viscosityCp, d.temperatureK, DataKind::G1, TimeUnit::Microseconds));
    // The correlator's header states every value but the baseline.
    for (const F f : {F::Wavelength, F::Angle, F::Temperature, F::Viscosity, F::RefractiveIndex, F::TimeUnit, F::DataKind,
                      F::Baseline}) {
        EXPECT_EQ(alv.Sources()[f], f == F::Baseline ? kDefault : kFile) << static_cast<int>(f);
        EXPECT_EQ(text.Sources()[f], kDefault) << static_cast<int>(f);
    }
}

// What the user enters for one file goes to the next files of that format,
// marked as entered, never over what a file states and never to another format.
TEST(MeasurementSet, EnteredValuesGoToTheNextFilesOfTheirFormatOnly)
{
    MeasurementSet set;
    Open(set, "narrow.txt");
    SampleParameters s = set.At(0).measurement.Sample();
    s.viscosityCp = 0.55, s.dataKind = DataKind::G2, s.baselineMode = BaselineMode::Fixed, s.baseline = 1.02;
    set.EnterSample(0, s);
    EXPECT_EQ(set.At(0).measurement.Sources()[F::Viscosity], kEntered);
    EXPECT_EQ(set.At(0).measurement.Sources()[F::Angle], kDefault);  // unchanged values keep their source

    Open(set, Alv("toluene-0001.ASC"));
    Open(set, "bimodal.txt");
    const Measurement& alv = set.At(1).measurement;
    const Measurement& text = set.At(2).measurement;
    EXPECT_EQ(std::tuple(text.Sample().viscosityCp, text.Sample().dataKind, text.Sample().baseline),
              std::tuple(0.55, DataKind::G2, 1.02));
    EXPECT_EQ(std::tuple(text.Sources()[F::Viscosity], text.Sources()[F::DataKind], text.Sources()[F::Baseline],
                         text.Sources()[F::Angle]),
              std::tuple(kEntered, kEntered, kEntered, kDefault));
    EXPECT_EQ(std::tuple(alv.Sample().viscosityCp, alv.Sample().dataKind, alv.Sample().baseline),
              std::tuple(0.89, DataKind::G2Minus1, 1.0));
    EXPECT_EQ(alv.Sources()[F::Baseline], kDefault);

    // An entered angle for correlator files fills only files that do not state one.
    s = alv.Sample();
    s.angleDeg = 60.0;
    set.EnterSample(1, s);
    Open(set, Alv("LC8.2_0001.ASC"));
    EXPECT_EQ(set.At(3).measurement.Sources()[F::Angle], kFile);
    io::DataFile bare = set.At(3).measurement.File();
    bare.instrument->angleDeg.reset();
    const ResolvedSample r = set.SampleForNew(bare);
    EXPECT_EQ(std::tuple(r.values.angleDeg, r.sources[F::Angle]), std::tuple(60.0, kEntered));
    EXPECT_EQ(set.Entered(io::FileFormat::Text).angleDeg, std::nullopt);

    // An export's records: a member each, at the angle the instrument model
    // assumes, a default that an angle entered for the format replaces.
    Open(set, "instruments/zetasizer-export.txt");
    ASSERT_EQ(set.Size(), 7u);
    EXPECT_EQ(set.At(6).Name(), "zetasizer-export.txt #3");
    s = set.At(4).measurement.Sample();
    EXPECT_EQ(std::tuple(s.angleDeg, set.At(4).measurement.Sources()[F::Angle]), std::tuple(173.0, kDefault));
    s.angleDeg = 90.0;  // a Nano S90
    set.EnterSample(4, s);
    Open(set, "instruments/zetasizer-export.txt");
    const Measurement& again = set.At(7).measurement;
    EXPECT_EQ(std::tuple(again.Sample().angleDeg, again.Sources()[F::Angle]), std::tuple(90.0, kEntered));
}

TEST(MeasurementSet, TheTailBaselineTakesNoEnteredValue)
{
    EnteredSample entered;
    entered.baselineMode = BaselineMode::Tail, entered.baseline = 1.3;
    const ResolvedSample r = ResolveSample(FT::Points({1.0}, {1.0}), entered, {});
    EXPECT_EQ(std::tuple(r.values.baselineMode, r.values.baseline, r.sources[F::Baseline]),
              std::tuple(BaselineMode::Tail, 1.0, kEntered));
    SampleParameters other = r.values;
    other.baseline = 7.0;
    EXPECT_TRUE(ChangedFields(r.values, other).empty());
    other.baselineMode = BaselineMode::Fixed, other.angleDeg = 45.0;
    EXPECT_EQ(ChangedFields(r.values, other), (std::vector<F>{F::Angle, F::Baseline}));
}

TEST(MeasurementSet, NamesSelectionRemovalAndMarks)
{
    MeasurementSet set;
    EXPECT_EQ(set.Current(), nullptr);
    EXPECT_EQ(set.Add("/data/run/eight.asc", {Detector(1), Detector(2), Detector(3)}), 0u);
    EXPECT_EQ(set.Add("/data/run/one.txt", {FT::Points({1.0, 2.0}, {1.0, 0.5})}), 3u);
    std::vector<std::string> names;
    for (const SetMember& m : set.Members()) names.push_back(m.Name());
    EXPECT_EQ(names, (std::vector<std::string>{"eight.asc [1]", "eight.asc [2]", "eight.asc [3]", "one.txt"}));
    EXPECT_EQ(set.Selected(), 0u);  // the first added, when nothing was selected

    // Removing: the selection stays on its member, or passes to the one that
    // took the removed one's place, else to the one before.
    struct Case { std::size_t select, remove; std::optional<std::size_t> after; std::size_t detectorAfter; };
    const Case cases[] = {{2, 0, 1, 3}, {1, 3, 1, 2}, {1, 1, 1, 3}, {3, 3, 2, 3}, {0, 9, 0, 1}};
    for (const Case& c : cases) {
        MeasurementSet s;
        s.Add("e.asc", {Detector(1), Detector(2), Detector(3)});
        s.Add("t.txt", {Detector(4)});
        ASSERT_TRUE(s.Select(c.select));
        s.Remove(c.remove);
        EXPECT_EQ(s.Selected(), c.after) << c.select << " " << c.remove;
        EXPECT_EQ(s.At(*s.Selected()).detector, c.detectorAfter) << c.select << " " << c.remove;
        EXPECT_EQ(s.Current(), &s.At(*s.Selected()).measurement);
    }
    MeasurementSet one;
    one.Add("a.txt", {Detector(1)});
    one.Remove(0);
    EXPECT_EQ(std::tuple(one.Size(), one.Selected(), one.Current()), std::tuple(0u, std::nullopt, nullptr));

    EXPECT_FALSE(set.Select(4));
    EXPECT_EQ(set.Selected(), 0u);
    set.SetIncluded(1, false);
    EXPECT_EQ(std::tuple(set.IncludedCount(), set.At(1).included, set.At(2).included), std::tuple(3u, false, true));
    // A file that cannot be read adds nothing.
    const Outcome<std::size_t> added = set.AddFile("empty.txt", "# only a header\n", io::ReadOptions{});
    ASSERT_FALSE(added);
    EXPECT_EQ(added.failure().pattern, std::string(io::kNoData));
    EXPECT_EQ(std::tuple(set.Size(), set.Selected()), std::tuple(4u, 0u));

    // Replacing keeps nothing of the old set but what the user entered.
    SampleParameters s = set.At(3).measurement.Sample();
    s.temperatureK = 310.0;
    set.EnterSample(3, s);
    set.Replace("b.txt", {FT::Points({1.0, 2.0}, {1.0, 0.5})});
    EXPECT_EQ(std::tuple(set.Size(), set.Selected(), set.At(0).Name()), std::tuple(1u, 0u, std::string("b.txt")));
    EXPECT_EQ(set.At(0).measurement.Sample().temperatureK, 310.0);
}
