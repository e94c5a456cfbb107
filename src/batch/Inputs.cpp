#include "Inputs.h"

#include "base/Errors.h"
#include "core/DataKindCheck.h"
#include "io/DataReader.h"
#include "io/FileIO.h"
#include "physics/SampleBounds.h"
#include "physics/Sizes.h"

#include <cerrno>
#include <cstdint>
#include <sys/stat.h>
#include <filesystem>
#include <system_error>
#include <utility>

namespace fs = std::filesystem;

namespace fluvena::batch {

const char* const kBlad = "B\xC5\x81\xC4\x84" "D";

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

ContinRequest ContinRequestOf(const Options& o)
{
    return ContinRequest{o.gridMin, o.gridMax, o.gridPoints, o.signalWeighted, o.siegertWeights};
}
DiscreteRequest DiscreteRequestOf(const Options& o)
{
    return DiscreteRequest{o.maxComponents, o.weight, o.maxTries, o.switches, o.siegertWeights};
}

namespace {


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
    // Data of another kind than they are taken for give sizes wrong by a
    // factor: refused unless --force.
    if (!o.sample.force) {
        if (const std::optional<KindDoubt> doubt = DoubtDataKind(r.m)) {
            r.Fail(Status::Error, doubt->reason.message() + " (--force analyses them as they are taken)");
            return false;
        }
    }
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
    // A link of that name counts as a file, even one that points nowhere.
    struct stat st {};
    if (::lstat(target.c_str(), &st) != 0 && errno == ENOENT) {
        try {
            WriteFileAtomic(target, ReadFile(files.listing()), Links::Replace);
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

}  // namespace

Outcome<SampleParameters> ResolveSample(SampleParameters p, const SampleOptions& o)
{
    if (o.dataKind) p.dataKind = *o.dataKind;
    if (o.timeUnit) p.timeUnit = *o.timeUnit;
    if (o.baseline) p.baselineMode = BaselineMode::Fixed, p.baseline = *o.baseline;
    if (o.tailBaseline) p.baselineMode = BaselineMode::Tail;
    // The tail's mean is the baseline B of g2 = B (1 + beta g1^2); g2 - 1 and
    // g1 data have none to take.
    if (o.tailBaseline && p.dataKind != DataKind::G2)
        return Fail("--baseline tail applies to g2 data only: these are taken for %1 data, whose baseline is 0",
                    {p.dataKind == DataKind::G1 ? "g1" : "g2-1"});
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

std::vector<InputResult> RunAnalysis(const Options& o, const std::string& file, BlockingRunner& runner,
                                     bool keepListings, const std::function<bool()>& stopped)
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
        if (stopped()) break;
    }
    return results;
}

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

}  // namespace fluvena::batch
