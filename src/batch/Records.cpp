#include "Records.h"

#include "Json.h"

#include "base/Errors.h"
#include "base/MemoText.h"
#include "core/Components.h"
#include "core/Headline.h"
#include "core/Quality.h"
#include "physics/Siegert.h"
#include "physics/Sizes.h"

#include <cstdint>
#include <string>

namespace fluvena::batch {
namespace {

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

// The weights a run made here gave the points: the Siegert relation's for g2
// data when asked, else none (g1 data are never weighted).
const char* WeightsName(bool siegert, const Measurement& m)
{
    return siegert && m.Sample().dataKind != DataKind::G1 ? "siegert" : "none";
}

// The regularizer and the weights are known only of runs made here, not of a
// listing read back.
void WriteContinJson(JsonWriter& j, const Measurement& m, const ContinRequest& asked, bool ranHere,
                     const quality::Report& report)
{
    const ContinResult* result = m.Contin();
    const std::size_t n = result ? result->solutions.size() : 0;
    const ContinRequest& request = result ? result->request : asked;
    j.Key("gridPoints").Integer(request.gridPoints);
    if (ranHere) j.Key("regularizer").String(request.signalWeighted ? "signal" : "classic");
    if (ranHere) j.Key("weights").String(WeightsName(request.siegertWeights, m));
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

void WriteDiscreteJson(JsonWriter& j, const InputResult& r, const Options& o, const quality::Report& report)
{
    const DiscreteResult* result = r.m.Discrete();
    const std::size_t n = result ? result->solutions.size() : 0;
    j.Key("note").String(r.note);
    if (o.command == Command::Discrete) j.Key("weights").String(WeightsName(o.siegertWeights, r.m));
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
    case Command::MultiAngle: return "multiangle";
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
    case Command::MultiAngle: break;  // its measurements are judged by the analysis they get
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

}  // namespace

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
    else WriteDiscreteJson(j, r, o, report);
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

namespace {

using results::TableCell;

TableCell Cell(const std::optional<double>& v) { return v ? TableCell(*v) : TableCell(); }

void ContinCells(std::vector<TableCell>& row, const Measurement& m, const quality::Report& report)
{
    const ContinResult* c = m.Contin();
    if (!c || c->chosen >= c->solutions.size()) return;
    row[9] = Cell(c->beta);
    const ContinSolution& s = c->solutions[c->chosen];
    const std::optional<std::size_t> k = MainPeak(s);
    if (!k) return;
    double total = 0.0;
    for (const ContinPeak& p : s.peaks) total += p.intensity;
    const ContinPeak& p = s.peaks[*k];
    if (total > 0.0) row[16] = p.intensity / total;
    // The radius of the peak's mean rate, the one that compares with the
    // cumulant z-average.
    if (report.noSize || quality::PeakWithoutSize(p, report.lags, *k + 1) || !p.harmonicPosition) return;
    if (auto size = physics::SizeFromDecayTime(*p.harmonicPosition, p.harmonicPositionErr.value_or(0.0), m.Sample()))
        row[15] = size->radiusNm;
}

void DiscreteCells(std::vector<TableCell>& row, const Measurement& m, const quality::Report& report)
{
    const DiscreteResult* d = m.Discrete();
    if (!d || d->solutions.empty()) return;
    row[9] = Cell(d->beta);
    // The best solution (the listing's first), its components as lists.
    const DiscreteSolution& s = d->solutions.front();
    std::string radii, amplitudes;
    for (std::size_t k = 0; k < s.components.size(); ++k) {
        const Component& c = s.components[k];
        const bool withheld = report.noSize || quality::ComponentWithoutSize(c, report.lags, k + 1);
        const Outcome<physics::SizeEstimate> size = ComponentSize(c, m.Sample());
        radii += (k ? ";" : "") + (!withheld && size ? ShortestDouble(size->radiusNm) : std::string());
        amplitudes += (k ? ";" : "") + ShortestDouble(c.amplitude);
    }
    row[17] = static_cast<long long>(s.components.size());
    row[18] = radii;
    row[19] = amplitudes;
}

void CumulantCells(std::vector<TableCell>& row, const Measurement& m, const quality::Report& report)
{
    const CumulantResult* c = m.Cumulants();
    if (!c) return;
    const cumulants::Result& f = c->fit;
    row[9] = f.beta;
    row[10] = f.gammaMean;
    row[11] = f.gammaMeanErr;
    row[14] = f.pdi;
    if (report.noSize) return;
    if (auto z = physics::ZAverageSize(f.gammaMean, f.gammaMeanErr, m.Sample())) {
        row[12] = z->radiusNm;
        row[13] = z->radiusErrNm;
    }
}

}  // namespace

const std::vector<std::string>& TableColumns()
{
    static const std::vector<std::string> columns = {
        "file", "detector", "record", "status", "message", "angle", "temperature", "q", "meanCountRate", "beta",
        "gammaMean", "gammaMeanErr", "zAverageRadius", "zAverageRadiusErr", "pdi", "mainPeakRadius", "mainPeakShare",
        "componentCount", "componentRadii", "componentAmplitudes", "quality"};
    return columns;
}

std::vector<TableCell> TableRow(const InputResult& r, const Options& o)
{
    std::vector<TableCell> row(TableColumns().size());
    row[0] = r.file;
    if (r.detector) row[1] = static_cast<long long>(*r.detector);
    if (r.record) row[2] = static_cast<long long>(*r.record);
    row[3] = std::string(StatusName(r.status));
    row[4] = r.message;
    if (r.m.PointCount() > 0) {
        const SampleParameters& p = r.m.Sample();
        row[5] = p.angleDeg;
        row[6] = p.temperatureK;
        if (auto q = physics::ScatteringVector(p)) row[7] = *q;
        if (const auto& h = r.m.File().instrument; h && !h->meanCountRateKHz.empty()) {
            double sum = 0.0;
            for (double v : h->meanCountRateKHz) sum += v;
            row[8] = sum / static_cast<double>(h->meanCountRateKHz.size());
        }
    }
    const quality::Report report = QualityOf(r, o);
    if (r.Ok()) {
        switch (SubjectOf(o.command)) {
        case quality::Subject::Cumulants: CumulantCells(row, r.m, report); break;
        case quality::Subject::Contin: ContinCells(row, r.m, report); break;
        case quality::Subject::Discrete: DiscreteCells(row, r.m, report); break;
        }
    }
    std::string codes;
    for (const quality::Flag& f : report.flags) codes += (codes.empty() ? "" : ";") + f.code;
    row[20] = codes;
    return row;
}

}  // namespace fluvena::batch
