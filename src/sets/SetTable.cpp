#include "sets/SetTable.h"

#include "core/Headline.h"
#include "core/Quality.h"
#include "physics/Sizes.h"
#include "sets/Series.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <numbers>

namespace fluvena::sets {

namespace {

std::optional<double> MeanCountRate(const io::DataFile& file)
{
    std::vector<double> rates;
    if (file.instrument && !file.instrument->meanCountRateKHz.empty()) rates = file.instrument->meanCountRateKHz;
    else
        for (const std::vector<double>& channel : file.countRate.rateKHz) rates.insert(rates.end(), channel.begin(), channel.end());
    if (rates.empty()) return std::nullopt;
    double sum = 0.0;
    for (const double r : rates) sum += r;
    return sum / static_cast<double>(rates.size());
}

// The mean and sample standard deviation of the values the included
// members of a group have; empty with fewer than two.
std::optional<MeanSd> GroupMeanSd(std::span<const SetRow> rows, const RepeatGroup& group,
                                  std::optional<double> SetRow::*field)
{
    std::vector<double> v;
    for (const std::size_t k : group.members)
        if (rows[k].included && rows[k].*field && std::isfinite(*(rows[k].*field))) v.push_back(*(rows[k].*field));
    if (v.size() < 2) return std::nullopt;
    MeanSd out;
    out.count = static_cast<int>(v.size());
    for (const double x : v) out.mean += x / static_cast<double>(v.size());
    double ss = 0.0;
    for (const double x : v) ss += (x - out.mean) * (x - out.mean);
    out.sd = std::sqrt(ss / static_cast<double>(v.size() - 1));
    return out;
}

std::string Timestamp(double seconds)
{
    const auto s = static_cast<long long>(std::floor(seconds));
    const std::chrono::sys_days day{std::chrono::days{s >= 0 ? s / 86400 : (s - 86399) / 86400}};
    const std::chrono::year_month_day ymd{day};
    const long long inDay = s - static_cast<long long>(day.time_since_epoch().count()) * 86400;
    // Sized for the widest text of the argument types, not only of a real
    // date and time, so that nothing can ever be cut.
    char text[96];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u %02lld:%02lld:%02lld", static_cast<int>(ymd.year()),
                  static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()), inDay / 3600, inDay / 60 % 60,
                  inDay % 60);
    return text;
}

void AddFlags(const quality::Report& report, std::vector<std::string>& codes)
{
    for (const quality::Flag& f : report.flags)
        if (f.severity != quality::Severity::Note && std::find(codes.begin(), codes.end(), f.code) == codes.end())
            codes.push_back(f.code);
}

}  // namespace

std::optional<std::pair<double, double>> SetRow::Rate(RateSource source) const
{
    if (source == RateSource::Cumulants) {
        if (!gammaMean) return std::nullopt;
        return std::pair{*gammaMean, gammaMeanErr.value_or(0.0)};
    }
    if (!mainPeakRate) return std::nullopt;
    return std::pair{*mainPeakRate, mainPeakRateErr.value_or(0.0)};
}

