#include "MultiAngle.h"

#include "Json.h"
#include "Records.h"

#include "base/Readable.h"
#include "physics/Sizes.h"
#include "results/Table.h"
#include "sets/AngleFit.h"

#include <algorithm>
#include <cmath>

namespace fluvena::batch {
namespace {

struct Point {
    sets::AnglePoint angle;
    bool hasRate = false;
    std::optional<double> apparentRadius;
};

struct SetFit {
    std::vector<Point> points;  // one per record
    Status status = Status::Ok;
    std::string message;
    std::optional<sets::AngleFit> fit;
    std::optional<physics::SizeEstimate> atZero;  // R_h at q -> 0 (radius and its error)
};

// The mean rate (1/s) of a record and its standard error: the cumulant fit's,
// or that of the mean rate of CONTIN's main peak (its M(0)/M(-1) time).
std::optional<std::pair<double, double>> MeanRate(const InputResult& r, bool contin)
{
    if (!r.Ok()) return std::nullopt;
    if (!contin) {
        const CumulantResult* c = r.m.Cumulants();
        if (!c) return std::nullopt;
        return std::pair{c->fit.gammaMean, c->fit.gammaMeanErr};
    }
    const ContinResult* c = r.m.Contin();
    if (!c || c->chosen >= c->solutions.size()) return std::nullopt;
    const ContinSolution& s = c->solutions[c->chosen];
    const std::optional<std::size_t> k = MainPeak(s);
    if (!k || !s.peaks[*k].harmonicPosition) return std::nullopt;
    const ContinPeak* main = &s.peaks[*k];
    const Outcome<physics::SizeEstimate> size =
        physics::SizeFromDecayTime(*main->harmonicPosition, main->harmonicPositionErr.value_or(0.0), r.m.Sample());
    if (!size) return std::nullopt;
    return std::pair{size->rate, size->rateErr};
}

bool Excluded(const InputResult& r, const Exclusion& e)
{
    const std::optional<int> part = r.detector ? r.detector : r.record;
    return r.file == e.file && (!e.part || e.part == part);
}

SetFit FitSet(const std::vector<InputResult>& records, const Options& o)
{
    SetFit set;
    std::vector<bool> used(o.excluded.size(), false);
    const InputResult* reference = nullptr;  // the sample of D0's radius
    for (const InputResult& r : records) {
        Point& p = set.points.emplace_back();
        if (r.m.PointCount() > 0)
            if (auto q = physics::ScatteringVector(r.m.Sample())) p.angle.q = *q;
        const auto rate = MeanRate(r, o.contin);
        p.hasRate = rate.has_value();
        if (rate) {
            p.angle.gamma = rate->first;
            p.angle.gammaErr = rate->second;
            if (auto s = physics::SizeFromRate(rate->first, 0.0, r.m.Sample())) p.apparentRadius = s->radiusNm;
        }
        p.angle.included = p.hasRate;
        for (std::size_t k = 0; k < o.excluded.size(); ++k)
            if (Excluded(r, o.excluded[k])) p.angle.included = false, used[k] = true;
        if (p.angle.included && !reference) reference = &r;
    }
    for (std::size_t k = 0; k < o.excluded.size(); ++k) {
        if (used[k]) continue;
        const Exclusion& e = o.excluded[k];
        set.status = Status::Error;
        set.message = "--exclude " + e.file + (e.part ? ":" + std::to_string(*e.part) : "") + " names no measurement";
        return set;
    }
    std::vector<sets::AnglePoint> points;
    for (const Point& p : set.points) points.push_back(p.angle);
    const Outcome<sets::AngleFit> fit = sets::FitApparentDiffusion(points);
    if (!fit) {
        set.status = Status::Error;
        set.message = fit.failure().message();
        return set;
    }
    set.fit = *fit;
    // R_h(q -> 0) = k_B T / (6 pi eta D0), with the sample of the first
    // included measurement: D0 * q^2 is the rate that diffuses with D0 there.
    const SampleParameters& sample = reference->m.Sample();
    const double q = *physics::ScatteringVector(sample);
    if (auto s = physics::SizeFromRate(fit->d0 * q * q, fit->d0 > 0.0 ? fit->d0Err / fit->d0 : 0.0, sample)) {
        set.atZero = *s;
    } else {
        set.status = Status::Error;
        set.message = s.failure().message();
    }
    for (const InputResult& r : records) {
        if (&r == reference || !r.Ok() || r.m.PointCount() == 0) continue;
        const SampleParameters& p = r.m.Sample();
        if (std::abs(p.temperatureK - sample.temperatureK) > 0.5 ||
            std::abs(p.viscosityCp - sample.viscosityCp) > 0.01 * sample.viscosityCp) {
            set.message = "the measurements differ in temperature or viscosity: R_h at q -> 0 uses those of " +
                          reference->file;
            break;
        }
    }
    return set;
}

void OptionalNumber(JsonWriter& j, const char* key, const std::optional<double>& v)
{
    j.Key(key);
    if (v) j.Number(*v);
    else j.Null();
}

const std::vector<std::string>& FitColumns()
{
    static const std::vector<std::string> columns = {"diffusionCoefficient0", "diffusionCoefficient0Err",
                                                     "hydrodynamicRadius0", "hydrodynamicRadius0Err", "slope",
                                                     "slopeErr", "rSquared", "points"};
    return columns;
}

}  // namespace

std::string MultiAngleJson(const std::vector<InputResult>& records, const Options& o)
{
    const SetFit set = FitSet(records, o);
    JsonWriter j;
    j.BeginObject();
    j.Key("analysis").String("multiangle");
    j.Key("status").String(StatusName(set.status));
    j.Key("message").String(set.message);
    j.Key("source").String(o.contin ? "contin" : "cumulants");
    j.Key("measurements").BeginArray();
    for (std::size_t i = 0; i < records.size(); ++i) {
        const InputResult& r = records[i];
        const Point& p = set.points[i];
        j.BeginObject();
        j.Key("file").String(r.file);
        j.Key("detector");
        if (r.detector) j.Integer(*r.detector);
        else j.Null();
        if (r.record) j.Key("record").Integer(*r.record);
        j.Key("status").String(StatusName(r.status));
        j.Key("message").String(r.message);
        OptionalNumber(j, "angle", r.m.PointCount() > 0 ? std::optional(r.m.Sample().angleDeg) : std::nullopt);
        OptionalNumber(j, "q", p.angle.q > 0.0 ? std::optional(p.angle.q) : std::nullopt);
        OptionalNumber(j, "gammaMean", p.hasRate ? std::optional(p.angle.gamma) : std::nullopt);
        OptionalNumber(j, "gammaMeanErr", p.hasRate ? std::optional(p.angle.gammaErr) : std::nullopt);
        const bool apparent = p.hasRate && p.angle.q > 0.0;
        OptionalNumber(j, "apparentDiffusionCoefficient",
                       apparent ? std::optional(sets::ApparentDiffusion(p.angle)) : std::nullopt);
        OptionalNumber(j, "apparentRadius", p.apparentRadius);
        const CumulantResult* c = r.Ok() ? r.m.Cumulants() : nullptr;
        OptionalNumber(j, "pdi", c ? std::optional(c->fit.pdi) : std::nullopt);
        j.Key("included").Bool(p.angle.included);
        j.EndObject();
    }
    j.EndArray();
    j.Key("fit");
    if (set.fit && set.atZero) {
        const sets::AngleFit& f = *set.fit;
        j.BeginObject();
        j.Key("diffusionCoefficient0").Number(f.d0);
        j.Key("diffusionCoefficient0Err").Number(f.d0Err);
        j.Key("hydrodynamicRadius0").Number(set.atZero->radiusNm);
        j.Key("hydrodynamicRadius0Err").Number(set.atZero->radiusErrNm);
        j.Key("slope").Number(f.slope);
        j.Key("slopeErr").Number(f.slopeErr);
        j.Key("rSquared").Number(f.rSquared);
        j.Key("points").Integer(f.points);
        j.EndObject();
    } else {
        j.Null();
    }
    j.EndObject();
    return j.Text();
}

std::string MultiAngleTable(const std::vector<InputResult>& records, const Options& o)
{
    const SetFit set = FitSet(records, o);
    const results::TableFormat format = *o.table;
    std::vector<std::string> columns = TableColumns();
    for (const char* c : {"apparentDiffusionCoefficient", "apparentRadius", "included"}) columns.push_back(c);
    std::vector<results::TableCell> header(columns.begin(), columns.end());
    std::string out = results::FormatTableRow(header, columns.size(), format);
    Options run = o;
    run.command = AnalysisCommand(o);
    for (std::size_t i = 0; i < records.size(); ++i) {
        std::vector<results::TableCell> row = TableRow(records[i], run);
        const Point& p = set.points[i];
        if (p.hasRate && p.angle.q > 0.0) row.push_back(sets::ApparentDiffusion(p.angle));
        else row.emplace_back();
        if (p.apparentRadius) row.push_back(*p.apparentRadius);
        else row.emplace_back();
        row.push_back(static_cast<long long>(p.angle.included ? 1 : 0));
        out += results::FormatTableRow(row, columns.size(), format);
    }
    // The fit, as a second table after a blank line: empty cells without one.
    std::vector<std::string> fitColumns = FitColumns();
    fitColumns.insert(fitColumns.begin(), {"status", "message"});
    std::vector<results::TableCell> fitHeader(fitColumns.begin(), fitColumns.end());
    std::vector<results::TableCell> fitRow = {std::string(StatusName(set.status)), set.message};
    if (set.fit && set.atZero) {
        const sets::AngleFit& f = *set.fit;
        for (double v : {f.d0, f.d0Err, set.atZero->radiusNm, set.atZero->radiusErrNm, f.slope, f.slopeErr, f.rSquared})
            fitRow.push_back(v);
        fitRow.push_back(static_cast<long long>(f.points));
    }
    out += "\n" + results::FormatTableRow(fitHeader, fitColumns.size(), format) +
           results::FormatTableRow(fitRow, fitColumns.size(), format);
    return out;
}

std::string MultiAngleText(const std::vector<InputResult>& records, const Options& o, char sep, bool& ok)
{
    const SetFit set = FitSet(records, o);
    ok = set.status == Status::Ok;
    if (!set.fit || !set.atZero) return std::string(StatusName(set.status)) + ": " + set.message;
    std::string line = "D0 " + ReadableWithError(set.fit->d0, set.fit->d0Err, "m\xC2\xB2/s", sep) +
                       ", R_h(q \xE2\x86\x92 0) " +
                       ReadableWithError(set.atZero->radiusNm, set.atZero->radiusErrNm, "nm", sep) + ", r\xC2\xB2 " +
                       ReadableFixed(set.fit->rSquared, 3, sep) + ", " + std::to_string(set.fit->points) +
                       " measurements";
    if (!set.message.empty()) line += " (" + set.message + ")";
    return line;
}

}  // namespace fluvena::batch
