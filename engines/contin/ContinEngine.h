#pragma once
// The bundled CONTIN engine: reads a control deck, inverts the data by
// constrained regularization on a logarithmic grid and prints a listing whose
// tables sit in the fixed columns the product's listing reader expects.
#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace fluvena::contin {

// ---------------------------------------------------------------- the deck

struct Deck {
    std::string title;
    // Control values after the cards (defaults where a card is absent).
    int ng = 0;
    std::array<double, 2> gmnmx{0.0, 0.0};
    int nlinf = 0;
    int norder = 2;
    std::array<int, 2> nendz{2, 2};
    bool dousnq = true;
    bool signalRegularizer = false;   // SIGREG 1: second differences of the signal, not of the density
    std::array<double, 101> ruser{};  // 1-based; RUSER(21..23) default to the kernel exp(-t/g)
    std::array<int, 51> iuser{};      // 1-based
    std::array<bool, 31> luser{};     // 1-based
    std::vector<double> t;            // abscissae
    std::vector<double> y;            // ordinates
    std::vector<double> w;            // least-squares weights (IWT 4), 1/variance up to a factor; empty: all 1
    Deck();
};

struct DeckResult {
    bool ok = false;
    Deck deck;
    std::vector<std::string> echo;  // listing lines echoing the cards as they were read
    std::string errorCard;          // the card that made the deck unusable
    std::string errorText;          // what is wrong with it
};

// Reads a whole deck. Never throws for any input; a deck that cannot give a
// meaningful result comes back with ok false, errorCard and errorText set.
DeckResult ReadDeck(std::string_view input);

// One field descriptor of a Fortran format after repeat counts are expanded.
struct FormatItem {
    enum Kind { Field, Skip, NewRecord } kind = Field;
    int width = 0;
};

// Parses a format such as "(F30.10)", "(5E15.6)" or "(2(1X,F10.3),/)" into
// the flat list of its items. False when the text is not a format of F, E,
// D, G, X and / items, when it has no data field, or when it expands beyond
// a sane size.
bool ParseFortranFormat(std::string_view text, std::vector<FormatItem>& items);

// -------------------------------------------------------------- the solver

struct Moments {
    int first = 0, last = 0;              // grid range of the peak
    std::array<double, 5> m{};            // M(J), J = -1 ... 3
    std::array<double, 5> mErr{};         // percent errors of M(J)
    std::array<double, 5> ratio{};        // M(J)/M(J-1), J = 0 ... 3 (index J+1; entry 0 unused)
    std::array<double, 5> ratioErr{};     // percent errors of the ratios
    double sdOverMean = 0.0;              // (STD. DEV.)/MEAN
};

struct Solution {
    double alpha = 0.0;
    double alphaRatio = 0.0;  // ALPHA/S(1)
    double objective = 0.0;   // V + alpha^2 |R s|^2
    double variance = 0.0;    // V, the sum of squared residuals
    double stdDev = 0.0;      // sqrt(V / (NY - N_DF))
    double degFreedom = 0.0;  // N_DF
    double prob1 = 0.0;
    double prob2 = 0.0;
    bool reference = false;
    std::vector<double> s;     // solution on the grid
    std::vector<double> sErr;  // standard errors
    double baseline = 0.0, baselineErr = 0.0;
    std::vector<double> fit;   // fitted value at every data point
    std::vector<Moments> peaks;
    Moments entire;
    double pruns = 0.0;
    std::array<double, 5> puncor{};
};

struct Result {
    std::vector<double> g;  // grid
    std::vector<double> c;  // quadrature weights
    std::vector<double> singularValues;  // of the standard form of the whole problem
    std::vector<Solution> solutions;      // in the order computed
    std::vector<double> skippedRatios;    // ALPHA/S(1) below the reference solution where the constrained step gave up
    int chosen = 0;
};

// Runs the whole analysis of a deck that was read successfully: the alpha
// scan refines toward PROB1 TO REJECT = targetProb1 and chooses the solution
// nearest it (0.5 for every listing; other values let a solution be compared
// with a listing whose scan stopped elsewhere). Throws std::runtime_error
// when the kernel cannot be evaluated for the data.
Result Solve(const Deck& deck, double targetProb1 = 0.5);

// The reference solution (at referenceRatio when it is positive, else where
// the engine puts it), then one solution at each given ALPHA/S(1), in that
// order; the chosen one has PROB1 nearest 0.5. Lets solutions be compared
// with a listing's at the same smoothing.
Result SolveAt(const Deck& deck, const std::vector<double>& ratios, double referenceRatio = 0.0);

// Splits a solution into peaks at its minima and runs of zeros; the ranges
// cover the grid. Returns [first, last] index pairs.
std::vector<std::pair<int, int>> SplitPeaks(const std::vector<double>& s);

// ------------------------------------------------------------- the listing

// The complete listing for a deck text. Never throws. When computed is
// given, it receives the analysis the listing shows (empty on rejection).
std::string RunContin(std::string_view input, Result* computed = nullptr);

}  // namespace fluvena::contin