SetRow MakeRow(const SetMember& member)
{
    const Measurement& m = member.measurement;
    const SampleParameters& sample = m.Sample();
    SetRow row;
    row.file = std::filesystem::path(member.path).filename().string();
    row.detector = member.detector;
    row.record = member.record;
    row.included = member.included;
    row.angleDeg = sample.angleDeg;
    row.temperatureK = sample.temperatureK;
    row.viscosityCp = sample.viscosityCp;
    if (const Outcome<double> q = physics::ScatteringVector(sample)) row.q = *q;
    row.meanCountRateKHz = MeanCountRate(m.File());
    row.userValue = member.userValue;
    if (const auto& h = m.File().instrument) {
        row.measuredAtS = MeasurementTime(h->date, h->time);
        row.reportedZAverageNm = h->reportedZAverageNm;
        row.reportedPdi = h->reportedPdi;
        row.reportedIntercept = h->reportedIntercept;
    }

    const quality::Report cumulantReport = quality::Assess(m, quality::Subject::Cumulants);
    AddFlags(cumulantReport, row.flags);
    if (const CumulantResult* c = m.Cumulants()) {
        row.beta = c->fit.beta;
        row.gammaMean = c->fit.gammaMean;
        row.gammaMeanErr = c->fit.gammaMeanErr;
        row.pdi = c->fit.pdi;
        const Outcome<physics::ZAverage> z = physics::ZAverageSize(c->fit.gammaMean, c->fit.gammaMeanErr, sample);
        if (z && !cumulantReport.noSize) {
            row.zRadiusNm = z->radiusNm;
            row.zRadiusErrNm = z->radiusErrNm;
        }
    }
    if (const ContinResult* c = m.Contin(); c && c->chosen < c->solutions.size()) {
        const quality::Report report = quality::Assess(m, quality::Subject::Contin);
        AddFlags(report, row.flags);
        const std::optional<Headline> h = MakeHeadline(m, quality::Subject::Contin, report);
        const ContinSolution& s = c->solutions[c->chosen];
        const std::optional<std::size_t> main = MainPeak(s);
        if (h && main && h->parts.size() == s.peaks.size()) {
            const ContinPeak& peak = s.peaks[*main];
            const HeadlinePart& part = h->parts[*main];
            row.mainPeakShare = part.share;
            if (part.harmonicRadiusNm && peak.harmonicPosition && *peak.harmonicPosition > 0.0) {
                row.mainPeakRadiusNm = part.harmonicRadiusNm;
                row.mainPeakRate = 1.0 / (*peak.harmonicPosition * SecondsPer(sample.timeUnit));
                row.mainPeakRateErr = *row.mainPeakRate * peak.harmonicPositionErr.value_or(0.0) / 100.0;
            }
        }
    }
    if (const DiscreteResult* d = m.Discrete(); d && !d->solutions.empty()) {
        const quality::Report report = quality::Assess(m, quality::Subject::Discrete);
        AddFlags(report, row.flags);
        if (const std::optional<Headline> h = MakeHeadline(m, quality::Subject::Discrete, report))
            for (const HeadlinePart& p : h->parts) row.components.push_back(ComponentSize{p.radiusNm, p.share});
    }
    // Dust raises a note or a warning; a repeat with either is marked.
    if (cumulantReport.Has("dust")) row.repeat = RepeatMark::Dust;
    return row;
}

std::vector<SetRow> MakeRows(const MeasurementSet& set)
{
    std::vector<SetRow> rows;
    std::vector<RepeatInput> inputs;
    for (const SetMember& member : set.Members()) {
        rows.push_back(MakeRow(member));
        const SetRow& r = rows.back();
        inputs.push_back(RepeatInput{r.angleDeg.value_or(0.0), r.temperatureK.value_or(0.0), r.gammaMean,
                                     r.repeat == RepeatMark::Dust});
    }
    const RepeatAnalysis repeats = AnalyseRepeats(inputs);
    for (std::size_t k = 0; k < rows.size(); ++k) {
        rows[k].repeat = repeats.marks[k];
        rows[k].group = repeats.groupOf[k];
    }
    for (const RepeatGroup& g : repeats.groups) {
        const std::optional<MeanSd> z = GroupMeanSd(rows, g, &SetRow::zRadiusNm);
        const std::optional<MeanSd> gamma = GroupMeanSd(rows, g, &SetRow::gammaMean);
        for (const std::size_t k : g.members) rows[k].groupZRadiusNm = z, rows[k].groupGammaMean = gamma;
    }
    return rows;
}

AnglePoints MakeAnglePoints(std::span<const SetRow> rows, RateSource source)
{
    AnglePoints out;
    for (std::size_t k = 0; k < rows.size(); ++k) {
        const auto rate = rows[k].Rate(source);
        if (!rows[k].q || !rate) continue;
        out.points.push_back(AnglePoint{*rows[k].q, rate->first, rate->second, rows[k].included});
        out.rowOf.push_back(k);
    }
    return out;
}

