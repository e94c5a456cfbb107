#pragma once
// Reads a DISCRETE listing by the product's fixed markers and offsets (CR LF
// line ends), built on the product's own text primitives. A minus sign in
// the column just before a 9-character field is the sign of that field.
#include "base/Text.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fluvena::discrete::test {

struct ReadComponent {
    double amplitude = 0, amplitudePercent = 0, rate = 0, ratePercent = 0;
};

struct ReadSolution {
    int count = 0;
    std::vector<ReadComponent> comps;
    double baseline = 0;
    double punc = 0;
};

struct ReadListing {
    bool table = false;      // "ALPHA +- STD ERR" anywhere
    bool uncertain = false;  // the sentence after the summary heading
    std::vector<ReadSolution> solutions;
    bool truncated = false;  // a marker or field missing
};

inline std::string ToCrLf(std::string_view lf) {
    std::string out;
    out.reserve(lf.size() + lf.size() / 40);
    for (std::size_t i = 0; i < lf.size(); ++i) {
        if (lf[i] == '\n' && (i == 0 || lf[i - 1] != '\r')) out += '\r';
        out += lf[i];
    }
    return out;
}

inline ReadListing ReadByOffsets(std::string_view t) {
    ReadListing r;
    r.table = FindFrom("ALPHA +- STD ERR", t, 0) != kNotFound;
    int count = 0;
    for (Pos p = FindFrom("WEIGHTED AVERAGE", t, 1); p != kNotFound; p = FindFrom("WEIGHTED AVERAGE", t, p + 1)) ++count;
    if (!r.table) return r;
    Pos pos = FindFrom("1DISCRETE", t, 10);
    r.uncertain = FindFrom("PROBABILITY THAT THIS SOLUTION IS ACTUALLY BEST IS ONLY", t, pos) != kNotFound;
    auto signedAt = [&](Pos p, Pos w) {
        double v = NumberAt(t, p, w);
        return (p > 0 && t[p - 1] == '-') ? -v : v;
    };
    auto fits = [&](Pos p, Pos w) { return p != kNotFound && static_cast<std::size_t>(p) + w <= t.size(); };
    for (int s = 0; s < count; ++s) {
        ReadSolution sol;
        pos = FindFrom("COMPONENTS", t, pos);
        if (pos == kNotFound || pos < 2) return r.truncated = true, r;
        sol.count = static_cast<int>(NumberAt(t, pos - 2, 1));
        pos = FindFrom("ALPHA +- STD ERR", t, pos);
        if (pos == kNotFound) return r.truncated = true, r;
        pos += 124;
        for (int j = 0; j < sol.count; ++j) {
            if (!fits(pos, 66)) return r.truncated = true, r;
            ReadComponent c;
            c.amplitude = signedAt(pos, 9);
            c.amplitudePercent = NumberAt(t, pos + 21, 8);
            c.rate = signedAt(pos + 37, 9);
            c.ratePercent = NumberAt(t, pos + 58, 8);
            sol.comps.push_back(c);
            Pos e = FindFrom("EXACT", t, pos), l = FindFrom("\n", t, pos);
            pos += (e != kNotFound && e < l) ? 130 : 91;
        }
        if (!fits(pos, 9)) return r.truncated = true, r;
        sol.baseline = signedAt(pos, 9);
        pos = FindFrom("PUNC", t, pos);
        if (!fits(pos, 12)) return r.truncated = true, r;
        sol.punc = signedAt(pos + 7, 5);
        r.solutions.push_back(sol);
    }
    return r;
}

}  // namespace fluvena::discrete::test
