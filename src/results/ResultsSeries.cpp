#include "results/ResultsSeries.h"

#include <charconv>
#include <string_view>

namespace fluvena {

namespace {

// A cell of a data line: blank (a missing group) or a number with either
// decimal separator.
bool DataCell(std::string_view cell)
{
    if (cell.empty() || cell == " ") return true;
    std::string number(cell);
    for (char& c : number)
        if (c == ',') c = '.';
    double v = 0.0;
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), v);
    return ec == std::errc() && end == number.data() + number.size();
}

// A header labels columns: a line of at least two cells, one of them text.
// (A line of one cell, a note of the user's, labels nothing.)
bool IsHeader(std::string_view line)
{
    if (line.find('\t') == std::string_view::npos) return false;
    std::size_t start = 0;
    while (true) {
        const std::size_t tab = line.find('\t', start);
        const std::size_t end = tab == std::string_view::npos ? line.size() : tab;
        if (!DataCell(line.substr(start, end - start))) return true;
        if (tab == std::string_view::npos) return false;
        start = tab + 1;
    }
}

// Two headers label their common columns alike when one begins with the
// other: a DISCRETE header of more component groups only adds groups.
bool SameLabels(const std::string& a, const std::string& b)
{
    return a.size() <= b.size() ? b.compare(0, a.size(), a) == 0 : a.compare(0, b.size(), b) == 0;
}

}  // namespace

ResultsSeries::ResultsSeries(std::vector<std::string> lines) : lines_(std::move(lines))
{
    for (const std::string& line : lines_)
        if (IsHeader(line)) header_ = line;
}

ResultsSeries::Step ResultsSeries::Apply(const LogClick& click)
{
    Step step;
    // A header starts the series, and a new block where the block's header
    // would label the line otherwise (lines under no header of ours get none,
    // as they always did).
    if (click.header && (lines_.empty() || (header_ && !SameLabels(*header_, *click.header)))) {
        lines_.push_back(*click.header);
        header_ = *click.header;
        step.added.push_back(*click.header);
    }
    if (click.error) {
        step.error = click.error;
        return step;
    }
    if (click.line) {
        lines_.push_back(*click.line);
        step.added.push_back(*click.line);
    }
    step.noResult = click.noResult;
    return step;
}

ResultsSeries::Step ResultsSeries::RecordContin(const ContinSolution* onShow, const LogInput& in)
{
    return Apply(ContinLogClick(onShow, true, in));
}

ResultsSeries::Step ResultsSeries::RecordDiscrete(const DiscreteSolution* onShow, std::size_t groups, const LogInput& in)
{
    return Apply(DiscreteLogClick(onShow, groups, true, in));
}

ResultsSeries::Step ResultsSeries::RecordCumulants(const CumulantResult* onShow, const SampleParameters& sample,
                                                   const LogInput& in)
{
    return Apply(CumulantLogClick(onShow, sample, true, in));
}

}  // namespace fluvena