std::optional<RadiusAtZero> HydrodynamicRadius0(const AngleFit& fit, std::span<const SetRow> rows)
{
    const auto first = std::find_if(rows.begin(), rows.end(),
                                    [](const SetRow& r) { return r.included && r.temperatureK && r.viscosityCp; });
    if (first == rows.end() || !(fit.d0 > 0.0) || !(*first->viscosityCp > 0.0)) return std::nullopt;
    const double eta = *first->viscosityCp * 1e-3;  // cP -> Pa s
    const double radius = physics::kBoltzmann * *first->temperatureK / (6.0 * std::numbers::pi * eta * fit.d0);
    return RadiusAtZero{radius * 1e9, radius * 1e9 * fit.d0Err / fit.d0};
}

results::Table MakeTable(std::span<const SetRow> rows)
{
    using results::TableCell;
    std::size_t components = 0;
    for (const SetRow& r : rows) components = std::max(components, r.components.size());
    results::Table table;
    table.columns = {"file", "detector", "included", "angle", "temperature", "q", "q2", "meanCountRate", "beta",
                     "gammaMean", "gammaMeanErr", "zAverageRadius", "zAverageRadiusErr", "pdi", "mainPeakRadius",
                     "mainPeakShare", "reportedZAverage", "reportedPdi", "reportedIntercept"};
    for (std::size_t k = 1; k <= components; ++k) {
        table.columns.push_back("discrete" + std::to_string(k) + "Radius");
        table.columns.push_back("discrete" + std::to_string(k) + "Share");
    }
    table.columns.insert(table.columns.end(), {"flags", "repeat", "group", "groupCount", "groupMeanZAverageRadius",
                                               "groupSdZAverageRadius", "groupMeanGammaMean", "groupSdGammaMean",
                                               "measuredAt", "userValue"});
    const auto number = [](const std::optional<double>& v) { return v ? TableCell(*v) : TableCell(); };
    for (const SetRow& r : rows) {
        std::vector<TableCell>& cells = table.AddRow();
        std::size_t c = 0;
        cells[c++] = r.file;
        cells[c++] = r.detector ? TableCell(static_cast<long long>(*r.detector)) : TableCell();
        cells[c++] = static_cast<long long>(r.included ? 1 : 0);
        for (const std::optional<double>& v : {r.angleDeg, r.temperatureK, r.q, r.Q2(), r.meanCountRateKHz, r.beta,
                                               r.gammaMean, r.gammaMeanErr, r.zRadiusNm, r.zRadiusErrNm, r.pdi,
                                               r.mainPeakRadiusNm, r.mainPeakShare, r.reportedZAverageNm, r.reportedPdi,
                                               r.reportedIntercept})
            cells[c++] = number(v);
        for (std::size_t k = 0; k < components; ++k, c += 2) {
            if (k >= r.components.size()) continue;
            cells[c] = number(r.components[k].radiusNm);
            cells[c + 1] = r.components[k].share;
        }
        std::string flags;
        for (const std::string& f : r.flags) flags += (flags.empty() ? "" : "; ") + f;
        cells[c++] = flags;
        cells[c++] = std::string(r.repeat == RepeatMark::Outlier ? "outlier" : r.repeat == RepeatMark::Dust ? "dust" : "");
        cells[c++] = static_cast<long long>(r.group + 1);
        long long count = 0;
        for (const SetRow& other : rows) count += other.group == r.group && other.included ? 1 : 0;
        cells[c++] = count;
        for (const std::optional<MeanSd>& g : {r.groupZRadiusNm, r.groupGammaMean}) {
            cells[c++] = g ? TableCell(g->mean) : TableCell();
            cells[c++] = g ? TableCell(g->sd) : TableCell();
        }
        cells[c++] = r.measuredAtS ? TableCell(Timestamp(*r.measuredAtS)) : TableCell();
        cells[c++] = number(r.userValue);
    }
    return table;
}

}  // namespace fluvena::sets
