#pragma once
// Where the listings put what Fluvena reads back: the marker texts, the row
// lengths and the field offsets of the CONTIN and DISCRETE listings. The
// bundled engines write their listings to this geometry and the product's
// listing readers read them (and the reference programs' listings) by it, so
// the two cannot drift apart. Positions count characters of the listing with
// CR LF line ends, as the product reads it.
#include <cstdint>
#include <string_view>

namespace fluvena::listing {

// A fixed-width field: where it starts relative to an anchor, how wide it is.
struct Field {
    std::int64_t offset;
    std::int64_t width;
};

namespace contin {

// A deck CONTIN refused: the line holding this says why.
inline constexpr std::string_view kRejected = "CHECK USERS GUIDE";
// Heads every fit table: one per solution, and one more for the final printout.
inline constexpr std::string_view kFitTable = "ORDINATES LISTED ARE FIT VALUES";
// Heads the line of values (ALPHA ... PROB2 TO REJECT) of every solution.
inline constexpr std::string_view kProb1 = "PROB1 TO REJECT";
// Heads the moment table of every peak.
inline constexpr std::string_view kMoment = "MOMENT(J)";
// Closes a solution's peak analysis.
inline constexpr std::string_view kPeaksEnd = "FOR ALPHA/S(1)";
// Starts a solution's fit table.
inline constexpr std::string_view kPlot = "0PLOT OF DATA";
// The heading of the final printout of the chosen solution (the date of the
// listing format).
inline constexpr std::string_view kFinalHeading = "MAR 1984";

// Rows of the tables: 131 characters and CR LF.
inline constexpr std::int64_t kRowLength = 131;
inline constexpr std::int64_t kRow = kRowLength + 2;

// From kProb1: the solution's PROB1 TO REJECT, and the first distribution row.
inline constexpr Field kProb1Value{135, 5};
inline constexpr std::int64_t kFirstDistributionRow = 199;
// In a distribution row: the ordinate, its error, the abscissa.
inline constexpr Field kDistY{0, 9}, kDistErr{11, 7}, kDistX{20, 8};

// From kMoment: the peak's row of M(0), whose figures are read from there.
inline constexpr std::int64_t kMomentRow = 211;
// From that row: M(0) printed as mantissa and power of ten, its percent
// error, M(1)/M(0) and its percent error, (STD. DEV.)/MEAN.
inline constexpr Field kIntensityMantissa{0, 6}, kIntensityExponent{14, 4}, kIntensityErr{28, 7};
inline constexpr Field kPosition{175, 10}, kPositionErr{194, 7}, kWidth{243, 7};
// In the M(0) row: M(0)/M(-1), the decay time of the mean rate, and its
// percent error.
inline constexpr Field kHarmonic{46, 10}, kHarmonicErr{65, 7};
// From kMoment, back to the heading's "GOES FROM x TO y" of a peak.
inline constexpr Field kPeakFrom{-37, 10}, kPeakTo{-23, 10};

// The distance from the first kMoment to kPeaksEnd tells the peak count: 679
// for one peak, 2145 for two and 732 more for every further peak.
inline constexpr std::int64_t kOnePeak = 679, kTwoPeaks = 2145, kPerFurtherPeak = 732;

// From kPlot: the first fit row; in a fit row the fitted value and the abscissa.
inline constexpr std::int64_t kFirstFitRow = 103;
inline constexpr Field kFitY{0, 9}, kFitX{11, 8};

}  // namespace contin

namespace discrete {

// A deck DISCRETE refused: the line holding this says why.
inline constexpr std::string_view kRejected = "ERRONEOUS CARD IMAGE";
// Heads the component table of every solution.
inline constexpr std::string_view kTable = "ALPHA +- STD ERR";
// Closes every solution of the summary: its count is the solution count.
inline constexpr std::string_view kSolutionEnd = "WEIGHTED AVERAGE";
// The title line; the summary follows its second occurrence.
inline constexpr std::string_view kTitle = "1DISCRETE";
inline constexpr std::string_view kUncertain = "PROBABILITY THAT THIS SOLUTION IS ACTUALLY BEST IS ONLY";
// Ends the line that names a solution's component count.
inline constexpr std::string_view kComponents = "COMPONENTS";
inline constexpr std::string_view kPunc = "PUNC";
// On the best solution's heading line, after its component count: the number
// of solutions the summary lists, written before this marker. A listing that
// does not state it lists the component counts 1 ... n once each.
inline constexpr std::string_view kListed = "SOLUTIONS LISTED";
// Marks a component row that carries the note about an exact fit.
inline constexpr std::string_view kExact = "EXACT";

// Component rows: 89 characters, 128 with the EXACT note, and CR LF.
inline constexpr std::int64_t kRowLength = 89, kExactRowLength = 128;
inline constexpr std::int64_t kRow = kRowLength + 2, kExactRow = kExactRowLength + 2;
// From kTable: the first component row.
inline constexpr std::int64_t kFirstRow = 124;
// In a component row (and the baseline row): amplitude, its percent error,
// rate, its percent error. A negative value's minus sign stands in the column
// before its field.
inline constexpr Field kAmplitude{0, 9}, kAmplitudeErr{21, 8}, kRate{37, 9}, kRateErr{58, 8};
// From kPunc: its value.
inline constexpr Field kPuncValue{7, 5};

}  // namespace discrete

}  // namespace fluvena::listing
