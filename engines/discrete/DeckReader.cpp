#include "discrete/DeckReader.h"

#include "common/FortranNumbers.h"

#include <optional>
#include <string>

namespace fluvena::discrete {
namespace {

constexpr const char* kSwitchNames[kSwitchCount] = {"LAST", "REGINT", "NOBASE", "NONEG", "PRY",
                                                    "PRPREL", "PRFINL", "PLOTRS", "REPEAT"};

// Line-by-line reading of a deck: a line ends at LF, a CR before it is dropped.
class Cards {
public:
    explicit Cards(std::string_view text) : text_(text) {}
    bool AtEnd() const { return pos_ >= text_.size(); }
    std::size_t Offset() const { return pos_; }
    int Number() const { return number_; }
    std::string_view Next() {
        std::size_t end = text_.find('\n', pos_);
        std::string_view line = end == std::string_view::npos ? text_.substr(pos_) : text_.substr(pos_, end - pos_);
        pos_ = end == std::string_view::npos ? text_.size() : end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        ++number_;
        return line;
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
    int number_ = 0;
};

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; }

std::vector<std::string_view> Tokens(std::string_view line) {
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && IsSpace(line[i])) ++i;
        std::size_t start = i;
        while (i < line.size() && !IsSpace(line[i])) ++i;
        if (i > start) out.push_back(line.substr(start, i - start));
    }
    return out;
}

std::string Quoted(std::string_view token) {
    std::string s(token.substr(0, 40));
    if (token.size() > 40) s += "...";
    return "'" + s + "'";
}

}  // namespace

bool IsBlank(std::string_view text) {
    for (char c : text)
        if (!IsSpace(c) && c != '\n') return false;
    return true;
}

namespace {

// Why a set cannot be read: the cards to echo and the reason.
struct Fault {
    std::vector<std::string> echo;
    std::string reason;
};

// Card 2: nine switches T or F in columns 1-9, then NLAMMX, IWT and MTRY.
std::optional<Fault> ReadControlCard(std::string_view card2, DataSet& ds) {
    const std::vector<std::string> echo2{std::string(card2)};
    if (card2.size() < kSwitchCount)
        return Fault{echo2, "ERRONEOUS CARD IMAGE - NINE SWITCHES T OR F EXPECTED IN COLUMNS 1-9"};
    for (std::size_t k = 0; k < kSwitchCount; ++k) {
        char c = card2[k];
        if (c != 'T' && c != 'F')
            return Fault{echo2, "ERRONEOUS CARD IMAGE - SWITCH " + std::to_string(k + 1) + " (" + kSwitchNames[k] +
                                    ") IN COLUMN " + std::to_string(k + 1) + " IS NOT T OR F"};
        ds.sw[k] = c == 'T';
    }
    std::vector<std::string_view> numbers = Tokens(card2.substr(kSwitchCount));
    if (numbers.size() != 3)
        return Fault{echo2, "ERRONEOUS CARD IMAGE - THREE WHOLE NUMBERS NLAMMX, IWT, MTRY EXPECTED AFTER THE SWITCHES"};
    const char* names[3] = {"NLAMMX", "IWT", "MTRY"};
    int* targets[3] = {&ds.nlammx, &ds.iwt, &ds.mtry};
    for (int k = 0; k < 3; ++k)
        if (!engine::ParseWholeNumber(numbers[k], *targets[k]))
            return Fault{echo2, std::string("ERRONEOUS CARD IMAGE - ") + names[k] + " = " + Quoted(numbers[k]) +
                                    " IS NOT A WHOLE NUMBER"};
    if (ds.nlammx < 1 || ds.nlammx > kMaxComponents)
        return Fault{echo2, "ERRONEOUS CARD IMAGE - NLAMMX = " + std::to_string(ds.nlammx) + " IS OUTSIDE 1 ... 9"};
    if (ds.iwt != 1 && ds.iwt != 2 && ds.iwt != 3 && ds.iwt != -2 && ds.iwt != -3)
        return Fault{echo2, "ERRONEOUS CARD IMAGE - IWT = " + std::to_string(ds.iwt) +
                                " IS IMPROPER (ALLOWED 1, 2, 3, -2, -3; WEIGHTS READ FROM THE DECK ARE NOT SUPPORTED)"};
    if (ds.mtry < 1 || ds.mtry > kMaxTries)
        return Fault{echo2, "ERRONEOUS CARD IMAGE - MTRY = " + std::to_string(ds.mtry) + " IS OUTSIDE 1 ... 45"};
    return std::nullopt;
}

// Card 3: the number of points N, at least 2 NLAMMX + 3.
std::optional<Fault> ReadPointCount(std::string_view card2, std::string_view card3, const DataSet& ds, int& n) {
    const std::vector<std::string> echo3{std::string(card2), std::string(card3)};
    std::vector<std::string_view> nTokens = Tokens(card3);
    if (nTokens.size() != 1 || !engine::ParseWholeNumber(nTokens[0], n))
        return Fault{echo3, "ERRONEOUS CARD IMAGE - THE NUMBER OF POINTS N MUST BE ONE WHOLE NUMBER"};
    const int nMin = 2 * ds.nlammx + 3;
    if (n < nMin || n > kMaxPoints)
        return Fault{echo3, "ERRONEOUS CARD IMAGE - N = " + std::to_string(n) + " IS OUTSIDE " + std::to_string(nMin) +
                                " ... " + std::to_string(kMaxPoints) + " (AT LEAST 2*NLAMMX+3 POINTS ARE NEEDED)"};
    return std::nullopt;
}

// Up to count numbers from the cards that follow, one or several a card;
// surplus on the last card is ignored. Weights must be positive and finite.
std::optional<Fault> ReadNumbers(Cards& cards, std::size_t count, bool weights, std::vector<double>& values) {
    values.clear();
    values.reserve(count);
    while (values.size() < count && !cards.AtEnd()) {
        std::string_view line = cards.Next();
        for (std::string_view tok : Tokens(line)) {
            if (values.size() == count) break;
            double v = 0;
            const bool number = engine::ParseFortranNumber(tok, v);
            if (!weights && !number)
                return Fault{{std::string(line)}, "ERRONEOUS CARD IMAGE - CARD " + std::to_string(cards.Number()) +
                                                      ": " + Quoted(tok) + " IS NOT A NUMBER"};
            if (weights && (!number || !(v > 0) || !(v < 1e100)))
                return Fault{{std::string(line)}, "ERRONEOUS CARD IMAGE - CARD " + std::to_string(cards.Number()) +
                                                      ": WEIGHT " + Quoted(tok) + " IS NOT A POSITIVE NUMBER"};
            values.push_back(v);
        }
    }
    return std::nullopt;
}

// This engine's own card: WEIGHTS after the ordinates (blank lines may come
// between), then N weights (inverse variances up to a common factor).
bool WeightsCardFollows(Cards& cards) {
    Cards after = cards;
    while (!after.AtEnd()) {
        const std::vector<std::string_view> tokens = Tokens(after.Next());
        if (tokens.empty()) continue;
        if (tokens.size() != 1 || tokens[0] != kWeightsCard) return false;
        cards = after;
        return true;
    }
    return false;
}

}  // namespace

