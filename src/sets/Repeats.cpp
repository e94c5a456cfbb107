#include "Repeats.h"

#include <algorithm>
#include <cmath>

namespace fluvena::sets {

namespace {

double Median(std::vector<double> v)
{
    const std::size_t n = v.size();
    std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(n / 2), v.end());
    const double upper = v[n / 2];
    if (n % 2 == 1) return upper;
    return 0.5 * (upper + *std::max_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(n / 2)));
}

void Summarise(RepeatGroup& g, std::span<const RepeatInput> inputs)
{
    std::vector<double> v;
    for (std::size_t i : g.members)
        if (inputs[i].value) v.push_back(*inputs[i].value);
    g.values = static_cast<int>(v.size());
    if (v.empty()) return;
    double sum = 0;
    for (double x : v) sum += x;
    g.mean = sum / static_cast<double>(v.size());
    double ss = 0;
    for (double x : v) ss += (x - g.mean) * (x - g.mean);
    g.standardDeviation = v.size() > 1 ? std::sqrt(ss / static_cast<double>(v.size() - 1)) : 0.0;
    g.median = Median(v);
    std::vector<double> dev;
    for (double x : v) dev.push_back(std::fabs(x - g.median));
    g.robustSd = 1.4826 * Median(dev);
}

}  // namespace

RepeatAnalysis AnalyseRepeats(std::span<const RepeatInput> inputs, double angleTolDeg, double temperatureTolK)
{
    RepeatAnalysis out;
    out.groupOf.resize(inputs.size());
    out.marks.assign(inputs.size(), RepeatMark::None);
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        const RepeatInput& in = inputs[i];
        auto g = std::find_if(out.groups.begin(), out.groups.end(), [&](const RepeatGroup& grp) {
            return std::fabs(grp.angleDeg - in.angleDeg) <= angleTolDeg &&
                   std::fabs(grp.temperatureK - in.temperatureK) <= temperatureTolK;
        });
        if (g == out.groups.end()) {
            out.groups.push_back(RepeatGroup{in.angleDeg, in.temperatureK, {}, 0, 0, 0, 0, 0});
            g = std::prev(out.groups.end());
        }
        g->members.push_back(i);
        out.groupOf[i] = static_cast<std::size_t>(g - out.groups.begin());
    }
    for (RepeatGroup& g : out.groups) {
        Summarise(g, inputs);
        for (std::size_t i : g.members) {
            if (inputs[i].dust) {
                out.marks[i] = RepeatMark::Dust;
                continue;
            }
            // Three values are the fewest that can single one out; a MAD of 0
            // (most repeats identical) marks any that differ at all.
            if (g.values < 3 || !inputs[i].value) continue;
            const double dev = std::fabs(*inputs[i].value - g.median);
            const double limit = 3.0 * g.robustSd;
            if (g.robustSd > 0 ? dev > limit : dev > 1e-12 * std::fabs(g.median))
                out.marks[i] = RepeatMark::Outlier;
        }
    }
    return out;
}

}  // namespace fluvena::sets
