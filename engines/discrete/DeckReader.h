#pragma once
// Reads DISCRETE input decks: a title card, a card of nine T/F switches and
// three whole numbers (NLAMMX, IWT, MTRY) separated by blanks, the number of
// points N, then N abscissae and N ordinates (one or several values a line).
// The ordinates may be followed by a WEIGHTS card and N weights.
// A deck may hold several data sets; a set whose LAST switch is F is followed
// by another one.
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fluvena::discrete {

enum Switch : std::size_t { kLast, kRegint, kNobase, kNoneg, kPry, kPrprel, kPrfinl, kPlotrs, kRepeat, kSwitchCount };

inline constexpr int kMaxComponents = 9;
inline constexpr int kMaxTries = 45;
inline constexpr int kMaxPoints = 4096;

struct DataSet {
    std::string title;
    std::string controlCard;  // card 2 as read, for the echo
    std::array<bool, kSwitchCount> sw{};
    int nlammx = 0;
    int iwt = 0;
    int mtry = 0;
    std::vector<double> t;
    std::vector<double> y;
    std::vector<double> weights;  // from a WEIGHTS card after the ordinates; empty: the IWT rule
};

// The card, after the ordinates, that gives the points' least-squares
// weights (N values follow it). They take the place of the IWT rule.
inline constexpr std::string_view kWeightsCard = "WEIGHTS";

// A data set that cannot be analysed: the cards to echo and why.
struct Rejection {
    std::string title;
    std::vector<std::string> echo;  // the offending card(s) as read
    std::string reason;             // one line, upper case
};

struct ReadOutcome {
    std::optional<DataSet> set;        // exactly one of set / rejection
    std::optional<Rejection> rejection;
    std::string rest;                  // the text after this data set
};

// Reads one data set from the start of text.
ReadOutcome ReadDataSet(std::string_view text);

// True when text holds only blanks and line ends.
bool IsBlank(std::string_view text);

}  // namespace fluvena::discrete
