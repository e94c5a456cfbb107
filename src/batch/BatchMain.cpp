// fluvena-batch: the analyses of the window, run over many data files from a
// command line or a script. It drives the same analysis core as the window:
// data loading, the range, the decks, the run, the listings and the lines of
// the results log are the core's.
#include "BatchOptions.h"
#include "Json.h"

#include "base/Errors.h"
#include "base/MemoText.h"
#include "core/Components.h"
#include "core/Headline.h"
#include "core/Measurement.h"
#include "core/Quality.h"
#include "external/Runner.h"
#include "io/Cp1250.h"
#include "io/DataReader.h"
#include "io/FileIO.h"
#include "io/FileLock.h"
#include "physics/SampleBounds.h"
#include "physics/Siegert.h"
#include "physics/Sizes.h"
#include "results/LogFile.h"
#include "results/ResultsLog.h"
#include "results/ResultsSeries.h"

#include <algorithm>
#include <clocale>
#include <csignal>
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

enum class Status { Ok, Refused, Rejected, Error };

// The signal (SIGINT, SIGTERM) that asked the batch to stop, 0 while none did.
volatile std::sig_atomic_t g_stopSignal = 0;

void OnStopSignal(int signal) { g_stopSignal = signal; }

// SIGINT and SIGTERM no longer end the batch on the spot: the run in progress
// passes the signal on to the engine's process group, the private directory
// is removed, and the batch exits with 128 + the signal's number.
void CatchStopSignals()
{
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

const char* StatusName(Status s)
{
    switch (s) {
    case Status::Ok: return "ok";
    case Status::Refused: return "refused";
    case Status::Rejected: return "rejected";
    case Status::Error: return "error";
    }
    return "error";
}

struct InputResult {
    std::string file;  // as given on the command line
    std::optional<int> detector;  // of a multi-detector file: one record per detector
    std::optional<int> record;    // of an instrument export: one record per record of the file
    Status status = Status::Ok;
    std::string message;
    Measurement m;
    // The DISCRETE status read-out of the window: "Uwaga" when the listing
    // doubts its best solution, "BŁĄD" when there is no result, else " ".
    std::string note = " ";

    bool Ok() const { return status == Status::Ok; }
    // The message on one line: the program's own text may end lines.
    void Fail(Status s, const std::string& text)
    {
        status = s;
        message.clear();
        for (char c : text) {
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

// The sample of a loaded file with the command line's values: a solvent
// preset at the final temperature first, then every value given.
Outcome<SampleParameters> ResolveSample(SampleParameters p, const SampleOptions& o)
{
    if (o.dataKind) p.dataKind = *o.dataKind;
    if (o.timeUnit) p.timeUnit = *o.timeUnit;
    if (o.baseline) p.baselineMode = BaselineMode::Fixed, p.baseline = *o.baseline;
    if (o.tailBaseline) p.baselineMode = BaselineMode::Tail;
    if (o.wavelengthNm) p.wavelengthNm = *o.wavelengthNm;
    if (o.angleDeg) p.angleDeg = *o.angleDeg;
    if (o.temperatureK) p.temperatureK = *o.temperatureK;
    if (o.solvent) {
        const Outcome<physics::SolventProperties> s = physics::SolventAt(*o.solvent, p.temperatureK);
        if (!s) return s.failure();
        p.viscosityCp = s->viscosityCp;
        p.refractiveIndex = s->refractiveIndex;
    }
    if (o.viscosityCp) p.viscosityCp = *o.viscosityCp;
    if (o.refractiveIndex) p.refractiveIndex = *o.refractiveIndex;
    // A value no measurement can have would give sizes that mean nothing.
    if (auto impossible = physics::ValidateSample(p)) return *impossible;
    return p;
}

// Every measurement of the data file; false (with the status set) when the
// file cannot be read or holds none.
bool ReadMeasurements(InputResult& r, const std::string& path, const Options& o, std::vector<io::DataFile>& files)
{
    std::string bytes;
    try {
        bytes = ReadFile(path);
    } catch (const Error& e) {
        r.Fail(Status::Error, std::string("cannot read the data file (") + e.what() + ")");
        return false;
    }
    Outcome<std::vector<io::DataFile>> data = io::ReadDataFiles(bytes, o.read);
    if (!data) {
        r.Fail(Status::Error, data.failure().message());
        return false;
    }
    files = std::move(data).value();
    return true;
}

// Takes one measurement of a file with the command line's sample and the
// range of --first and --last. False (with the status set) when there is
// nothing to analyse.
bool LoadMeasurement(InputResult& r, io::DataFile file, const Options& o)
{
    r.detector = file.detector;
    r.record = file.record;
    // A record of an export that holds nothing to analyse says why.
    if (file.refusal) {
        r.Fail(Status::Error, file.refusal->message());
        return false;
    }
    r.m.Load(std::move(file));
    const Outcome<SampleParameters> sample = ResolveSample(r.m.Sample(), o.sample);
    if (!sample) {
        r.Fail(Status::Error, sample.failure().message());
        return false;
    }
    r.m.SetSample(*sample);
    const auto count = static_cast<std::int64_t>(r.m.PointCount());
    for (const auto& [name, index] : {std::pair{"--first", o.first}, std::pair{"--last", o.last}}) {
        if (index && *index >= count) {
            r.Fail(Status::Error, std::string(name) + " " + std::to_string(*index) + " lies beyond the data: the file has " +
                                      std::to_string(count) + " points (0 ... " + std::to_string(count - 1) + ")");
            return false;
        }
    }
    // Without --first the range starts where the measurement's default does
    // (after a correlator's dead time), unless --last lies before that.
    const std::int64_t last = o.last.value_or(count - 1);
    const std::int64_t first = o.first.value_or(r.m.Range().first <= last ? r.m.Range().first : 0);
    r.m.SetRange(first, last);
    return true;
}

// Loads a data file of one measurement (parse-discrete reads a listing of one).
bool LoadData(InputResult& r, const std::string& path, const Options& o)
{
    std::vector<io::DataFile> files;
    if (!ReadMeasurements(r, path, o, files)) return false;
    if (files.size() != 1) {
        r.Fail(Status::Error, "the data file holds " + std::to_string(files.size()) +
                                  " measurements (one per detector or record): a listing belongs to one of them");
        return false;
    }
    return LoadMeasurement(r, std::move(files.front()), o);
}

// The listing of a rejected deck is kept beside the data file, so that the
// program's whole answer can be read; a file of that name is never replaced.
std::string KeepListing(const std::string& dataFile, std::optional<int> detector, const RunFiles& files,
                        const std::string& suffix)
{
    // A detector's or a record's listing carries its number: NAME.3.contin.out.
    const fs::path target =
        fs::path(dataFile).replace_extension(detector ? "." + std::to_string(*detector) + suffix : suffix);
    std::error_code ec;
    if (!fs::exists(target, ec) && !ec) {
        try {
            WriteFileAtomic(target, ReadFile(files.listing()));
            return " (the listing is kept as " + target.string() + ")";
        } catch (const Error&) {
        }
    }
    return " (run with --workdir DIR to keep the listing)";
}

void Record(InputResult& r, const RunReport& report, bool discrete)
{
    switch (report.status) {
    case RunStatus::Ok:
        if (discrete) r.note = r.m.Discrete() && r.m.Discrete()->uncertain ? "Uwaga" : " ";
        return;
    case RunStatus::Refused: r.Fail(Status::Refused, report.failure.message()); break;
    case RunStatus::Rejected: r.Fail(Status::Rejected, report.failure.message()); break;
    case RunStatus::Failed:
    case RunStatus::Cancelled: r.Fail(Status::Error, report.failure.message()); break;
    }
    if (discrete) r.note = kBlad;
}

// Prints the listing it was given, as if a program had written it.
class RecordedListing : public EngineRunner {
public:
    explicit RecordedListing(std::string listing) : listing_(std::move(listing)) {}
    EngineRun Run(Engine, const std::vector<std::string>&) override { return EngineRun{false, listing_}; }

private:
    std::string listing_;
};

ContinRequest ContinRequestOf(const Options& o) { return ContinRequest{o.gridMin, o.gridMax, o.gridPoints, o.signalWeighted}; }
DiscreteRequest DiscreteRequestOf(const Options& o)
{
    return DiscreteRequest{o.maxComponents, o.weight, o.maxTries, o.switches};
}

// One measurement of "contin" or "discrete" (data, deck, run, listing) or of
// "cumulants" (data and the fit).
void Analyse(InputResult& r, const Options& o, BlockingRunner& runner, bool keepListings)
{
    if (o.command == Command::Cumulants) {
        Record(r, r.m.RunCumulants(o.cumulants), false);
        return;
    }
    const bool contin = o.command == Command::Contin;
    try {
        const RunReport report = contin ? r.m.RunContin(ContinRequestOf(o), runner)
                                        : r.m.RunDiscrete(DiscreteRequestOf(o), runner);
        Record(r, report, !contin);
        if (report.status == RunStatus::Rejected && keepListings)
            r.message += KeepListing(r.file, r.detector ? r.detector : r.record, runner.Files(),
                                     contin ? ".contin.out" : ".discrete.out");
    } catch (const Error& e) {
        r.Fail(Status::Error, e.what());
        if (!contin) r.note = kBlad;
    }
}

// One input: a record for every measurement the file holds (one per detector
// of a multi-detector file), or one record of the reason it holds none.
std::vector<InputResult> RunAnalysis(const Options& o, const std::string& file, BlockingRunner& runner,
                                     bool keepListings)
{
    InputResult failed;
    failed.file = file;
    std::vector<io::DataFile> files;
    std::vector<InputResult> results;
    if (!ReadMeasurements(failed, file, o, files)) {
        results.push_back(std::move(failed));
        return results;
    }
    for (io::DataFile& data : files) {
        InputResult& r = results.emplace_back();
        r.file = file;
        if (LoadMeasurement(r, std::move(data), o)) Analyse(r, o, runner, keepListings);
        if (g_stopSignal) break;
    }
    return results;
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
        r.Fail(Status::Error, std::string("cannot read the listing (") + e.what() + ")");
        return r;
    }
    RecordedListing recorded(std::move(listing));
    if (o.command == Command::ParseContin) {
        // Only the number of points is known: the listing is read for a
        // range of that many points.
        io::DataFile placeholder;
        placeholder.x.assign(static_cast<std::size_t>(o.points), 0.0);
        placeholder.y.assign(static_cast<std::size_t>(o.points), 0.0);
        r.m.Load(std::move(placeholder));
        Record(r, r.m.RunContin(ContinRequestOf(o), recorded), false);
    } else {
        InputResult data;
        if (!LoadData(data, o.inputs[1], o)) {
            r.Fail(data.status, data.message);
            r.note = kBlad;
            return r;
        }
        r.m = std::move(data.m);
        Record(r, r.m.RunDiscrete(DiscreteRequestOf(o), recorded), true);
    }
    return r;
}

// The results log of the series. Every click re-reads the file under the lock
// of its directory and appends to it, so runs sharing a log keep each other's
// lines; the click continues the series the file holds (a header goes first
// into an absent or empty file, and before a line the file's last header
// would label otherwise).
struct SeriesLog {
    fs::path path;
    std::vector<std::string> pending;  // lines a failed write could not put out yet

    // Under the lock: `click` gets the series the file holds (with the
    // pending lines) and gives the lines to append (the pending ones go first).
    template <typename Click>
    void Append(const RunControl& control, Click click)
    {
        FileLock lock(LogLockFile(path));
        TakeLock(lock, control);
        const std::string old = ReadLog(path);
        std::vector<std::string> held = SplitLines(old);
        held.insert(held.end(), pending.begin(), pending.end());
        const std::vector<std::string> lines = click(ResultsSeries(std::move(held)));
        pending.insert(pending.end(), lines.begin(), lines.end());
        if (pending.empty()) return;
        AppendToLog(path, old, pending);
        pending.clear();
    }
};

// The "Zapamiętaj" click for the solution asked for. A click that adds no
// line makes the input fail: the series would miss that measurement.
void LogResult(InputResult& r, const Options& o, SeriesLog& log, const RunControl& control, const std::string& value,
               char sep)
{
    const bool contin = o.command == Command::Contin || o.command == Command::ParseContin;
    const bool cumulants = o.command == Command::Cumulants;
    std::int64_t wanted = 0;
    if (o.solution) wanted = *o.solution;
    else if (contin && r.m.Contin()) wanted = static_cast<std::int64_t>(r.m.Contin()->chosen);
    const std::size_t available = contin ? (r.m.Contin() ? r.m.Contin()->solutions.size() : 0)
                                          : (r.m.Discrete() ? r.m.Discrete()->solutions.size() : 0);
    const bool exists = wanted >= 0 && static_cast<std::size_t>(wanted) < available;
    LogInput in;
    in.paramName = Utf8ToCp1250(o.param);
    in.value = value;
    in.inverse = o.inverse;
    in.rates = o.rates;
    in.decimalSeparator = sep;
    try {
        log.Append(control, [&](ResultsSeries series) {
            ResultsSeries::Step step;
            if (cumulants) step = series.RecordCumulants(r.m.Cumulants(), r.m.Sample(), in);
            else if (contin) step = series.RecordContin(exists ? r.m.ShowContin(wanted) : nullptr, in);
            else
                step = series.RecordDiscrete(exists ? r.m.ShowDiscrete(wanted) : nullptr,
                                             ComponentGroups(r.m.LastDiscreteRequest()), in);
            // The header stays even when the click then fails, as in the window.
            if (step.error)
                r.Fail(Status::Error, "no log line: " + *step.error);
            else if (step.noResult)
                r.Fail(Status::Error, cumulants ? std::string("no log line: there is no cumulant fit")
                                                : "no log line: solution " + std::to_string(wanted) + " does not exist");
            return step.added;
        });
    } catch (const Error& e) {
        r.Fail(Status::Error, std::string("the log cannot be written (") + e.what() + ")");
    }
}

const char* DataKindName(DataKind k)
{
    switch (k) {
    case DataKind::G1: return "g1";
    case DataKind::G2Minus1: return "g2-1";
    case DataKind::G2: return "g2";
    }
    return "g1";
}

const char* TimeUnitName(TimeUnit u)
{
    switch (u) {
    case TimeUnit::Seconds: return "s";
    case TimeUnit::Milliseconds: return "ms";
    case TimeUnit::Microseconds: return "us";
    case TimeUnit::Nanoseconds: return "ns";
    }
    return "us";
}

void WriteSampleJson(JsonWriter& j, const SampleParameters& p)
{
    j.Key("sample").BeginObject();
    j.Key("dataKind").String(DataKindName(p.dataKind));
    j.Key("timeUnit").String(TimeUnitName(p.timeUnit));
    j.Key("wavelength").Number(p.wavelengthNm);
    j.Key("angle").Number(p.angleDeg);
    j.Key("temperature").Number(p.temperatureK);
    j.Key("viscosity").Number(p.viscosityCp);
    j.Key("refractiveIndex").Number(p.refractiveIndex);
    const Outcome<double> q = physics::ScatteringVector(p);
    j.Key("q");
    if (q) j.Number(*q);
    else j.Null();
    j.EndObject();
}

// A size; nulls when there is none.
void WriteSizeJson(JsonWriter& j, const Outcome<physics::SizeEstimate>& size)
{
    for (const auto& [key, value] :
         {std::pair{"diffusionCoefficient", size ? size->diffusion : 0.0}, std::pair{"hydrodynamicRadius", size ? size->radiusNm : 0.0},
          std::pair{"hydrodynamicRadiusErr", size ? size->radiusErrNm : 0.0}}) {
        j.Key(key);
        if (size) j.Number(value);
        else j.Null();
    }
    // Why the sizes are null.
    if (!size) j.Key("sizeNote").String(size.failure().message());
}

// The radius of the mean rate (M(0)/M(-1)), which compares with the cumulant
// z-average; null where the listing gives no such moment or the size is withheld.
void WriteHarmonicJson(JsonWriter& j, const ContinPeak& p, const SampleParameters& sample, bool withheld)
{
    std::optional<physics::SizeEstimate> size;
    if (p.harmonicPosition && !withheld) {
        if (auto s = physics::SizeFromDecayTime(*p.harmonicPosition, p.harmonicPositionErr.value_or(0.0), sample)) size = *s;
    }
    j.Key("harmonicMeanPosition");
    if (p.harmonicPosition) j.Number(*p.harmonicPosition);
    else j.Null();
    j.Key("harmonicMeanRadius");
    if (size) j.Number(size->radiusNm);
    else j.Null();
    j.Key("harmonicMeanRadiusErr");
    if (size) j.Number(size->radiusErrNm);
    else j.Null();
}

void WriteQualityJson(JsonWriter& j, const quality::Report& report)
{
    j.Key("quality").BeginArray();
    for (const quality::Flag& f : report.flags) {
        j.BeginObject();
        j.Key("code").String(f.code);
        j.Key("severity").String(std::string(quality::SeverityName(f.severity)));
        j.Key("message").String(f.Message());
        j.EndObject();
    }
    j.EndArray();
}

void WriteBetaJson(JsonWriter& j, const std::optional<double>& beta)
{
    if (!beta) return;
    j.Key("beta").Number(*beta);
}

// The regularizer is known only of runs made here, not of a listing read back.
void WriteContinJson(JsonWriter& j, const Measurement& m, const ContinRequest& asked, bool ranHere,
                     const quality::Report& report)
{
    const ContinResult* result = m.Contin();
    const std::size_t n = result ? result->solutions.size() : 0;
    const ContinRequest& request = result ? result->request : asked;
    j.Key("gridPoints").Integer(request.gridPoints);
    if (ranHere) j.Key("regularizer").String(request.signalWeighted ? "signal" : "classic");
    if (result) WriteBetaJson(j, result->beta);
    j.Key("solutionCount").Integer(static_cast<std::int64_t>(n));
    j.Key("chosen").Integer(result ? static_cast<std::int64_t>(result->chosen) : 0);
    j.Key("solutions").BeginArray();
    for (std::size_t i = 0; i < n; ++i) {
        const ContinSolution& s = result->solutions[i];
        j.BeginObject();
        j.Key("index").Integer(static_cast<std::int64_t>(i));
        j.Key("prob1ToReject").Number(s.prob1ToReject);
        j.Key("peakCount").Integer(static_cast<std::int64_t>(s.peaks.size()));
        j.Key("peaks").BeginArray();
        for (std::size_t k = 0; k < s.peaks.size(); ++k) {
            const ContinPeak& p = s.peaks[k];
            const std::optional<Failure> withheld =
                report.noSize ? report.noSize : quality::PeakWithoutSize(p, report.lags, k + 1);
            j.BeginObject();
            j.Key("intensity").Number(p.intensity);
            j.Key("intensityErr").Number(p.intensityErr);
            j.Key("position").Number(p.position);
            j.Key("positionErr").Number(p.positionErr);
            j.Key("width").Number(p.width);
            WriteSizeJson(j, withheld ? Outcome<physics::SizeEstimate>(*withheld)
                                      : physics::SizeFromDecayTime(p.position, p.positionErr, m.Sample()));
            WriteHarmonicJson(j, p, m.Sample(), withheld.has_value());
            j.EndObject();
        }
        j.EndArray();
        // The whole solution: both radii, from its mean decay time and its mean rate.
        j.Key("entire");
        if (s.entire) {
            j.BeginObject();
            j.Key("intensity").Number(s.entire->intensity);
            j.Key("position").Number(s.entire->position);
            j.Key("positionErr").Number(s.entire->positionErr);
            WriteSizeJson(j, report.noSize ? Outcome<physics::SizeEstimate>(*report.noSize)
                                           : physics::SizeFromDecayTime(s.entire->position, s.entire->positionErr, m.Sample()));
            WriteHarmonicJson(j, *s.entire, m.Sample(), report.noSize.has_value());
            j.EndObject();
        } else {
            j.Null();
        }
        j.Key("distX").Numbers(s.distX);
        j.Key("distY").Numbers(s.distY);
        j.Key("distErr").Numbers(s.distErr);
        j.Key("fitX").Numbers(s.fitX);
        // The fit in the data's terms, as the window draws and exports it.
        j.Key("fitY").Numbers(physics::FitInDataTerms(s.fitY, result->beta, result->baseline));
        j.EndObject();
    }
    j.EndArray();
}

void WriteDiscreteJson(JsonWriter& j, const InputResult& r, const quality::Report& report)
{
    const DiscreteResult* result = r.m.Discrete();
    const std::size_t n = result ? result->solutions.size() : 0;
    j.Key("note").String(r.note);
    // Why the listing doubts its best solution, in its own words.
    if (result && result->uncertain) j.Key("noteReason").String(result->uncertainReason);
    if (result) WriteBetaJson(j, result->beta);
    j.Key("solutionCount").Integer(static_cast<std::int64_t>(n));
    j.Key("solutions").BeginArray();
    for (std::size_t i = 0; i < n; ++i) {
        const DiscreteSolution& s = result->solutions[i];
        j.BeginObject();
        j.Key("index").Integer(static_cast<std::int64_t>(i));
        j.Key("componentCount").Integer(static_cast<std::int64_t>(s.components.size()));
        j.Key("baseline").Number(s.baseline);
        j.Key("punc").Number(s.punc);
        j.Key("components").BeginArray();
        for (std::size_t k = 0; k < s.components.size(); ++k) {
            const Component& c = s.components[k];
            const std::optional<Failure> withheld =
                report.noSize ? report.noSize : quality::ComponentWithoutSize(c, report.lags, k + 1);
            j.BeginObject();
            j.Key("amplitude").Number(c.amplitude);
            j.Key("amplitudeErr").Number(c.amplitudeErr);
            j.Key("rate").Number(c.rate);
            j.Key("rateErr").Number(c.rateErr);
            WriteSizeJson(j, withheld ? Outcome<physics::SizeEstimate>(*withheld) : ComponentSize(c, r.m.Sample()));
            j.EndObject();
        }
        j.EndArray();
        j.Key("fitX").Numbers(s.fitX);
        // The fit in the data's terms, as the window draws and exports it.
        j.Key("fitY").Numbers(physics::FitInDataTerms(s.fitY, result->beta, result->baseline));
        j.Key("residual").Numbers(s.residual);
        j.EndObject();
    }
    j.EndArray();
}

const char* FormatName(io::FileFormat format)
{
    switch (format) {
    case io::FileFormat::Text: return "text";
    case io::FileFormat::Alv: return "alv";
    case io::FileFormat::Zetasizer: return "zetasizer";
    case io::FileFormat::Lsi: return "lsi";
    }
    return "text";
}

void WriteFileJson(JsonWriter& j, const io::DataFile& file)
{
    j.Key("format").String(FormatName(file.format));
    j.Key("headerLines").Integer(file.headerLines);
    // Leading points that are no correlation values, left out of the default range.
    if (file.suggestedFirstPoint > 0) {
        j.Key("leadingPointsLeftOut").Integer(static_cast<std::int64_t>(file.suggestedFirstPoint));
        j.Key("leadingPointsReason").String(file.suggestedFirstReason);
    }
    if (!file.instrument) return;
    const io::InstrumentHeader& h = *file.instrument;
    const auto optional = [&j](const char* key, const std::optional<double>& v) {
        j.Key(key);
        if (v) j.Number(*v);
        else j.Null();
    };
    j.Key("instrument").BeginObject();
    optional("temperature", h.temperatureK);
    optional("viscosity", h.viscosityCp);
    optional("refractiveIndex", h.refractiveIndex);
    optional("wavelength", h.wavelengthNm);
    optional("angle", h.angleDeg);
    optional("duration", h.durationS);
    j.Key("sampleName").String(h.sampleName);
    j.Key("meanCountRate").Numbers(h.meanCountRateKHz);
    // What the instrument's own analysis reported, beside Fluvena's (the
    // files of instruments that report it; ALV records keep their fields).
    if (file.format == io::FileFormat::Zetasizer || file.format == io::FileFormat::Lsi) {
        optional("reportedZAverage", h.reportedZAverageNm);
        optional("reportedPdi", h.reportedPdi);
        optional("reportedIntercept", h.reportedIntercept);
    }
    if (file.format == io::FileFormat::Zetasizer) {
        j.Key("date").String(h.date);
        j.Key("time").String(h.time);
        optional("materialRefractiveIndex", h.materialRefractiveIndex);
        optional("materialAbsorption", h.materialAbsorption);
        // Not in the file: the instrument model's, as analysed unless the
        // options change them.
        optional("assumedAngle", h.assumedAngleDeg);
        optional("assumedWavelength", h.assumedWavelengthNm);
    }
    if (!h.reportedCumulants.empty()) {
        j.Key("reportedCumulants").BeginArray();
        for (const std::vector<double>& c : h.reportedCumulants) j.Numbers(c);
        j.EndArray();
    }
    j.EndObject();
}

void WriteCumulantJson(JsonWriter& j, const Measurement& m, const quality::Report& report)
{
    const CumulantResult* c = m.Cumulants();
    if (!c) return;
    const cumulants::Result& f = c->fit;
    j.Key("gammaMean").Number(f.gammaMean);
    j.Key("gammaMeanErr").Number(f.gammaMeanErr);
    j.Key("mu2").Number(f.mu2);
    j.Key("pdi").Number(f.pdi);
    j.Key("beta").Number(f.beta);
    const Outcome<physics::ZAverage> z =
        report.noSize ? Outcome<physics::ZAverage>(*report.noSize) : physics::ZAverageSize(f.gammaMean, f.gammaMeanErr, m.Sample());
    j.Key("zAverageDiameter");
    if (z) j.Number(z->diameterNm);
    else j.Null();
    j.Key("zAverageRadius");
    if (z) j.Number(z->radiusNm);
    else j.Null();
    if (!z) j.Key("sizeNote").String(z.failure().message());
    j.Key("fitFirst").Integer(c->range.first + static_cast<std::int64_t>(f.fitFirst));
    j.Key("fitLast").Integer(c->range.first + static_cast<std::int64_t>(f.fitLast));
    j.Key("pointsUsed").Integer(f.pointsUsed);
    j.Key("order").Integer(f.order);
    j.Key("method").String(cumulants::MethodName(f.method));
    j.Key("note").String(f.note);
}

const char* AnalysisName(Command c)
{
    switch (c) {
    case Command::Contin:
    case Command::ParseContin: return "contin";
    case Command::Discrete:
    case Command::ParseDiscrete: return "discrete";
    case Command::Cumulants: return "cumulants";
    }
    return "contin";
}

quality::Subject SubjectOf(Command c)
{
    switch (c) {
    case Command::Contin:
    case Command::ParseContin: return quality::Subject::Contin;
    case Command::Discrete:
    case Command::ParseDiscrete: return quality::Subject::Discrete;
    case Command::Cumulants: return quality::Subject::Cumulants;
    }
    return quality::Subject::Contin;
}

// The quality flags of a record. A listing read without its data
// (parse-contin) is judged by its peaks alone.
quality::Report QualityOf(const InputResult& r, const Options& o)
{
    if (o.command != Command::ParseContin) return quality::Assess(r.m, SubjectOf(o.command));
    quality::Report report;
    if (const ContinResult* c = r.m.Contin(); c && c->chosen < c->solutions.size())
        report.flags = quality::CheckContinPeaks(c->solutions[c->chosen], quality::LagWindow{});
    return report;
}

std::string Json(const InputResult& r, const Options& o)
{
    const bool contin = o.command == Command::Contin || o.command == Command::ParseContin;
    const quality::Report report = QualityOf(r, o);
    const PointRange range = r.m.Range();
    JsonWriter j;
    j.BeginObject();
    j.Key("file").String(r.file);
    if (r.detector) j.Key("detector").Integer(*r.detector);
    if (r.record) j.Key("record").Integer(*r.record);
    j.Key("analysis").String(AnalysisName(o.command));
    j.Key("status").String(StatusName(r.status));
    j.Key("message").String(r.message);
    j.Key("pointCount").Integer(static_cast<std::int64_t>(r.m.PointCount()));
    if (r.m.PointCount() > 0) WriteFileJson(j, r.m.File());
    j.Key("first").Integer(range.first);
    j.Key("last").Integer(r.m.PointCount() > 0 ? range.last : 0);
    if (r.m.PointCount() > 0) WriteSampleJson(j, r.m.Sample());
    if (o.command == Command::Cumulants) WriteCumulantJson(j, r.m, report);
    else if (contin) WriteContinJson(j, r.m, ContinRequestOf(o), o.command == Command::Contin, report);
    else WriteDiscreteJson(j, r, report);
    WriteQualityJson(j, report);
    j.EndObject();
    return j.Text();
}

std::string Summary(const InputResult& r, const Options& o)
{
    const bool contin = o.command == Command::Contin || o.command == Command::ParseContin;
    if (!r.Ok()) return std::string(StatusName(r.status)) + ": " + r.message;
    std::string s;
    if (o.command == Command::Cumulants) {
        const cumulants::Result& f = r.m.Cumulants()->fit;
        const Outcome<physics::ZAverage> z = physics::ZAverageSize(f.gammaMean, f.gammaMeanErr, r.m.Sample());
        s = "Gamma " + ShortestDouble(f.gammaMean) + " 1/s, PDI " + ShortestDouble(f.pdi) +
            (z ? ", z-average diameter " + ShortestDouble(z->diameterNm) + " nm" : std::string());
    } else if (contin) {
        s = std::to_string(r.m.Contin()->solutions.size()) + " solutions, chosen " + std::to_string(r.m.Contin()->chosen);
    } else {
        s = std::to_string(r.m.Discrete()->solutions.size()) + " solutions";
    }
    return s;
}

// The line of the text output: the headline of the result, then the codes
// of its flags with their severities; the status and message of a record
// without a result.
std::string TextLine(const InputResult& r, const Options& o, char sep)
{
    const quality::Report report = QualityOf(r, o);
    std::string line;
    if (r.Ok()) {
        const std::optional<Headline> h = MakeHeadline(r.m, SubjectOf(o.command), report);
        line = h ? HeadlineText(*h, sep) : Summary(r, o);
    } else {
        line = std::string(StatusName(r.status)) + ": " + r.message;
    }
    std::string codes;
    for (const quality::Flag& f : report.flags)
        codes += (codes.empty() ? "" : ", ") + f.code + " (" + std::string(quality::SeverityName(f.severity)) + ")";
    if (!codes.empty()) line += " [" + codes + "]";
    return line;
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
    bool Owned() const { return owned_; }

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
    if (o.help) {
        std::cout << kUsage;
        return 0;
    }
    const char sep = o.decimalPoint ? *o.decimalPoint : LocaleDecimalSeparator();

    CatchStopSignals();
    RunControl control;
    control.waitForLock = !o.noWait;
    control.onWait = [](const fs::path& lock) {
        std::cerr << "fluvena-batch: waiting for another analysis in " << lock.parent_path().string()
                  << " to finish (" << lock.filename().string() << " is held)...\n";
    };
    control.timeoutSeconds = o.timeout;
    control.stopSignal = [] { return static_cast<int>(g_stopSignal); };

    SeriesLog log;
    if (o.logFile) log.path = *o.logFile;

    const bool analyses = o.command == Command::Contin || o.command == Command::Discrete || o.command == Command::Cumulants;
    std::optional<WorkDir> workDir;
    std::optional<BlockingRunner> runner;
    if (analyses) {
        try {
            workDir.emplace(o.workdir);
        } catch (const Error& e) {
            std::cerr << "fluvena-batch: " << e.what() << "\n";
            return 1;
        }
        runner.emplace(workDir->Path(), HelperDir(), control);
    }

    const std::size_t total = analyses ? o.inputs.size() : 1;
    bool allOk = true;
    for (std::size_t i = 0; i < total; ++i) {
        std::vector<InputResult> records;
        if (analyses) records = RunAnalysis(o, o.inputs[i], *runner, workDir->Owned());
        else records.push_back(ParseOnly(o));
        for (InputResult& r : records) {
            // A detector's or an export record's measurement is named FILE [k],
            // as the window lists it.
            const std::optional<int> part = r.detector ? r.detector : r.record;
            const std::string name = part ? " [" + std::to_string(*part) + "]" : "";
            if (o.logFile && r.Ok()) LogResult(r, o, log, control, o.values[i], sep);
            allOk = allOk && r.Ok();
            if (o.json || !analyses) std::cout << Json(r, o) << "\n" << std::flush;
            else std::cout << r.file << name << ": " << TextLine(r, o, sep) << "\n" << std::flush;
            if ((total > 1 || records.size() > 1) && !o.quiet)
                std::cerr << "[" << i + 1 << "/" << total << "] " << fs::path(r.file).filename().string() << name
                          << ": " << Summary(r, o) << "\n";
        }
        if (g_stopSignal) throw Interrupted(g_stopSignal);
    }
    // Lines a failed write kept back go out now.
    if (!log.pending.empty()) {
        try {
            log.Append(control, [](const ResultsSeries&) { return std::vector<std::string>{}; });
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
    } catch (const fluvena::Interrupted& e) {
        // The engine has ended and the private directory is gone: stopped
        // as by the signal's own default action would say.
        return 128 + e.Signal();
    } catch (const std::exception& e) {
        std::cerr << "fluvena-batch: " << e.what() << "\n";
        return 1;
    }
}
