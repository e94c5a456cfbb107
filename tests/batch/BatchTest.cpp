// Drives the built fluvena-batch and compares what it prints and writes with
// what the core gives for the same input in this process.
#include "BatchHarness.h"

#include "../TestData.h"
#include "base/MemoText.h"
#include "core/Measurement.h"
#include "io/Cp1250.h"
#include "physics/NumberArg.h"
#include "physics/Siegert.h"
#include "physics/Sizes.h"
#include "results/ResultsLog.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <regex>
#include <set>

using namespace fluvena;
namespace FT = fluvena::testing;
namespace fs = std::filesystem;
using FT::Batch;
using FT::OnlyObject;
using FT::TempDir;

namespace {

std::string Data(const std::string& name) { return FT::DataPath(name); }

// The shortest text that reads back as the same double.
std::string Shortest(double v)
{
    char buf[32];
    return std::string(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
}

// A stand-in whose k-th run prints the k-th listing (the last one again after that).
void SequenceEngine(const TempDir& dir, const std::string& program, const std::vector<std::string>& listings)
{
    const std::string count = (dir.path / (program + ".count")).string();
    std::string body = "cat >/dev/null\nn=$(($(cat " + count + " 2>/dev/null || echo 0) + 1))\necho $n > " + count +
                       "\ncase $n in\n";
    for (std::size_t k = 0; k < listings.size(); ++k)
        body += (k + 1 == listings.size() ? std::string("*") : std::to_string(k + 1)) + ") cat " + listings[k] +
                " ;;\n";
    FT::FakeEngine(dir, program, body + "esac\n");
}

// Each named field of the JSON object holds the core's value exactly.
void ExpectFields(const minijson::Value& json, std::initializer_list<std::pair<const char*, double>> core)
{
    for (const auto& [key, value] : core) EXPECT_EQ(json[key].Num(), value) << key;
}

// The array holds the core's numbers exactly, null where they are not finite.
void ExpectSameNumbers(const minijson::Value& json, const std::vector<double>& core, const char* what)
{
    ASSERT_EQ(json.items.size(), core.size()) << what;
    for (std::size_t k = 0; k < core.size(); ++k)
        EXPECT_TRUE(std::isfinite(core[k]) ? json[k].Num() == core[k] : json[k].kind == minijson::Value::Kind::Null)
            << what << "[" << k << "] = " << json[k].Num() << ", not " << core[k];
}

// The core's result for a data file and a recorded listing.
Measurement Analysed(const std::string& data, const std::string& listing, bool contin)
{
    Measurement m;
    m.Load(FT::LoadFixture(data));
    FT::RecordedRunner runner(FT::ReadFixture(listing));
    if (contin) m.RunContin(ContinRequest{}, runner);
    else m.RunDiscrete(DiscreteRequest{}, runner);
    return m;
}

}  // namespace

TEST(BatchParse, JsonHoldsTheCoreResult)
{
    TempDir dir;
    struct Case { const char* listing; const char* data; int points; int chosen; };
    for (const Case c :
         {Case{"bimodal.contin.out", "bimodal.txt", 100, 7}, Case{"lognormal.contin.out", "lognormal.txt", 80, 9}}) {
        SCOPED_TRACE(c.listing);
        const minijson::Value j =
            OnlyObject(dir, {"parse-contin", Data(c.listing), "--points", std::to_string(c.points), "--grid-points", "100"});
        const Measurement m = Analysed(c.data, c.listing, true);
        const ContinResult& r = *m.Contin();
        EXPECT_EQ(j["status"].text + j["analysis"].text + j["file"].text, "okcontin" + Data(c.listing));
        ExpectFields(j, {{"gridPoints", 100}, {"chosen", c.chosen}});
        ASSERT_EQ(j["solutions"].items.size(), r.solutions.size());
        for (std::size_t i = 0; i < r.solutions.size(); ++i) {
            const auto& js = j["solutions"][i];
            const ContinSolution& s = r.solutions[i];
            ExpectFields(js, {{"index", static_cast<double>(i)}, {"prob1ToReject", s.prob1ToReject}});
            ASSERT_EQ(js["peaks"].items.size(), s.peaks.size());
            for (std::size_t k = 0; k < s.peaks.size(); ++k) {
                const ContinPeak& p = s.peaks[k];
                ExpectFields(js["peaks"][k], {{"intensity", p.intensity}, {"intensityErr", p.intensityErr},
                                              {"position", p.position}, {"positionErr", p.positionErr},
                                              {"width", p.width}});
            }
            ExpectSameNumbers(js["distY"], s.distY, "distY");
            ExpectSameNumbers(js["distErr"], s.distErr, "distErr");
            ExpectSameNumbers(js["fitY"], s.fitY, "fitY");
        }
    }
    // DISCRETE's fit of g2 data is in the data's terms, B + beta g1|g1| with the
    // run's beta and baseline, as the window draws and exports it.
    io::DataFile g2 = FT::LoadFixture("bimodal.txt");
    std::string text;
    for (std::size_t k = 0; k < g2.x.size(); ++k) text += Shortest(g2.x[k]) + "\t" + Shortest(g2.y[k] += 1.5) + "\n";
    const std::string g2Path = dir.path / "g2.txt";
    std::ofstream(g2Path, std::ios::binary) << text;
    struct DiscreteCase { const char* listing; std::string path; io::DataFile data; const char* note; bool g2 = false; };
    for (const DiscreteCase& c :
         {DiscreteCase{"bimodal.discrete.out", Data("bimodal.txt"), FT::LoadFixture("bimodal.txt"), " "},
          DiscreteCase{"lognormal.discrete.out", Data("lognormal.txt"), FT::LoadFixture("lognormal.txt"), "Uwaga"},
          DiscreteCase{"bimodal.discrete.out", g2Path, g2, " ", true}}) {
        SCOPED_TRACE(c.path);
        std::vector<std::string> args = {"parse-discrete", Data(c.listing), c.path};
        if (c.g2) args.insert(args.end(), {"--data-kind", "g2", "--baseline", "1.5"});
        const minijson::Value j = OnlyObject(dir, args);
        Measurement m;
        m.Load(c.data, c.g2 ? SampleParameters{.dataKind = DataKind::G2, .baseline = 1.5} : SampleParameters{});
        FT::RecordedRunner runner(FT::ReadFixture(c.listing));
        ASSERT_EQ(m.RunDiscrete(DiscreteRequest{}, runner).status, RunStatus::Ok);
        const DiscreteResult& r = *m.Discrete();
        EXPECT_EQ(j["status"].text + j["analysis"].text + j["note"].text, std::string("okdiscrete") + c.note);
        const auto n = static_cast<double>(m.PointCount());
        ExpectFields(j, {{"pointCount", n}, {"first", 0}, {"last", n - 1}});
        ASSERT_EQ(std::pair(r.beta.has_value(), j.fields.count("beta")), std::pair(c.g2, std::size_t(c.g2)));
        if (c.g2) {
            EXPECT_EQ(std::pair(r.baseline, j["beta"].Num()), std::pair(1.5, *r.beta));
        }
        ASSERT_EQ(j["solutions"].items.size(), r.solutions.size());
        for (std::size_t i = 0; i < r.solutions.size(); ++i) {
            const auto& js = j["solutions"][i];
            const DiscreteSolution& s = r.solutions[i];
            ExpectFields(js, {{"baseline", s.baseline}, {"punc", s.punc}});
            ASSERT_EQ(js["components"].items.size(), s.components.size());
            for (std::size_t k = 0; k < s.components.size(); ++k) {
                const auto& d = s.components[k];
                ExpectFields(js["components"][k], {{"amplitude", d.amplitude}, {"amplitudeErr", d.amplitudeErr},
                                                   {"rate", d.rate}, {"rateErr", d.rateErr}});
            }
            ExpectSameNumbers(js["fitY"], physics::FitInDataTerms(s.fitY, r.beta, 1.5), "fitY");
            ExpectSameNumbers(js["residual"], s.residual, "residual");
        }
    }
}

// Measurements through a stand-in CONTIN, in one run or in several: the log
// file holds exactly the lines of "Zapamiętaj" clicks on the same results.
// Runs that continue one log under another series parameter start a new
// header block: values are never written under another parameter's name.
TEST(BatchSeries, LogEqualsTheClicks)
{
    TempDir dir;
    const fs::path log = dir.path / "series.txt";
    const std::string kat = "K\xC4\x85t";  // "Kąt" in UTF-8 on the command line
    struct Run { std::string param; std::vector<std::string> data, values; };
    struct Case { const char* name; bool inverse; char point; std::string before; std::vector<Run> runs; };
    const Run three{"Temp", {"bimodal", "lognormal", "bimodal"}, {"20,5", "25", "30,25"}};
    const Case cases[] = {
        {"new log", false, ',', "", {three}},
        {"1000/T, log with a line", true, ',', "my own line\r\n", {three}},
        {"renamed parameter", false, '.', "",
         {{"Temp", {"bimodal"}, {"20"}}, {"Temp", {"bimodal"}, {"25"}}, {kat, {"bimodal"}, {"30"}},
          {kat, {"bimodal"}, {"45"}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::ofstream(log, std::ios::binary) << c.before;
        std::vector<std::string> memo = SplitLines(c.before);
        std::string lastParam;
        for (const Run& r : c.runs) {
            fs::remove(dir.path / "contin.exe.count");
            std::vector<std::string> listings;
            for (const auto& d : r.data) listings.push_back(Data(d + ".contin.out"));
            SequenceEngine(dir, "contin.exe", listings);
            std::vector<std::string> args = {"contin", "--quiet", "--log", log, "--decimal-point", {c.point}, "--param",
                                             r.param};
            if (c.inverse) args.push_back("--inverse");
            for (const auto& v : r.values) args.insert(args.end(), {"--value", v});
            for (const auto& d : r.data) args.push_back(Data(d + ".txt"));
            ASSERT_EQ(Batch(dir, args).Wait(), 0);
            for (std::size_t i = 0; i < r.data.size(); ++i) {
                Measurement m = Analysed(r.data[i] + ".txt", r.data[i] + ".contin.out", true);
                const LogInput in{Utf8ToCp1250(r.param), r.values[i], c.inverse, false, c.point};
                const bool header = memo.empty() || (!lastParam.empty() && r.param != lastParam);
                const LogClick click = ContinLogClick(m.ShowContin(std::int64_t(m.Contin()->chosen)), header, in);
                if (click.header) memo.push_back(*click.header);
                ASSERT_TRUE(click.line);
                memo.push_back(*click.line);
                lastParam = r.param;
            }
        }
        EXPECT_EQ(ReadFile(log), FileText(memo));
    }
    // A DISCRETE line carries as many component groups as the run asked for.
    SequenceEngine(dir, "discrete.exe", {Data("bimodal.discrete.out")});
    const fs::path discreteLog = dir.path / "discrete.txt";
    auto discrete = Batch(dir, {"discrete", "--quiet", "--log", discreteLog, "--decimal-point", ".", "--param", "Temp",
                                "--max-components", "4", "--value", "20", Data("bimodal.txt")});
    ASSERT_EQ(discrete.Wait(), 0);
    Measurement d = Analysed("bimodal.txt", "bimodal.discrete.out", false);
    const LogClick click = DiscreteLogClick(d.ShowDiscrete(0), 4, true, LogInput{"Temp", "20", false, false, '.'});
    EXPECT_EQ(ReadFile(discreteLog), FileText({*click.header, *click.line}));
}

TEST(BatchFailures, StatusAndExitCode)
{
    TempDir dir;
    const std::string empty = dir.path / "empty.txt", cut = dir.path / "cut.out", none = dir.path / "none.txt";
    std::ofstream{empty};
    SequenceEngine(dir, "contin.exe", {Data("badng.contin.out")});
    SequenceEngine(dir, "discrete.exe", {Data("bimodal.discrete.out")});
    const std::string listing = FT::ReadFixture("bimodal.contin.out");
    std::ofstream(cut, std::ios::binary) << listing.substr(0, listing.size() * 3 / 4);
    // A copy beside which the listing of a rejected deck can be kept.
    const std::string bimodal = dir.path / "bimodal.txt";
    fs::copy_file(Data("bimodal.txt"), bimodal);

    struct Case { const char* name; std::vector<std::string> args; int exitCode; std::vector<std::string> statuses;
                  const char* says = ""; };
    const Case cases[] = {
        {"missing file", {"contin", "--json", none}, 1, {"error"}},
        {"empty file", {"discrete", "--json", empty}, 1, {"error"}},
        {"two points for CONTIN", {"contin", "--json", "--first", "5", "--last", "6", bimodal}, 1, {"refused"}},
        {"one point for DISCRETE", {"discrete", "--json", "--first", "3", "--last", "3", bimodal}, 1, {"refused"}},
        {"CONTIN rejects the deck", {"contin", "--json", bimodal}, 1, {"rejected"},
         "ERROR INPUT  2.  (CHECK USERS GUIDE.)"},
        {"one missing and one good", {"discrete", "--json", "--quiet", none, bimodal}, 1, {"error", "ok"}},
        {"DISCRETE through the stand-in", {"discrete", "--json", bimodal}, 0, {"ok"}},
        {"truncated listing", {"parse-contin", cut, "--points", "100", "--grid-points", "100"}, 1, {"error"}},
        {"listing without a component table", {"parse-discrete", Data("bimodal.contin.out"), bimodal}, 1, {"error"}},
        {"range beyond the file", {"contin", "--json", "--last", "100", bimodal}, 1, {"error"}},
        {"no decay to fit", {"cumulants", "--json", Data("alv/toluene-0001.ASC")}, 1, {"error"}},
        {"the dead time taken in", {"cumulants", "--json", "--first", "0", Data("instruments/lsi-pseudo-cross.dat")}, 1,
         {"error"}},
        {"g2-1 data taken for g2", {"cumulants", "--json", "--data-kind", "g2", Data("alv/LC8.2_0045.ASC")}, 1, {"error"}},
        {"g2-1 data taken for g1", {"contin", "--json", "--data-kind", "g1", Data("alv/LC8.2_0045.ASC")}, 1, {"error"}},
        {"tail baseline of g2-1 data", {"cumulants", "--json", "--baseline", "tail", Data("alv/LC8.2_0045.ASC")}, 1, {"error"}},
        {"unknown option", {"contin", "--colour", "red", bimodal}, 2, {}},
        {"option of the other analysis", {"contin", "--weight", "2", bimodal}, 2, {}},
        {"no data file", {"discrete", "--json"}, 2, {}},
        {"log without values", {"contin", "--log", "x.txt", bimodal}, 2, {}},
        {"log that is an input", {"contin", "--log", bimodal, "--value", "1", bimodal}, 2, {}},
        {"table and JSON", {"cumulants", "--json", "--table", "csv", bimodal}, 2, {}},
        {"jobs with a working directory", {"contin", "--jobs", "2", "--workdir", "w", bimodal}, 2, {}},
        {"bad number", {"contin", "--grid-min", "0,1", bimodal}, 2, {}},
        {"bad switches", {"discrete", "--switches", "TFT", bimodal}, 2, {}},
        {"unknown regularizer", {"contin", "--regularizer", "smooth", bimodal}, 2, {}},
        {"parse-contin without --points", {"parse-contin", cut, "--grid-points", "100"}, 2, {}},
        {"unknown command", {"analyse", bimodal}, 2, {}},
        {"help", {"--help"}, 0, {}}, {"short help", {"-h"}, 0, {}},
        {"help of a command", {"contin", "--help"}, 0, {}}, {"short help of a command", {"discrete", "-h"}, 0, {}},
    };
    const fs::path kept = dir.path / "bimodal.contin.out";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(kept);
        auto run = Batch(dir, c.args);
        EXPECT_EQ(run.Wait(), c.exitCode);
        if (c.statuses.empty()) {  // the usage: asked for on stdout, after a bad command line on stderr
            EXPECT_EQ(c.exitCode ? run.Out() : run.Out().substr(0, 6), c.exitCode ? "" : "usage:");
            EXPECT_EQ(run.Err().find("usage:") != std::string::npos, c.exitCode != 0);
            continue;
        }
        const auto objs = run.Objects();
        ASSERT_EQ(objs.size(), c.statuses.size());
        for (std::size_t k = 0; k < objs.size(); ++k) {
            EXPECT_EQ(objs[k]["status"].text, c.statuses[k]);
            EXPECT_EQ(objs[k]["message"].text.empty(), c.statuses[k] == "ok");
        }
        EXPECT_NE(objs[0]["message"].text.find(c.says), std::string::npos);
        // Only a rejected deck's listing is kept beside the data.
        EXPECT_EQ(fs::exists(kept) ? ReadFile(kept) : "", *c.says ? FT::ReadFixture("badng.contin.out") : "");
    }
}

// A correlator file: what its header says, the sample as the options change
// it, the cumulant fit and the sizes, as the core computes them.
TEST(BatchSizes, CorrelatorFileSampleAndCumulants)
{
    TempDir dir;
    const std::string file = Data("alv/LC8.2_0045.ASC");
    Measurement loaded;
    loaded.Load(FT::LoadFixture("alv/LC8.2_0045.ASC"));
    // first: the range's first point (the fit's points are counted in the
    // file); frisken: Frisken's form, with its own default cut-off.
    struct Case { std::vector<std::string> options; double temperature, viscosity, index; const char* kind;
                  std::int64_t first = 0; bool frisken = false; };
    const Case cases[] = {
        {{}, 297.94326, 0.89, 1.332, "g2-1"},
        {{"--temperature", "300", "--solvent", "water"}, 300, *physics::WaterViscosityCp(300), 1.332, "g2-1"},
        {{"--solvent", "toluene", "--viscosity", "0.6"}, 297.94326, 0.6, 1.496, "g2-1"},
        {{"--data-kind", "g2", "--force", "--baseline", "tail", "--refractive-index", "1.33"}, 297.94326, 0.89, 1.33, "g2"},
        {{"--first", "6", "--frisken"}, 297.94326, 0.89, 1.332, "g2-1", 6, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options.empty() ? "" : c.options[0]);
        std::vector<std::string> args = {"cumulants", "--json", file};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const minijson::Value j = OnlyObject(dir, args);
        EXPECT_EQ(j["format"].text + " " + j["sample"]["dataKind"].text + " " + j["sample"]["timeUnit"].text,
                  std::string("alv ") + c.kind + " ms");
        ExpectFields(j["instrument"], {{"angle", 87.5}, {"temperature", 297.94326}});
        EXPECT_EQ(j["instrument"]["meanCountRate"].items.size(), 2u);
        ExpectFields(j["sample"],
                     {{"temperature", c.temperature}, {"viscosity", c.viscosity}, {"refractiveIndex", c.index}});

        Measurement m = loaded;
        SampleParameters p = m.Sample();
        p.temperatureK = c.temperature, p.viscosityCp = c.viscosity, p.refractiveIndex = c.index;
        p.dataKind = std::string(c.kind) == "g2" ? DataKind::G2 : DataKind::G2Minus1;
        p.baselineMode = std::string(c.kind) == "g2" ? BaselineMode::Tail : BaselineMode::Fixed;
        m.SetSample(p);
        ASSERT_TRUE(m.SetRange(c.first, static_cast<std::int64_t>(m.PointCount()) - 1));
        ASSERT_EQ(m.RunCumulants(CumulantRequest{2, c.frisken, DefaultCutoff(c.frisken)}).status, RunStatus::Ok);
        const cumulants::Result& f = m.Cumulants()->fit;
        EXPECT_EQ(j["analysis"].text + " " + j["method"].text, c.frisken ? "cumulants frisken" : "cumulants iso22412");
        ExpectFields(j, {{"gammaMean", f.gammaMean}, {"pdi", f.pdi}, {"beta", f.beta}, {"headerLines", 28},
                         {"fitFirst", static_cast<double>(c.first + f.fitFirst)},
                         {"fitLast", static_cast<double>(c.first + f.fitLast)},
                         {"zAverageRadius", physics::ZAverageSize(f.gammaMean, f.gammaMeanErr, p)->radiusNm}});
    }
    // The bundled CONTIN on the same file, with the signal-weighted
    // regularizer that its own deck card asks for: g1 through beta, a radius
    // per peak.
    const fs::path work = dir.path / "work";
    const minijson::Value j = OnlyObject(dir, {"contin", "--json", "--regularizer", "signal", "--grid-min", "1e-4",
                                               "--grid-max", "1e3", "--workdir", work, file});
    EXPECT_EQ(j["regularizer"].text, "signal");
    // g2 - 1 data are weighted by default: the deck reads the weights with
    // the data; --weights none gives the deck of equal weights.
    EXPECT_EQ(j["weights"].text, "siegert");
    EXPECT_NE(ReadFile(work / "nazwa.in").find("\r\n SIGREG                  1.\r\n IWT                     4.\r\n"),
              std::string::npos);
    const minijson::Value plain = OnlyObject(dir, {"contin", "--json", "--weights", "none", "--grid-min", "1e-4",
                                                   "--grid-max", "1e3", "--workdir", work, file});
    EXPECT_EQ(plain["weights"].text, "none");
    EXPECT_NE(ReadFile(work / "nazwa.in").find("\r\n RUSER    19     1.006\r\n END\r\n"), std::string::npos);
    EXPECT_GT(j["beta"].Num(), 0.2);
    // The fit is in the data's terms (g2 - 1), as the window draws it: near
    // the data at every point, where g1 would lie near 1 at short lag times.
    const auto& chosen = j["solutions"][static_cast<std::size_t>(j["chosen"].Num())];
    ASSERT_EQ(chosen["fitY"].items.size(), loaded.PointCount());
    for (std::size_t k = 0; k < loaded.PointCount(); k += 10)
        EXPECT_NEAR(chosen["fitY"][k].Num(), loaded.Y()[k], 0.02) << k;
    for (const auto& peak : chosen["peaks"].items) {
        const auto size = physics::SizeFromDecayTime(peak["position"].Num(), peak["positionErr"].Num(), loaded.Sample());
        ExpectFields(peak, {{"hydrodynamicRadius", size->radiusNm}, {"hydrodynamicRadiusErr", size->radiusErrNm},
                            {"diffusionCoefficient", size->diffusion}});
    }
}

// Quality flags on every record; no size from a flat correlation; the text
// output's headline.
TEST(BatchQuality, FlagsWithheldSizesAndHeadline)
{
    TempDir dir;
    // A flat correlation of noise (g1): CONTIN still runs, but no peak has a size.
    std::string flat;
    for (int i = 0; i < 60; ++i) flat += std::to_string(1 + i) + "\t" + (i % 2 ? "0.001" : "-0.001") + "\r\n";
    const fs::path flatFile = dir.path / "flat.txt";
    WriteFileAtomic(flatFile, flat);
    const minijson::Value j = OnlyObject(dir, {"contin", "--json", "--decimal-point", ",", flatFile});
    std::set<std::string> codes;
    for (const auto& f : j["quality"].items) codes.insert(f["code"].text + ":" + f["severity"].text);
    EXPECT_EQ(codes, (std::set<std::string>{"no-decay:error", "size-not-given:error"}));
    // The sentences keep the point whatever the text output's separator.
    const std::string said = j["quality"].items.front()["message"].text;
    EXPECT_TRUE(std::regex_search(said, std::regex("^no decay above the noise: the correlation starts at -?\\d\\.\\d"))) << said;
    EXPECT_FALSE(std::regex_search(said, std::regex("\\d,\\d"))) << said;
    std::size_t peaks = 0;
    for (const auto& s : j["solutions"].items) {
        for (const auto& p : s["peaks"].items) {
            ++peaks;
            EXPECT_EQ(p["hydrodynamicRadius"].kind, minijson::Value::Kind::Null);
            EXPECT_EQ(p["harmonicMeanRadius"].kind, minijson::Value::Kind::Null);
            EXPECT_EQ(p["sizeNote"].text.rfind("no decay above the noise", 0), 0u) << p["sizeNote"].text;
        }
    }
    EXPECT_GT(peaks, 0u);

    // A sound measurement: an empty list; a real file: its headline and flags.
    EXPECT_TRUE(OnlyObject(dir, {"discrete", "--json", Data("bimodal.txt")})["quality"].items.empty());
    auto text = Batch(dir, {"cumulants", "--decimal-point", ",", Data("alv/LC8.2_0045.ASC")});
    EXPECT_EQ(text.Wait(), 0);
    EXPECT_EQ(text.Out(), Data("alv/LC8.2_0045.ASC") +
                              ": z-average 376 nm (d 753 nm) \xC2\xB7 PDI 0,25 \xC2\xB7 \xCE\xB2 0,29 "
                              "[high-pdi (note), systematic-residuals (note)]\n");
}

// A multi-detector file gives one record per detector, each at its own angle
// with the known size; values no measurement can have are refused by name;
// a size that cannot be given says why.
TEST(BatchSizes, DetectorsBoundsAndSizeNotes)
{
    TempDir dir;
    auto run = Batch(dir, {"cumulants", "--json", Data("alv/multiangle-8det.ASC"), Data("alv/LC8.2_0045.ASC")});
    EXPECT_EQ(run.Wait(), 0) << run.Err();
    const auto records = run.Objects();
    ASSERT_EQ(records.size(), 9u);
    for (std::size_t k = 0; k < 8; ++k) {
        const minijson::Value& j = records[k];
        EXPECT_EQ(j["detector"].Num(), static_cast<double>(k + 1));
        EXPECT_EQ(j["sample"]["angle"].Num(), 30.0 + 15.0 * static_cast<double>(k));
        EXPECT_EQ(j["instrument"]["meanCountRate"].items.size(), 1u);
        EXPECT_NEAR(j["zAverageRadius"].Num(), 44.50, 0.02 * 44.50) << "detector " << k + 1;
        EXPECT_EQ(j.fields.count("sizeNote"), 0u);
    }
    EXPECT_EQ(records[8].fields.count("detector"), 0u);  // a file of one measurement: as before
    EXPECT_EQ(records[8]["sample"]["angle"].Num(), 87.5);
    EXPECT_NE(run.Err().find("multiangle-8det.ASC [8]: Gamma"), std::string::npos) << run.Err();

    struct Case { const char *option, *value, *status, *message, *note; };
    const Case cases[] = {
        {"--temperature", "5", "error", "the temperature must lie from 200 to 500 K, not 5", nullptr},
        {"--angle", "180", "error", "the scattering angle must lie strictly between 0 and 180 degrees, not 180", nullptr},
        {"--angle", "1e-300", "ok", "", "the result lies beyond the range of numbers"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        auto one = Batch(dir, {"cumulants", "--json", c.option, c.value, Data("alv/LC8.2_0045.ASC")});
        const auto objects = one.Objects();
        ASSERT_EQ(objects.size(), 1u) << one.Err();
        EXPECT_EQ(objects[0]["status"].text, c.status);
        EXPECT_EQ(objects[0]["message"].text, c.message);
        if (!c.note) continue;
        EXPECT_EQ(objects[0]["zAverageRadius"].kind, minijson::Value::Kind::Null);
        EXPECT_EQ(objects[0]["sizeNote"].text, "no size can be given for the decay rate " +
                                                   physics::NumberArg(objects[0]["gammaMean"].Num()) + " 1/s: " + c.note);
    }
}

// Instrument exports: the format, what the instrument reported beside
// Fluvena's own fit, the range without the correlator's dead time, and the
// records of a Zetasizer export one by one.
TEST(BatchSizes, InstrumentExports)
{
    TempDir dir;
    const minijson::Value j = OnlyObject(dir, {"cumulants", "--json", Data("instruments/lsi-pseudo-cross.dat")});
    EXPECT_EQ(j["format"].text + " " + j["sample"]["timeUnit"].text + " " + j["leadingPointsReason"].text,
              "lsi s the correlator's dead time");
    ExpectFields(j, {{"first", 3}, {"last", 384}, {"leadingPointsLeftOut", 3}});
    ExpectFields(j["instrument"], {{"angle", 110}, {"wavelength", 642}, {"temperature", 298.1}, {"duration", 30}});
    for (const char* key : {"reportedZAverage", "reportedPdi", "reportedIntercept"})
        EXPECT_EQ(j["instrument"][key].kind, minijson::Value::Kind::Null) << key;
    EXPECT_EQ(j["instrument"]["reportedCumulants"].items.size(), 3u);
    EXPECT_NEAR(j["zAverageDiameter"].Num(), 196.0, 0.015 * 196.0);

    // A Zetasizer export: a record each, the instrument's answers beside
    // Fluvena's, a Nano ZS's angle and wavelength or the options' for the whole
    // file; at 90 degrees (a Nano S90) q^2, and so the diameter, scale with sin^2(theta / 2).
    double at173[3] = {};
    for (const char* angle : {"173", "90"}) {
        auto zs = Batch(dir, {"cumulants", "--json", "--angle", angle, Data("instruments/zetasizer-export.txt")});
        EXPECT_EQ(zs.Wait(), 0) << zs.Err();
        const auto records = zs.Objects();
        ASSERT_EQ(records.size(), 3u);
        for (std::size_t k = 0; k < 3; ++k) {
            const minijson::Value& r = records[k];
            EXPECT_EQ(r["format"].text + " " + r["instrument"]["sampleName"].text,
                      "zetasizer PS-100 synthetic " + std::to_string(k + 1));
            ExpectFields(r, {{"record", k + 1.0}});
            ExpectFields(r["instrument"], {{"assumedAngle", 173}, {"assumedWavelength", 632.8},
                                           {"reportedIntercept", k == 2 ? 0.94 : 0.93}});
            EXPECT_EQ(r["instrument"]["angle"].kind, minijson::Value::Kind::Null);
            ExpectFields(r["sample"], {{"angle", std::stod(angle)}, {"wavelength", 632.8}});
            if (std::string(angle) == "90") {
                const double ratio = std::pow(std::sin(M_PI / 4) / std::sin(173.0 * M_PI / 360), 2);
                EXPECT_NEAR(r["zAverageDiameter"].Num() / at173[k], ratio, 1e-9);
                continue;
            }
            at173[k] = r["zAverageDiameter"].Num();
            EXPECT_NEAR(r["zAverageDiameter"].Num(), r["instrument"]["reportedZAverage"].Num(), 0.015 * 100);
            EXPECT_NEAR(r["pdi"].Num(), r["instrument"]["reportedPdi"].Num(), 0.03);
        }
    }
    // A record without a correlogram is an error of its own; the others stand.
    const std::string text = FT::ReadFixture("instruments/zetasizer-export.txt");
    const fs::path summaryOnly = dir.path / "summary.txt";
    WriteFileAtomic(summaryOnly, text.substr(0, text.find("\r\n\r\n") + 2));
    auto refused = Batch(dir, {"cumulants", "--json", summaryOnly});
    EXPECT_EQ(refused.Wait(), 1);
    const auto three = refused.Objects();
    ASSERT_EQ(three.size(), 3u);
    EXPECT_EQ(three[1]["status"].text + ": " + three[1]["message"].text,
              "error: record 2 ('PS-100 synthetic 2') holds distributions only, no correlogram");
}
