// fluvena-batch: the analyses of the window, run over many data files from a
// command line or a script. Every rule (data loading, range, decks, the run,
// listing parsers, results-log lines) is the core's, the same the window uses.
#include "BatchOptions.h"
#include "Json.h"

#include "contin/ContinDeck.h"
#include "contin/ContinListing.h"
#include "discrete/DiscreteDeck.h"
#include "discrete/DiscreteListing.h"
#include "external/Runner.h"
#include "results/ResultsLog.h"
#include "base/Convert.h"
#include "io/Cp1250.h"
#include "io/DataLoader.h"
#include "base/Errors.h"
#include "io/FileIO.h"
#include "base/MemoText.h"
#include "core/Workspace.h"

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace fluvena::batch {
namespace {

constexpr const char* kBlad = "B\xC5\x81\xC4\x84" "D";  // "BŁĄD" in UTF-8

struct InputResult {
    std::string file;  // as given on the command line
    std::string status = "ok";
    std::string message;
    Workspace ws;
    std::string label10 = " ";  // DISCRETE status read-out, UTF-8

    bool Ok() const { return status == "ok"; }
    // The message on one line: the interpreter's own text may end lines.
    void Fail(std::string s, const std::string& m)
    {
        status = std::move(s);
        message.clear();
        for (char c : m) {
            if (c == '\n' || c == '\r') {
                if (!message.empty() && message.back() != ' ') message += ' ';
            } else {
                message += c;
            }
        }
        while (!message.empty() && message.back() == ' ') message.pop_back();
    }
};

// The decimal separator of the user's locale, as the window formats and reads
// numbers. The C locale is put back afterwards, so that nothing else in the
// program reads or writes numbers by the user's locale.
char LocaleDecimalSeparator()
{
    char sep = '.';
    if (std::setlocale(LC_ALL, "")) {
        const std::lconv* lc = std::localeconv();
        if (lc && lc->decimal_point && lc->decimal_point[0] && !lc->decimal_point[1]) sep = lc->decimal_point[0];
    }
    std::setlocale(LC_ALL, "C");
    return sep;
}

fs::path HelperDir()
{
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path() : HelperDirFor(self.parent_path());
}

// Loads the data file and takes the range, as opening the file and moving the
// scroll bars does. False (with the status set) when there are no points.
bool LoadData(InputResult& r, const std::string& path, const Options& o)
{
    std::string bytes;
    try {
        bytes = ReadFile(path);
    } catch (const Error& e) {
        r.Fail("error", std::string("cannot read the data file (") + e.what() + ")");
        return false;
    }
    LoadedData data = ParseDataFile(bytes);
    if (data.status == LoadedData::Status::Empty) {
        r.Fail("error", "the data file is empty");
        return false;
    }
    if (data.status == LoadedData::Status::BadLine) {
        r.Fail("error", "line " + std::to_string(data.badLine) +
                            " of the data file cannot be read (a blank line, or no tab between the columns)");
        return false;
    }
    Workspace& ws = r.ws;
    ws.PointCount = static_cast<std::int32_t>(data.x.size());
    ws.DataX = std::move(data.x);
    ws.DataY = std::move(data.y);
    ws.SetRange(o.first.value_or(0), o.last.value_or(ws.PointCount - 1));
    return true;
}

std::string ListingText(const std::string& bytes) { return NormalizedText(bytes); }

void AnalyseContin(InputResult& r, const std::string& listing)
{
    Workspace& ws = r.ws;
    ContinParse parse = ParseContinListing(ListingText(listing), ws.RangeCount, ws.ContinGridPoints, ws.ChosenSolution);
    const auto status = parse.status;
    ApplyContinParse(ws, std::move(parse));
    if (status == ContinParse::Status::Rejected)
        r.Fail("rejected", "CONTIN rejected the parameters (CHECK USERS GUIDE in the listing)");
    else if (status == ContinParse::Status::Truncated)
        r.Fail("error", "the listing ends early: " + std::to_string(ws.SolutionCount) + " solutions read before the break");
    else if (ws.SolutionCount <= 0)
        r.Fail("error", "the listing holds no solution");
}

void AnalyseDiscrete(InputResult& r, const std::string& listing)
{
    Workspace& ws = r.ws;
    DiscreteParse parse = ParseDiscreteListing(ListingText(listing), ws);
    const auto status = parse.status;
    const bool uncertain = parse.uncertain;
    if (status == DiscreteParse::Status::NoTable) {
        r.label10 = kBlad;
        r.Fail("rejected", "the listing holds no component table (no ALPHA +- STD ERR)");
        return;
    }
    ApplyDiscreteParse(ws, std::move(parse));
    r.label10 = uncertain ? "Uwaga" : " ";
    if (status == DiscreteParse::Status::Truncated) {
        r.label10 = kBlad;
        r.Fail("error", "the listing ends early: " + std::to_string(ws.SolutionCount) + " solutions read before the break");
    } else if (ws.SolutionCount <= 0) {
        r.label10 = kBlad;
        r.Fail("error", "the listing holds no solution");
    }
}

// One input of "contin" or "discrete": data, deck, run, parse.
InputResult RunAnalysis(const Options& o, const std::string& file, const fs::path& workDir, const fs::path& helperDir)
{
    InputResult r;
    r.file = file;
    if (!LoadData(r, file, o)) return r;
    const bool contin = o.command == Command::Contin;
    try {
        const std::vector<std::string> deck =
            contin ? BuildContinDeck(r.ws, o.gridMin, o.gridMax, o.gridPoints, '.')
                   : BuildDiscreteDeck(r.ws, o.switches, o.maxComponents, o.weight, o.maxTries);
        if (contin ? deck.size() <= 31 : deck.size() < 7) {
            r.Fail("refused", std::string("too few points in the range (") + std::to_string(r.ws.RangeCount) +
                                  "; " + (contin ? "CONTIN needs at least 3" : "DISCRETE needs at least 2") + ")");
            return r;
        }
        const std::string listing =
            RunEngineBlocking(contin ? Engine::Contin : Engine::Discrete, deck, RunFiles{workDir}, helperDir);
        if (contin) AnalyseContin(r, listing);
        else AnalyseDiscrete(r, listing);
    } catch (const Error& e) {
        r.Fail("error", e.what());
    }
    return r;
}

// "parse-contin" / "parse-discrete": an existing listing read as the window
// would read it for that range.
InputResult ParseOnly(const Options& o)
{
    InputResult r;
    r.file = o.inputs[0];
    std::string listing;
    try {
        listing = ReadFile(o.inputs[0]);
    } catch (const Error& e) {
        r.Fail("error", std::string("cannot read the listing (") + e.what() + ")");
        return r;
    }
    if (o.command == Command::ParseContin) {
        r.ws.RangeCount = o.points;
        r.ws.PointCount = o.points;  // reported only; no data are held
        r.ws.FirstPoint = 0;
        r.ws.LastPoint = o.points - 1;
        r.ws.ContinGridPoints = StrToInt(o.gridPoints);
        AnalyseContin(r, listing);
    } else {
        InputResult data;
        if (!LoadData(data, o.inputs[1], o)) {
            r.Fail(data.status, data.message);
            return r;
        }
        r.ws = std::move(data.ws);
        r.ws.MaxComponents = StrToInt(o.maxComponents);
        AnalyseDiscrete(r, listing);
    }
    return r;
}


// The results log of the series: the memo's lines, as read from the file and
// appended by the clicks, written back whole after every click.
struct SeriesLog {
    fs::path path;
    std::vector<std::string> lines;
    bool unsaved = false;

    void Save()
    {
        WriteFileAtomic(path, FileText(lines));
        unsaved = false;
    }
};

// The "Zapamiętaj" click for the solution asked for. A click that adds no
// line makes the input fail: the series would miss that measurement.
void LogResult(InputResult& r, const Options& o, SeriesLog& log, const std::string& value, char sep)
{
    Workspace& ws = r.ws;
    const bool contin = o.command == Command::Contin || o.command == Command::ParseContin;
    ws.CurrentSolution = o.solution ? *o.solution : (contin ? ws.ChosenSolution : 0);
    LogInput in;
    in.paramName = Utf8ToCp1250(o.param);
    in.value = value;
    in.inverse = o.inverse;
    in.rates = o.rates;
    in.decimalSeparator = sep;
    const LogClick click = contin ? ContinLogClick(ws, log.lines.empty(), in) : DiscreteLogClick(ws, log.lines.empty(), in);
    if (click.header) {
        log.lines.push_back(*click.header);
        log.unsaved = true;
    }
    if (click.error) {
        r.Fail("error", "no log line: " + *click.error);
        return;
    }
    if (click.line) {
        log.lines.push_back(*click.line);
        log.unsaved = true;
    } else {
        r.Fail("error", "no log line: solution " + std::to_string(ws.CurrentSolution) + " does not exist");
    }
    try {
        log.Save();
    } catch (const Error& e) {
        r.Fail("error", std::string("the log cannot be written (") + e.what() + ")");
    }
}

void WriteContinJson(JsonWriter& j, const Workspace& ws)
{
    j.Key("gridPoints").Integer(ws.ContinGridPoints);
    j.Key("solutionCount").Integer(ws.SolutionCount);
    j.Key("chosen").Integer(ws.ChosenSolution);
    j.Key("solutions").BeginArray();
    const std::size_t n = std::min(static_cast<std::size_t>(std::max(ws.SolutionCount, 0)), ws.ContinSolutions.size());
    for (std::size_t i = 0; i < n; ++i) {
        const ContinSolution& s = ws.ContinSolutions[i];
        j.BeginObject();
        j.Key("index").Integer(static_cast<std::int64_t>(i));
        j.Key("prob1ToReject").Number(s.prob1ToReject);
        j.Key("peakCount").Integer(s.peakCount);
        j.Key("peaks").BeginArray();
        const std::size_t peaks = std::min({static_cast<std::size_t>(std::max(s.peakCount, 0)), s.peakIntensity.size(),
                                            s.peakIntensityErr.size(), s.peakPosition.size(),
                                            s.peakPositionErr.size(), s.peakWidth.size()});
        for (std::size_t k = 0; k < peaks; ++k) {
            j.BeginObject();
            j.Key("intensity").Number(s.peakIntensity[k]);
            j.Key("intensityErr").Number(s.peakIntensityErr[k]);
            j.Key("position").Number(s.peakPosition[k]);
            j.Key("positionErr").Number(s.peakPositionErr[k]);
            j.Key("width").Number(s.peakWidth[k]);
            j.EndObject();
        }
        j.EndArray();
        j.Key("distX").Numbers(s.distX);
        j.Key("distY").Numbers(s.distY);
        j.Key("distErr").Numbers(s.distErr);
        j.Key("fitX").Numbers(s.fitX);
        j.Key("fitY").Numbers(s.fitY);
        j.EndObject();
    }
    j.EndArray();
}

void WriteDiscreteJson(JsonWriter& j, const InputResult& r)
{
    const Workspace& ws = r.ws;
    j.Key("label10").String(r.label10);
    j.Key("solutionCount").Integer(ws.SolutionCount);
    j.Key("solutions").BeginArray();
    const std::size_t n =
        std::min(static_cast<std::size_t>(std::max(ws.SolutionCount, 0)), ws.DiscreteSolutions.size());
    for (std::size_t i = 0; i < n; ++i) {
        const RozwiazanieDisc& s = ws.DiscreteSolutions[i];
        j.BeginObject();
        j.Key("index").Integer(static_cast<std::int64_t>(i));
        j.Key("componentCount").Integer(s.componentCount);
        j.Key("baseline").Number(s.baseline);
        j.Key("punc").Number(s.punc);
        j.Key("components").BeginArray();
        const std::size_t comps = std::min({static_cast<std::size_t>(std::max(s.componentCount, 0)),
                                            s.amplitude.size(), s.amplitudeErr.size(), s.rate.size(), s.rateErr.size()});
        for (std::size_t k = 0; k < comps; ++k) {
            j.BeginObject();
            j.Key("amplitude").Number(s.amplitude[k]);
            j.Key("amplitudeErr").Number(s.amplitudeErr[k]);
            j.Key("rate").Number(s.rate[k]);
            j.Key("rateErr").Number(s.rateErr[k]);
            j.EndObject();
        }
        j.EndArray();
        j.Key("fitX").Numbers(s.fitX);
        j.Key("fitY").Numbers(s.fitY);
        j.Key("residual").Numbers(s.residual);
        j.EndObject();
    }
    j.EndArray();
}

std::string Json(const InputResult& r, const Options& o)
{
    const bool contin = o.command == Command::Contin || o.command == Command::ParseContin;
    JsonWriter j;
    j.BeginObject();
    j.Key("file").String(r.file);
    j.Key("analysis").String(contin ? "contin" : "discrete");
    j.Key("status").String(r.status);
    j.Key("message").String(r.message);
    j.Key("pointCount").Integer(r.ws.PointCount);
    j.Key("first").Integer(r.ws.FirstPoint);
    j.Key("last").Integer(r.ws.LastPoint);
    if (contin) WriteContinJson(j, r.ws);
    else WriteDiscreteJson(j, r);
    j.EndObject();
    return j.Text();
}

std::string Summary(const InputResult& r, const Options& o)
{
    if (!r.Ok() && r.ws.SolutionCount <= 0) return r.status + ": " + r.message;
    std::string s = std::to_string(r.ws.SolutionCount) + " solutions";
    if (o.command == Command::Contin || o.command == Command::ParseContin)
        s += ", chosen " + std::to_string(r.ws.ChosenSolution);
    if (!r.Ok()) s += "; " + r.status + ": " + r.message;
    return s;
}

// A private working directory for the runs, removed when the batch ends.
class WorkDir {
public:
    explicit WorkDir(const std::optional<std::string>& given)
    {
        if (given) {
            path_ = *given;
            std::error_code ec;
            fs::create_directories(path_, ec);
            if (!fs::is_directory(path_)) throw Error("the working directory " + *given + " cannot be created");
            return;
        }
        std::error_code ec;
        fs::path tmp = fs::temp_directory_path(ec);
        if (ec) tmp = "/tmp";
        std::string tmpl = (tmp / "fluvena-batch-XXXXXX").string();
        if (!::mkdtemp(tmpl.data())) throw Error("no temporary directory can be made in " + tmp.string());
        path_ = tmpl;
        owned_ = true;
    }
    ~WorkDir()
    {
        if (owned_) {
            std::error_code ec;
            fs::remove_all(path_, ec);
        }
    }
    WorkDir(const WorkDir&) = delete;
    WorkDir& operator=(const WorkDir&) = delete;
    const fs::path& Path() const { return path_; }

private:
    fs::path path_;
    bool owned_ = false;
};

int Main(const std::vector<std::string>& args)
{
    Options o;
    try {
        o = ParseOptions(args);
    } catch (const UsageError& e) {
        std::cerr << "fluvena-batch: " << e.what() << "\n" << kUsage;
        return 2;
    }
    const char sep = o.decimalPoint ? *o.decimalPoint : LocaleDecimalSeparator();

    SeriesLog log;
    if (o.logFile) {
        log.path = *o.logFile;
        std::error_code ec;
        if (fs::exists(log.path, ec)) {
            try {
                log.lines = SplitLines(ReadFile(log.path));
            } catch (const Error& e) {
                std::cerr << "fluvena-batch: the log cannot be read (" << e.what() << ")\n";
                return 1;
            }
        }
    }

    const bool analyses = o.command == Command::Contin || o.command == Command::Discrete;
    std::optional<WorkDir> workDir;
    fs::path helperDir;
    if (analyses) {
        try {
            workDir.emplace(o.workdir);
        } catch (const Error& e) {
            std::cerr << "fluvena-batch: " << e.what() << "\n";
            return 1;
        }
        helperDir = HelperDir();
    }

    const std::size_t total = analyses ? o.inputs.size() : 1;
    bool allOk = true;
    for (std::size_t i = 0; i < total; ++i) {
        InputResult r = analyses ? RunAnalysis(o, o.inputs[i], workDir->Path(), helperDir) : ParseOnly(o);
        if (o.logFile && r.Ok()) LogResult(r, o, log, o.values[i], sep);
        allOk = allOk && r.Ok();
        if (o.json || !analyses) std::cout << Json(r, o) << "\n" << std::flush;
        else std::cout << r.file << ": " << Summary(r, o) << "\n" << std::flush;
        if (total > 1 && !o.quiet)
            std::cerr << "[" << i + 1 << "/" << total << "] " << fs::path(r.file).filename().string() << ": "
                      << Summary(r, o) << "\n";
    }
    // Lines kept after a failed write (or a header without a line) go out now.
    if (o.logFile && log.unsaved) {
        try {
            log.Save();
        } catch (const Error& e) {
            std::cerr << "fluvena-batch: the log cannot be written (" << e.what() << ")\n";
            allOk = false;
        }
    }
    return allOk ? 0 : 1;
}

}  // namespace
}  // namespace fluvena::batch

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    try {
        return fluvena::batch::Main(args);
    } catch (const std::exception& e) {
        std::cerr << "fluvena-batch: " << e.what() << "\n";
        return 1;
    }
}