ReadOutcome ReadDataSet(std::string_view text) {
    ReadOutcome out;
    Cards cards(text);
    auto reject = [&](Fault fault) {
        Rejection r;
        r.title = out.set ? out.set->title : std::string();
        r.echo = std::move(fault.echo);
        r.reason = std::move(fault.reason);
        out.rejection = std::move(r);
        out.set.reset();
        out.rest.clear();  // nothing after a broken set can be placed reliably
        return out;
    };

    out.set.emplace();
    DataSet& ds = *out.set;
    if (cards.AtEnd()) return reject({{}, "EMPTY INPUT - NO TITLE CARD"});
    ds.title = std::string(cards.Next());

    if (cards.AtEnd())
        return reject({{}, "ERRONEOUS CARD IMAGE - THE CARD OF SWITCHES AND NLAMMX, IWT, MTRY IS MISSING"});
    std::string_view card2 = cards.Next();
    ds.controlCard = std::string(card2);
    if (std::optional<Fault> f = ReadControlCard(card2, ds)) return reject(std::move(*f));

    if (cards.AtEnd())
        return reject({{std::string(card2)}, "ERRONEOUS CARD IMAGE - THE CARD WITH THE NUMBER OF POINTS N IS MISSING"});
    int n = 0;
    if (std::optional<Fault> f = ReadPointCount(card2, cards.Next(), ds, n)) return reject(std::move(*f));

    std::vector<double> values;
    if (std::optional<Fault> f = ReadNumbers(cards, 2 * static_cast<std::size_t>(n), false, values))
        return reject(std::move(*f));
    if (values.size() < 2 * static_cast<std::size_t>(n))
        return reject({{}, "ERROR - ONLY " + std::to_string(values.size()) + " VALUES FOUND WHERE N = " +
                               std::to_string(n) + " ABSCISSAE AND " + std::to_string(n) + " ORDINATES ARE NEEDED"});
    ds.t.assign(values.begin(), values.begin() + n);
    ds.y.assign(values.begin() + n, values.end());

    if (WeightsCardFollows(cards)) {
        if (std::optional<Fault> f = ReadNumbers(cards, static_cast<std::size_t>(n), true, values))
            return reject(std::move(*f));
        if (values.size() < static_cast<std::size_t>(n))
            return reject({{}, "ERROR - ONLY " + std::to_string(values.size()) + " WEIGHTS FOUND WHERE N = " +
                                   std::to_string(n) + " ARE NEEDED"});
        ds.weights = std::move(values);
    }
    out.rest = std::string(text.substr(cards.Offset()));
    return out;
}

}  // namespace fluvena::discrete
