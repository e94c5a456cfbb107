#include "ResultsLog.h"

#include "base/Convert.h"
#include "base/Errors.h"
#include "base/NumberFormat.h"
#include "physics/Sizes.h"

#include <algorithm>
#include <cstddef>

namespace fluvena {

namespace {

constexpr int kContinLogPeaks = 5;
constexpr char kTab = '\t';
// "Z-średnia" in Windows-1250.
constexpr const char* kZAverageHeading = "Z-\x9Crednia";
// "Skł.  stała" in Windows-1250.
constexpr const char* kDiscreteBaselineHeading = "Sk\xB3.  sta\xB3" "a";

std::string ParameterHeading(const LogInput& in) { return (in.inverse ? "1/" : "") + in.paramName + kTab; }

// The first cell of a data line: the typed value (or 1000 over it) with two
// decimals. Throws ConversionError / FloatError as the click would.
std::string ValueCell(const LogInput& in)
{
    double v = StrToFloat(in.value, in.decimalSeparator);
    if (in.inverse) v = Divide(1000.0, v);
    return FormatFloat(v, Pattern::F2, in.decimalSeparator) + kTab;
}

std::string Cell(double value, Pattern pattern, char sep) { return FormatFloat(value, pattern, sep) + kTab; }

}  // namespace

LogClick ContinLogClick(const ContinSolution* onShow, bool memoEmpty, const LogInput& in)
{
    LogClick click;
    if (memoEmpty) {
        std::string header = ParameterHeading(in);
        for (int k = 1; k <= kContinLogPeaks; ++k) {
            const std::string num = std::to_string(k);
            header += "Intensywn" + num + kTab + "Polozenie" + num + kTab + "Szerokosc" + num + kTab;
        }
        click.header = std::move(header);
    }
    if (!onShow) {
        click.noResult = true;
        return click;
    }

    const char sep = in.decimalSeparator;
    try {
        std::string line = ValueCell(in);
        for (std::size_t k = 0; k < static_cast<std::size_t>(kContinLogPeaks); ++k) {
            if (k < onShow->peaks.size()) {
                const ContinPeak& p = onShow->peaks[k];
                line += Cell(p.intensity, Pattern::E4, sep) + Cell(p.position, Pattern::E4, sep) +
                        Cell(p.width, Pattern::E4, sep);
            } else {
                line += std::string(" ") + kTab + " " + kTab + " " + kTab;
            }
        }
        click.line = std::move(line);
    } catch (const Error& e) {
        click.error = e.what();
    }
    return click;
}

LogClick DiscreteLogClick(const DiscreteSolution* onShow, std::size_t groups, bool memoEmpty, const LogInput& in)
{
    LogClick click;
    if (memoEmpty) {
        std::string header = ParameterHeading(in) + kDiscreteBaselineHeading + kTab;
        for (std::size_t k = 1; k <= groups; ++k) {
            const std::string num = std::to_string(k);
            header += "Intensywn" + num + kTab + (in.rates ? "1/Czas" : "Czas") + num + kTab;
        }
        click.header = std::move(header);
    }
    if (!onShow) {
        click.noResult = true;
        return click;
    }

    const char sep = in.decimalSeparator;
    try {
        // The component cells come first: a zero rate ends the click here,
        // before the typed value is looked at.
        std::string cells;
        for (std::size_t k = 0; k < groups; ++k) {
            if (k < onShow->components.size()) {
                const Component& c = onShow->components[k];
                const double b = in.rates ? c.rate : Divide(1.0, c.rate);
                cells += Cell(c.amplitude, Pattern::E4, sep) + Cell(b, Pattern::E4, sep);
            } else {
                cells += std::string(" ") + kTab + " " + kTab;
            }
        }
        click.line = ValueCell(in) + Cell(onShow->baseline, Pattern::E3, sep) + cells;
    } catch (const Error& e) {
        click.error = e.what();
    }
    return click;
}

LogClick CumulantLogClick(const CumulantResult* onShow, const SampleParameters& sample, bool memoEmpty,
                          const LogInput& in)
{
    LogClick click;
    if (memoEmpty)
        click.header = ParameterHeading(in) + kZAverageHeading + kTab + "PDI" + kTab + "Gamma" + kTab + "Beta" + kTab;
    if (!onShow) {
        click.noResult = true;
        return click;
    }
    const Outcome<physics::ZAverage> z = physics::ZAverageSize(onShow->fit.gammaMean, onShow->fit.gammaMeanErr, sample);
    if (!z) {
        click.error = z.failure().message();
        return click;
    }
    const char sep = in.decimalSeparator;
    try {
        click.line = ValueCell(in) + Cell(z->diameterNm, Pattern::E4, sep) + Cell(onShow->fit.pdi, Pattern::E4, sep) +
                     Cell(onShow->fit.gammaMean, Pattern::E4, sep) + Cell(onShow->fit.beta, Pattern::E4, sep);
    } catch (const Error& e) {
        click.error = e.what();
    }
    return click;
}

}  // namespace fluvena
