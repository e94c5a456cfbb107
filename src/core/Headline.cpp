#include "core/Headline.h"

#include "base/Readable.h"
#include "core/Measurement.h"
#include "physics/Sizes.h"

#include <algorithm>
#include <cmath>

namespace fluvena {

namespace {

std::optional<double> RadiusOf(double decayTime, const SampleParameters& sample)
{
    const Outcome<physics::SizeEstimate> size = physics::SizeFromDecayTime(decayTime, 0.0, sample);
    return size ? std::optional<double>(size->radiusNm) : std::nullopt;
}

std::string Share(double share, char separator) { return Readable(std::round(share * 100.0), separator) + " %"; }

}  // namespace

std::optional<Headline> MakeHeadline(const Measurement& m, quality::Subject subject, const quality::Report& report)
{
    Headline h;
    h.subject = subject;
    h.noSize = report.noSize;
    h.warning = report.Worst() != quality::Severity::Note;
    const SampleParameters& sample = m.Sample();
    switch (subject) {
    case quality::Subject::Cumulants: {
        const CumulantResult* c = m.Cumulants();
        if (!c) return std::nullopt;
        h.pdi = c->fit.pdi;
        h.beta = c->fit.beta;
        if (const Outcome<physics::ZAverage> z = physics::ZAverageSize(c->fit.gammaMean, 0.0, sample); z && !h.noSize) {
            h.zRadiusNm = z->radiusNm;
            h.zDiameterNm = z->diameterNm;
        }
        return h;
    }
    case quality::Subject::Contin: {
        const ContinResult* c = m.Contin();
        if (!c || c->chosen >= c->solutions.size()) return std::nullopt;
        h.solution = c->chosen;
        const ContinSolution& s = c->solutions[c->chosen];
        double total = 0.0;
        for (const ContinPeak& p : s.peaks) total += std::max(p.intensity, 0.0);
        for (std::size_t k = 0; k < s.peaks.size(); ++k) {
            const ContinPeak& p = s.peaks[k];
            HeadlinePart part;
            part.share = total > 0.0 ? std::max(p.intensity, 0.0) / total : 0.0;
            part.noSize = h.noSize ? h.noSize : quality::PeakWithoutSize(p, report.lags, k + 1);
            if (!part.noSize) {
                part.radiusNm = RadiusOf(p.position, sample);
                if (p.harmonicPosition) part.harmonicRadiusNm = RadiusOf(*p.harmonicPosition, sample);
            }
            h.parts.push_back(part);
        }
        return h;
    }
    case quality::Subject::Discrete: {
        const DiscreteResult* d = m.Discrete();
        if (!d || d->solutions.empty()) return std::nullopt;
        const DiscreteSolution& s = d->solutions.front();
        double total = 0.0;
        for (const Component& c : s.components) total += std::max(c.amplitude, 0.0);
        // Fastest first, as CONTIN's peaks stand on the grid.
        std::vector<std::size_t> order(s.components.size());
        for (std::size_t k = 0; k < order.size(); ++k) order[k] = k;
        std::stable_sort(order.begin(), order.end(),
                         [&s](std::size_t a, std::size_t b) { return s.components[a].rate > s.components[b].rate; });
        for (const std::size_t k : order) {
            const Component& c = s.components[k];
            HeadlinePart part;
            part.share = total > 0.0 ? std::max(c.amplitude, 0.0) / total : 0.0;
            part.noSize = h.noSize ? h.noSize : quality::ComponentWithoutSize(c, report.lags, k + 1);
            if (!part.noSize && c.rate > 0.0) part.radiusNm = RadiusOf(1.0 / c.rate, sample);
            h.parts.push_back(part);
        }
        return h;
    }
    }
    return std::nullopt;
}

std::string HeadlineText(const Headline& h, char separator)
{
    const std::string dot = " \xC2\xB7 ";
    const auto size = [&](const HeadlinePart& p) {
        const std::string share = " (" + Share(p.share, separator) + ")";
        return (p.radiusNm ? Readable(*p.radiusNm, separator) + " nm" : std::string("no size")) + share;
    };
    const auto parts = [&]() {
        std::string out;
        for (const HeadlinePart& p : h.parts) out += (out.empty() ? "" : ", ") + size(p);
        return out.empty() ? std::string("no peak") : out;
    };
    switch (h.subject) {
    case quality::Subject::Cumulants: {
        std::string out = h.zRadiusNm ? "z-average " + Readable(*h.zRadiusNm, separator) + " nm (d " +
                                            Readable(*h.zDiameterNm, separator) + " nm)"
                                      : std::string("z-average: no size");
        out += dot + "PDI " + ReadableFixed(h.pdi, 2, separator);
        if (h.beta) out += dot + "\xCE\xB2 " + ReadableFixed(*h.beta, 2, separator);
        if (h.noSize) out += " (" + h.noSize->message() + ")";
        return out;
    }
    case quality::Subject::Contin: {
        std::string out = "chosen solution " + std::to_string(h.solution) + ": " + parts();
        if (h.noSize) out += " (no size: " + h.noSize->message() + ")";
        return out;
    }
    case quality::Subject::Discrete: {
        const std::size_t n = h.parts.size();
        std::string out = std::to_string(n) + (n == 1 ? " component: " : " components: ") + parts();
        if (h.noSize) out += " (no size: " + h.noSize->message() + ")";
        return out;
    }
    }
    return {};
}

}  // namespace fluvena
