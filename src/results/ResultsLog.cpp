#include "ResultsLog.h"

#include "base/Convert.h"
#include "base/Errors.h"
#include "base/NumberFormat.h"

#include <algorithm>
#include <cstddef>

namespace fluvena {

namespace {

constexpr int kContinLogPeaks = 5;
constexpr char kTab = '\t';
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

// How many entries of a record's component or peak arrays can be read: the
// stored count, never beyond the arrays themselves.
std::size_t Readable(std::int32_t count, std::initializer_list<std::size_t> sizes)
{
    std::size_t n = count > 0 ? static_cast<std::size_t>(count) : 0;
    for (std::size_t s : sizes) n = std::min(n, s);
    return n;
}

}  // namespace

LogClick ContinLogClick(Workspace& ws, bool memoEmpty, const LogInput& in)
{
    LogClick click;
    ws.LogCells.assign(kContinLogPeaks, std::string());

    if (memoEmpty) {
        std::string header = ParameterHeading(in);
        for (int k = 1; k <= kContinLogPeaks; ++k) {
            const std::string num = std::to_string(k);
            std::string& group = ws.LogCells[static_cast<std::size_t>(k - 1)];
            group = "Intensywn" + num + kTab + "Polozenie" + num + kTab + "Szerokosc" + num + kTab;
            header += group;
        }
        click.header = std::move(header);
    }

    const ContinSolution* rec = ws.ContinOnShow();
    if (!rec) {
        click.noResult = true;
        return click;
    }

    const std::size_t n = Readable(rec->peakCount, {rec->peakIntensity.size(), rec->peakPosition.size(),
                                                    rec->peakWidth.size()});
    const char sep = in.decimalSeparator;
    try {
        for (std::size_t k = 0; k < static_cast<std::size_t>(kContinLogPeaks); ++k) {
            std::string& group = ws.LogCells[k];
            if (k < n)
                group = Cell(rec->peakIntensity[k], Pattern::E4, sep) + Cell(rec->peakPosition[k], Pattern::E4, sep) +
                        Cell(rec->peakWidth[k], Pattern::E4, sep);
            else
                group = std::string(" ") + kTab + " " + kTab + " " + kTab;
        }
        std::string line = ValueCell(in);
        for (const std::string& group : ws.LogCells) line += group;
        click.line = std::move(line);
    } catch (const Error& e) {
        click.error = e.what();
    }
    return click;
}

LogClick DiscreteLogClick(Workspace& ws, bool memoEmpty, const LogInput& in)
{
    LogClick click;
    const std::size_t groups = ws.MaxComponents > 0 ? static_cast<std::size_t>(ws.MaxComponents) : 0;
    ws.LogCells.assign(groups, std::string());

    if (memoEmpty) {
        std::string header = ParameterHeading(in) + kDiscreteBaselineHeading + kTab;
        for (std::size_t k = 1; k <= groups; ++k) {
            const std::string num = std::to_string(k);
            std::string& group = ws.LogCells[k - 1];
            group = "Intensywn" + num + kTab + (in.rates ? "1/Czas" : "Czas") + num + kTab;
            header += group;
        }
        click.header = std::move(header);
    }

    const RozwiazanieDisc* rec = ws.DiscreteOnShow();
    if (!rec) {
        click.noResult = true;
        return click;
    }

    const std::size_t n = Readable(rec->componentCount, {rec->amplitude.size(), rec->rate.size()});
    const char sep = in.decimalSeparator;
    try {
        // The component cells come first: a zero rate ends the click here,
        // before the typed value is looked at.
        for (std::size_t k = 0; k < groups; ++k) {
            std::string& group = ws.LogCells[k];
            if (k < n) {
                const double b = in.rates ? rec->rate[k] : Divide(1.0, rec->rate[k]);
                group = Cell(rec->amplitude[k], Pattern::E4, sep) + Cell(b, Pattern::E4, sep);
            } else {
                group = std::string(" ") + kTab + " " + kTab;
            }
        }
        std::string line = ValueCell(in) + Cell(rec->baseline, Pattern::E3, sep);
        for (const std::string& group : ws.LogCells) line += group;
        click.line = std::move(line);
    } catch (const Error& e) {
        click.error = e.what();
    }
    return click;
}

}  // namespace fluvena
