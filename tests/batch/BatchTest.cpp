// Drives the built fluvena-batch and compares what it prints and writes with
// what the core gives for the same input in this process.
#include "MiniJson.h"

#include "../TestData.h"
#include "base/MemoText.h"
#include "core/Measurement.h"
#include "io/FileIO.h"
#include "physics/Sizes.h"
#include "results/ResultsLog.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

using namespace fluvena;
namespace FT = fluvena::testing;
namespace fs = std::filesystem;

namespace {

const std::string kData = FLUVENA_TEST_DATA;
std::string Data(const std::string& name) { return kData + "/" + name; }

std::string Quote(const std::string& s)
{
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

struct BatchRun {
    int exitCode = -1;
    std::string out;
    std::vector<minijson::Value> objects() const
    {
        std::vector<minijson::Value> v;
        std::istringstream in(out);
        for (std::string line; std::getline(in, line);) v.push_back(minijson::Parse(line));
        return v;
    }
};

// Runs fluvena-batch with the arguments (already quoted where needed);
// stderr goes to errFile when given.
BatchRun Batch(const std::string& args, const std::string& envPrefix = "", const std::string& errFile = "/dev/null")
{
    const std::string cmd = envPrefix + Quote(FLUVENA_BATCH_EXE) + " " + args + " 2>" + Quote(errFile);
    BatchRun r;
    FILE* p = ::popen(cmd.c_str(), "r");
    if (!p) return r;
    char buf[4096];
    for (std::size_t got; (got = std::fread(buf, 1, sizeof buf, p)) > 0;) r.out.append(buf, got);
    const int status = ::pclose(p);
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

class TempDir {
public:
    TempDir()
    {
        std::string tmpl = (fs::temp_directory_path() / "fluvena-batch-test-XXXXXX").string();
        if (::mkdtemp(tmpl.data())) path = tmpl;
    }
    ~TempDir() { fs::remove_all(path); }
    fs::path path;
};

// A stand-in for an analysis program: the k-th run prints the k-th listing
// (the last one again after that). Put first on PATH, it wins over the bundled
// engines.
std::string FakeEngine(const fs::path& dir, const std::string& program, const std::vector<std::string>& listings)
{
    std::string script = "#!/bin/sh\ncat >/dev/null\nn=$(cat " + Quote((dir / "count").string()) +
                         " 2>/dev/null || echo 0)\nn=$((n+1))\necho $n > " + Quote((dir / "count").string()) +
                         "\ncase $n in\n";
    for (std::size_t k = 0; k < listings.size(); ++k)
        script += (k + 1 == listings.size() ? std::string("*") : std::to_string(k + 1)) + ") cat " +
                  Quote(listings[k]) + " ;;\n";
    script += "esac\n";
    const fs::path file = dir / program;
    std::ofstream(file) << script;
    fs::permissions(file, fs::perms::owner_all);
    return "PATH=" + Quote(dir.string()) + ":\"$PATH\" ";
}

void ExpectSameNumbers(const minijson::Value& json, const std::vector<double>& core, const char* what)
{
    ASSERT_EQ(json.items.size(), core.size()) << what;
    for (std::size_t k = 0; k < core.size(); ++k) {
        if (std::isfinite(core[k])) {
            EXPECT_EQ(json[k].Num(), core[k]) << what << "[" << k << "]";
        } else {
            EXPECT_EQ(json[k].kind, minijson::Value::Kind::Null) << what << "[" << k << "]";
        }
    }
}

// The core's result for a data file and a recorded listing.
Measurement Analysed(const std::string& data, const std::string& listing, bool contin)
{
    Measurement m;
    m.Load(FT::LoadFixture(data));
    FT::RecordedRunner runner(ReadFile(Data(listing)));
    if (contin) m.RunContin(ContinRequest{}, runner);
    else m.RunDiscrete(DiscreteRequest{}, runner);
    return m;
}

}  // namespace

TEST(BatchParse, ContinJsonHoldsTheCoreResult)
{
    struct Case { const char* listing; const char* data; int points; int chosen; };
    for (const Case c : {Case{"bimodal.contin.out", "bimodal.txt", 100, 7}, Case{"lognormal.contin.out", "lognormal.txt", 80, 9}}) {
        SCOPED_TRACE(c.listing);
        const BatchRun run = Batch("parse-contin " + Quote(Data(c.listing)) + " --points " + std::to_string(c.points) +
                                   " --grid-points 100");
        ASSERT_EQ(run.exitCode, 0);
        const auto objs = run.objects();
        ASSERT_EQ(objs.size(), 1u);
        const auto& j = objs[0];
        const Measurement m = Analysed(c.data, c.listing, true);
        const ContinResult& r = *m.Contin();
        EXPECT_EQ(j["status"].text, "ok");
        EXPECT_EQ(j["analysis"].text, "contin");
        EXPECT_EQ(j["file"].text, Data(c.listing));
        EXPECT_EQ(j["gridPoints"].Num(), 100);
        EXPECT_EQ(j["chosen"].Num(), c.chosen);
        ASSERT_EQ(j["solutions"].items.size(), r.solutions.size());
        for (std::size_t i = 0; i < r.solutions.size(); ++i) {
            const auto& js = j["solutions"][i];
            const ContinSolution& s = r.solutions[i];
            EXPECT_EQ(js["index"].Num(), static_cast<double>(i));
            EXPECT_EQ(js["prob1ToReject"].Num(), s.prob1ToReject);
            ASSERT_EQ(js["peaks"].items.size(), s.peaks.size());
            for (std::size_t k = 0; k < s.peaks.size(); ++k) {
                EXPECT_EQ(js["peaks"][k]["intensity"].Num(), s.peaks[k].intensity);
                EXPECT_EQ(js["peaks"][k]["intensityErr"].Num(), s.peaks[k].intensityErr);
                EXPECT_EQ(js["peaks"][k]["position"].Num(), s.peaks[k].position);
                EXPECT_EQ(js["peaks"][k]["positionErr"].Num(), s.peaks[k].positionErr);
                EXPECT_EQ(js["peaks"][k]["width"].Num(), s.peaks[k].width);
            }
            ExpectSameNumbers(js["distY"], s.distY, "distY");
            ExpectSameNumbers(js["distErr"], s.distErr, "distErr");
            ExpectSameNumbers(js["fitY"], s.fitY, "fitY");
        }
    }
}

TEST(BatchParse, DiscreteJsonHoldsTheCoreResult)
{
    struct Case { const char* listing; const char* data; const char* note; };
    for (const Case c : {Case{"bimodal.discrete.out", "bimodal.txt", " "},
                         Case{"lognormal.discrete.out", "lognormal.txt", "Uwaga"}}) {
        SCOPED_TRACE(c.listing);
        const BatchRun run = Batch("parse-discrete " + Quote(Data(c.listing)) + " " + Quote(Data(c.data)));
        ASSERT_EQ(run.exitCode, 0);
        const auto objs = run.objects();
        ASSERT_EQ(objs.size(), 1u);
        const auto& j = objs[0];
        const Measurement m = Analysed(c.data, c.listing, false);
        const DiscreteResult& r = *m.Discrete();
        EXPECT_EQ(j["status"].text, "ok");
        EXPECT_EQ(j["analysis"].text, "discrete");
        EXPECT_EQ(j["note"].text, c.note);
        EXPECT_EQ(j["pointCount"].Num(), static_cast<double>(m.PointCount()));
        EXPECT_EQ(j["first"].Num(), 0);
        EXPECT_EQ(j["last"].Num(), static_cast<double>(m.PointCount() - 1));
        ASSERT_EQ(j["solutions"].items.size(), r.solutions.size());
        for (std::size_t i = 0; i < r.solutions.size(); ++i) {
            const auto& js = j["solutions"][i];
            const DiscreteSolution& s = r.solutions[i];
            EXPECT_EQ(js["baseline"].Num(), s.baseline);
            EXPECT_EQ(js["punc"].Num(), s.punc);
            ASSERT_EQ(js["components"].items.size(), s.components.size());
            for (std::size_t k = 0; k < s.components.size(); ++k) {
                EXPECT_EQ(js["components"][k]["amplitude"].Num(), s.components[k].amplitude);
                EXPECT_EQ(js["components"][k]["amplitudeErr"].Num(), s.components[k].amplitudeErr);
                EXPECT_EQ(js["components"][k]["rate"].Num(), s.components[k].rate);
                EXPECT_EQ(js["components"][k]["rateErr"].Num(), s.components[k].rateErr);
            }
            ExpectSameNumbers(js["fitY"], s.fitY, "fitY");
            ExpectSameNumbers(js["residual"], s.residual, "residual");
        }
    }
}

// Three measurements through a stand-in CONTIN: the log file holds exactly
// the lines of three "Zapamiętaj" clicks on the same results.
TEST(BatchSeries, LogEqualsThreeClicks)
{
    TempDir dir;
    const std::vector<std::string> data = {Data("bimodal.txt"), Data("lognormal.txt"), Data("bimodal.txt")};
    const std::vector<std::string> listings = {Data("bimodal.contin.out"), Data("lognormal.contin.out"),
                                               Data("bimodal.contin.out")};
    const std::vector<std::string> values = {"20,5", "25", "30,25"};
    struct Case { const char* name; bool inverse; std::string before; };
    for (const Case& c : {Case{"new log", false, ""}, Case{"1000/T, log with a line", true, "my own line\r\n"}}) {
        SCOPED_TRACE(c.name);
        fs::remove(dir.path / "count");
        const std::string env = FakeEngine(dir.path, "contin.exe", listings);
        const fs::path log = dir.path / "series.txt";
        fs::remove(log);
        if (!c.before.empty()) std::ofstream(log, std::ios::binary) << c.before;
        std::string args = "contin --quiet --log " + Quote(log.string()) + " --decimal-point , --param Temp";
        if (c.inverse) args += " --inverse";
        for (const auto& v : values) args += " --value " + Quote(v);
        for (const auto& d : data) args += " " + Quote(d);
        const BatchRun run = Batch(args, env);
        ASSERT_EQ(run.exitCode, 0);

        std::vector<std::string> memo = SplitLines(c.before);
        for (std::size_t i = 0; i < data.size(); ++i) {
            Measurement m;
            m.Load(FT::LoadFixture(fs::path(data[i]).filename().string()));
            FT::RecordedRunner runner(ReadFile(listings[i]));
            ASSERT_EQ(m.RunContin(ContinRequest{}, runner).status, RunStatus::Ok);
            const LogInput in{"Temp", values[i], c.inverse, false, ','};
            const LogClick click = ContinLogClick(m.ShowContin(static_cast<std::int64_t>(m.Contin()->chosen)), memo.empty(), in);
            if (click.header) memo.push_back(*click.header);
            ASSERT_TRUE(click.line);
            memo.push_back(*click.line);
        }
        EXPECT_EQ(ReadFile(log), FileText(memo));
    }
}

TEST(BatchFailures, StatusAndExitCode)
{
    TempDir dir;
    const fs::path empty = dir.path / "empty.txt";
    std::ofstream(empty).close();
    const fs::path fakes = dir.path / "fakes";
    fs::create_directory(fakes);
    std::string env = FakeEngine(fakes, "contin.exe", {Data("badng.contin.out")});
    FakeEngine(fakes, "discrete.exe", {Data("bimodal.discrete.out")});
    const fs::path cut = dir.path / "cut.out";
    {
        const std::string listing = ReadFile(Data("bimodal.contin.out"));
        std::ofstream(cut, std::ios::binary) << listing.substr(0, listing.size() * 3 / 4);
    }
    // A copy beside which the listing of a rejected deck can be kept.
    const fs::path copy = dir.path / "bimodal.txt";
    fs::copy_file(Data("bimodal.txt"), copy);
    const std::string bimodal = Quote(copy.string());

    struct Case {
        const char* name;
        std::string args;
        int exitCode;
        std::vector<std::string> statuses;
    };
    const Case cases[] = {
        {"missing file", "contin --json " + Quote((dir.path / "none.txt").string()), 1, {"error"}},
        {"empty file", "discrete --json " + Quote(empty.string()), 1, {"error"}},
        {"two points for CONTIN", "contin --json --first 5 --last 6 " + bimodal, 1, {"refused"}},
        {"crossed range", "contin --json --first 6 --last 5 " + bimodal, 1, {"refused"}},
        {"one point for DISCRETE", "discrete --json --first 3 --last 3 " + bimodal, 1, {"refused"}},
        {"CONTIN rejects the deck", "contin --json " + bimodal, 1, {"rejected"}},
        {"one good and one missing", "discrete --json --quiet " + bimodal + " " + Quote((dir.path / "x").string()), 1,
         {"ok", "error"}},
        {"DISCRETE through the stand-in", "discrete --json " + bimodal, 0, {"ok"}},
        {"truncated listing", "parse-contin " + Quote(cut.string()) + " --points 100 --grid-points 100", 1, {"error"}},
        {"listing without a component table", "parse-discrete " + Quote(Data("bimodal.contin.out")) + " " + bimodal, 1,
         {"error"}},
        {"range beyond the file", "contin --json --last 100 " + bimodal, 1, {"error"}},
        {"unknown option", "contin --colour red " + bimodal, 2, {}},
        {"option of the other analysis", "contin --weight 2 " + bimodal, 2, {}},
        {"no data file", "discrete --json", 2, {}},
        {"log without values", "contin --log x.txt " + bimodal, 2, {}},
        {"bad number", "contin --grid-min 0,1 " + bimodal, 2, {}},
        {"bad switches", "discrete --switches TFT " + bimodal, 2, {}},
        {"unknown regularizer", "contin --regularizer smooth " + bimodal, 2, {}},
        {"parse-contin without --points", "parse-contin " + Quote(cut.string()) + " --grid-points 100", 2, {}},
        {"unknown command", "analyse " + bimodal, 2, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(dir.path / "bimodal.contin.out");
        const std::string errFile = (dir.path / "stderr.txt").string();
        const BatchRun run = Batch(c.args, env, errFile);
        EXPECT_EQ(run.exitCode, c.exitCode);
        const auto objs = run.objects();
        ASSERT_EQ(objs.size(), c.statuses.size());
        for (std::size_t k = 0; k < objs.size(); ++k) {
            EXPECT_EQ(objs[k]["status"].text, c.statuses[k]);
            EXPECT_EQ(objs[k]["message"].text.empty(), c.statuses[k] == "ok");
        }
        if (c.exitCode == 2) {
            EXPECT_NE(ReadFile(errFile).find("usage:"), std::string::npos);
        }
        fs::remove(fakes / "count");
    }
    // The rejected deck's listing was kept beside the data, and said so.
    const BatchRun rejected = Batch("contin --json " + bimodal, env);
    EXPECT_NE(rejected.objects().at(0)["message"].text.find("ERROR INPUT  2.  (CHECK USERS GUIDE.)"), std::string::npos);
    EXPECT_EQ(ReadFile(dir.path / "bimodal.contin.out"), ReadFile(Data("badng.contin.out")));
    // The usage on request, whatever the command.
    for (const char* args : {"--help", "-h", "contin --help", "discrete -h"}) {
        const BatchRun help = Batch(args);
        EXPECT_EQ(help.exitCode, 0) << args;
        EXPECT_EQ(help.out.rfind("usage:", 0), 0u) << args;
    }
}

// A correlator file: what its header says, the sample as the options change
// it, the cumulant fit and the sizes, as the core computes them.
TEST(BatchSizes, CorrelatorFileSampleAndCumulants)
{
    const std::string file = Quote(Data("alv/LC8.2_0045.ASC"));
    struct Case { std::string options; double temperature, viscosity, index; const char* kind; };
    const Case cases[] = {
        {"", 297.94326, 0.89, 1.332, "g2-1"},
        {"--temperature 300 --solvent water", 300, *physics::WaterViscosityCp(300), 1.332, "g2-1"},
        {"--solvent toluene --viscosity 0.6", 297.94326, 0.6, 1.496, "g2-1"},
        {"--data-kind g2 --baseline tail --refractive-index 1.33", 297.94326, 0.89, 1.33, "g2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options);
        const BatchRun run = Batch("cumulants --json " + c.options + " " + file);
        ASSERT_EQ(run.exitCode, 0);
        const auto j = run.objects().at(0);
        EXPECT_EQ(j["format"].text, "alv");
        EXPECT_EQ(j["headerLines"].Num(), 28);
        EXPECT_EQ(j["instrument"]["angle"].Num(), 87.5);
        EXPECT_EQ(j["instrument"]["temperature"].Num(), 297.94326);
        EXPECT_EQ(j["instrument"]["meanCountRate"].items.size(), 2u);
        EXPECT_EQ(j["sample"]["dataKind"].text, c.kind);
        EXPECT_EQ(j["sample"]["timeUnit"].text, "ms");
        EXPECT_DOUBLE_EQ(j["sample"]["temperature"].Num(), c.temperature);
        EXPECT_DOUBLE_EQ(j["sample"]["viscosity"].Num(), c.viscosity);
        EXPECT_DOUBLE_EQ(j["sample"]["refractiveIndex"].Num(), c.index);

        Measurement m;
        m.Load(FT::LoadFixture("alv/LC8.2_0045.ASC"));
        SampleParameters p = m.Sample();
        p.temperatureK = c.temperature, p.viscosityCp = c.viscosity, p.refractiveIndex = c.index;
        p.dataKind = std::string(c.kind) == "g2" ? DataKind::G2 : DataKind::G2Minus1;
        p.baselineMode = std::string(c.kind) == "g2" ? BaselineMode::Tail : BaselineMode::Fixed;
        m.SetSample(p);
        ASSERT_EQ(m.RunCumulants(CumulantRequest{}).status, RunStatus::Ok);
        const cumulants::Result& f = m.Cumulants()->fit;
        EXPECT_EQ(j["analysis"].text, "cumulants");
        EXPECT_EQ(j["gammaMean"].Num(), f.gammaMean);
        EXPECT_EQ(j["pdi"].Num(), f.pdi);
        EXPECT_EQ(j["beta"].Num(), f.beta);
        EXPECT_EQ(j["zAverageRadius"].Num(), physics::ZAverageSize(f.gammaMean, f.gammaMeanErr, p)->radiusNm);
        EXPECT_EQ(j["fitLast"].Num(), static_cast<double>(f.fitLast));
        EXPECT_EQ(j["method"].text, "iso22412");
    }
    // The bundled CONTIN on the same file, with the signal-weighted
    // regularizer that its own deck card asks for: g1 through beta, a radius
    // per peak.
    TempDir work;
    const BatchRun run = Batch("contin --json --regularizer signal --grid-min 1e-4 --grid-max 1e3 --workdir " +
                               Quote(work.path.string()) + " " + file);
    ASSERT_EQ(run.exitCode, 0);
    const auto j = run.objects().at(0);
    EXPECT_EQ(j["regularizer"].text, "signal");
    EXPECT_NE(ReadFile((work.path / "nazwa.in").string()).find("\r\n SIGREG                  1.\r\n END\r\n"),
              std::string::npos);
    EXPECT_GT(j["beta"].Num(), 0.2);
    Measurement m;
    m.Load(FT::LoadFixture("alv/LC8.2_0045.ASC"));
    for (const auto& peak : j["solutions"][static_cast<std::size_t>(j["chosen"].Num())]["peaks"].items) {
        const auto size = physics::SizeFromDecayTime(peak["position"].Num(), peak["positionErr"].Num(), m.Sample());
        EXPECT_EQ(peak["hydrodynamicRadius"].Num(), size->radiusNm);
        EXPECT_EQ(peak["hydrodynamicRadiusErr"].Num(), size->radiusErrNm);
        EXPECT_EQ(peak["diffusionCoefficient"].Num(), size->diffusion);
    }
    // The flat toluene correlation has no decay to fit.
    const BatchRun toluene = Batch("cumulants --json " + Quote(Data("alv/toluene-0001.ASC")));
    EXPECT_EQ(toluene.exitCode, 1);
    EXPECT_EQ(toluene.objects().at(0)["status"].text, "error");
}
