#pragma once
// The DISCRETE listing: runs every data set of a deck and prints the report
// that the product reads back by fixed markers and columns. The summary of
// the solutions follows the second heading line that begins with
// "1DISCRETE"; each solution is a line ending in "<n> COMPONENTS", a table
// headed "ALPHA +- STD ERR" whose component rows begin 124 characters after
// that marker (CR LF line ends), the baseline row, and a line holding
// "WEIGHTED AVERAGE = * PUNC = x.xxx *". Those marker texts appear nowhere
// else in a listing.
#include "discrete/DeckReader.h"
#include "discrete/ExpFit.h"

#include <string>
#include <string_view>
#include <vector>

namespace fluvena::discrete {

// Everything the listing of one data set reports.
struct SetAnalysis {
    DataSet set;                  // as analysed (REGINT may have evened the abscissae)
    bool evenlySpaced = false;    // REGINT = T and the abscissae are evenly spaced
    double interval = 0;
    bool abscissaeEqual = false;  // nothing can be fitted
    std::vector<double> weights;  // of the final analysis, scaled to a largest of 1
    double weightScale = 1;       // the factor the weights were scaled by
    double errfit = 0;            // uncertainty term of the weights (IWT != 1)
    Analysis preliminary;         // unit-weight analysis behind the weights (IWT != 1)
    Analysis first;               // the analysis before REPEAT, when repeated
    bool repeated = false;
    Analysis analysis;            // the one listed
};

SetAnalysis AnalyseDataSet(DataSet set);

// The listing (LF line ends) for a whole input deck. Never throws.
std::string RunDeck(std::string_view deck);

// The percent error field of the listing, width characters (the others are
// engine::FormatE/FormatF).
std::string FormatPercent(double v, int width = 8);

// The component rows of the summary table (no line end): 89 characters, or
// 128 with the note that holds the word EXACT.
std::string ComponentRow(const Component& c);
std::string BaselineRow(double value, double error);

// Replaces control characters by blanks and writes the listing's marker texts
// in lower case, so echoed text cannot be mistaken for them.
std::string Sanitize(std::string_view text, std::size_t maxLength);

}  // namespace fluvena::discrete
