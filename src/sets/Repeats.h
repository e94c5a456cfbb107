#pragma once
// Repeats: measurements of one sample at one angle and temperature. They
// should agree within their errors; a group's mean and standard deviation
// weight the angle fit, and a repeat far from the others is marked for the
// user to judge (it is never dropped here).
//
// Outliers by the median absolute deviation (Hampel's rule; Leys et al.,
// J. Exp. Soc. Psychol. 49 (2013) 764): a value is marked when
//     |x - median| > 3 * 1.4826 * MAD,
// 1.4826 making the MAD a consistent estimate of the standard deviation of a
// normal sample. A repeat whose count rate holds dust is marked too.
#include <optional>
#include <span>
#include <vector>

namespace fluvena::sets {

struct RepeatInput {
    double angleDeg = 0.0;
    double temperatureK = 0.0;
    std::optional<double> value;  // the compared result (e.g. the mean rate); empty: none
    bool dust = false;            // the count-rate trace holds a dust spike
};

enum class RepeatMark { None, Outlier, Dust };

struct RepeatGroup {
    double angleDeg = 0.0, temperatureK = 0.0;  // of the group's first member
    std::vector<std::size_t> members;            // indices into the input, in input order
    int values = 0;                              // members with a value
    double mean = 0.0, standardDeviation = 0.0;  // over the members with a value (sd: n - 1)
    double median = 0.0, robustSd = 0.0;         // median and 1.4826 MAD
};

struct RepeatAnalysis {
    std::vector<RepeatGroup> groups;  // in the order of their first member
    std::vector<std::size_t> groupOf;  // the group of each input
    std::vector<RepeatMark> marks;     // one per input
};

// Angles within `angleTolDeg` and temperatures within `temperatureTolK` of a
// group's first member join that group.
RepeatAnalysis AnalyseRepeats(std::span<const RepeatInput> inputs, double angleTolDeg = 0.05,
                              double temperatureTolK = 0.2);

}  // namespace fluvena::sets
