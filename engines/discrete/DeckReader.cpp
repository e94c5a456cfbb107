#include "discrete/DeckReader.h"

#include "common/FortranNumbers.h"

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

ReadOutcome ReadDataSet(std::string_view text) {
    ReadOutcome out;
    Cards cards(text);
    auto reject = [&](std::vector<std::string> echo, std::string reason) {
        Rejection r;
        r.title = out.set ? out.set->title : std::string();
        r.echo = std::move(echo);
        r.reason = std::move(reason);
        out.rejection = std::move(r);
        out.set.reset();
        out.rest.clear();  // nothing after a broken set can be placed reliably
        return out;
    };

    out.set.emplace();
    DataSet& ds = *out.set;
    if (cards.AtEnd()) return reject({}, "EMPTY INPUT - NO TITLE CARD");
    ds.title = std::string(cards.Next());

    if (cards.AtEnd()) return reject({}, "ERRONEOUS CARD IMAGE - THE CARD OF SWITCHES AND NLAMMX, IWT, MTRY IS MISSING");
    std::string_view card2 = cards.Next();
    ds.controlCard = std::string(card2);
    const std::vector<std::string> echo2{std::string(card2)};
    if (card2.size() < kSwitchCount)
        return reject(echo2, "ERRONEOUS CARD IMAGE - NINE SWITCHES T OR F EXPECTED IN COLUMNS 1-9");
    for (std::size_t k = 0; k < kSwitchCount; ++k) {
        char c = card2[k];
        if (c != 'T' && c != 'F')
            return reject(echo2, "ERRONEOUS CARD IMAGE - SWITCH " + std::to_string(k + 1) + " (" + kSwitchNames[k] +
                                     ") IN COLUMN " + std::to_string(k + 1) + " IS NOT T OR F");
        ds.sw[k] = c == 'T';
    }
    std::vector<std::string_view> numbers = Tokens(card2.substr(kSwitchCount));
    if (numbers.size() != 3)
        return reject(echo2, "ERRONEOUS CARD IMAGE - THREE WHOLE NUMBERS NLAMMX, IWT, MTRY EXPECTED AFTER THE SWITCHES");
    const char* names[3] = {"NLAMMX", "IWT", "MTRY"};
    int* targets[3] = {&ds.nlammx, &ds.iwt, &ds.mtry};
    for (int k = 0; k < 3; ++k)
        if (!engine::ParseWholeNumber(numbers[k], *targets[k]))
            return reject(echo2, std::string("ERRONEOUS CARD IMAGE - ") + names[k] + " = " + Quoted(numbers[k]) +
                                     " IS NOT A WHOLE NUMBER");
    if (ds.nlammx < 1 || ds.nlammx > kMaxComponents)
        return reject(echo2, "ERRONEOUS CARD IMAGE - NLAMMX = " + std::to_string(ds.nlammx) + " IS OUTSIDE 1 ... 9");
    if (ds.iwt != 1 && ds.iwt != 2 && ds.iwt != 3 && ds.iwt != -2 && ds.iwt != -3)
        return reject(echo2, "ERRONEOUS CARD IMAGE - IWT = " + std::to_string(ds.iwt) +
                                 " IS IMPROPER (ALLOWED 1, 2, 3, -2, -3; WEIGHTS READ FROM THE DECK ARE NOT SUPPORTED)");
    if (ds.mtry < 1 || ds.mtry > kMaxTries)
        return reject(echo2, "ERRONEOUS CARD IMAGE - MTRY = " + std::to_string(ds.mtry) + " IS OUTSIDE 1 ... 45");

    if (cards.AtEnd()) return reject(echo2, "ERRONEOUS CARD IMAGE - THE CARD WITH THE NUMBER OF POINTS N IS MISSING");
    std::string_view card3 = cards.Next();
    const std::vector<std::string> echo3{std::string(card2), std::string(card3)};
    std::vector<std::string_view> nTokens = Tokens(card3);
    int n = 0;
    if (nTokens.size() != 1 || !engine::ParseWholeNumber(nTokens[0], n))
        return reject(echo3, "ERRONEOUS CARD IMAGE - THE NUMBER OF POINTS N MUST BE ONE WHOLE NUMBER");
    const int nMin = 2 * ds.nlammx + 3;
    if (n < nMin || n > kMaxPoints)
        return reject(echo3, "ERRONEOUS CARD IMAGE - N = " + std::to_string(n) + " IS OUTSIDE " + std::to_string(nMin) +
                                 " ... " + std::to_string(kMaxPoints) + " (AT LEAST 2*NLAMMX+3 POINTS ARE NEEDED)");

    const std::size_t need = 2 * static_cast<std::size_t>(n);
    std::vector<double> values;
    values.reserve(need);
    while (values.size() < need && !cards.AtEnd()) {
        std::string_view line = cards.Next();
        for (std::string_view tok : Tokens(line)) {
            if (values.size() == need) break;  // surplus on the last card is ignored
            double v = 0;
            if (!engine::ParseFortranNumber(tok, v))
                return reject({std::string(line)}, "ERRONEOUS CARD IMAGE - CARD " + std::to_string(cards.Number()) +
                                                       ": " + Quoted(tok) + " IS NOT A NUMBER");
            values.push_back(v);
        }
    }
    if (values.size() < need)
        return reject({}, "ERROR - ONLY " + std::to_string(values.size()) + " VALUES FOUND WHERE N = " +
                              std::to_string(n) + " ABSCISSAE AND " + std::to_string(n) + " ORDINATES ARE NEEDED");
    ds.t.assign(values.begin(), values.begin() + n);
    ds.y.assign(values.begin() + n, values.end());

    // This engine's own card: WEIGHTS after the ordinates, then N weights
    // (inverse variances up to a common factor).
    Cards after = cards;
    bool weighted = false;
    while (!after.AtEnd()) {
        const std::vector<std::string_view> tokens = Tokens(after.Next());
        if (tokens.empty()) continue;
        weighted = tokens.size() == 1 && tokens[0] == kWeightsCard;
        break;
    }
    if (weighted) {
        cards = after;
        values.clear();
        const std::size_t count = static_cast<std::size_t>(n);
        while (values.size() < count && !cards.AtEnd()) {
            std::string_view line = cards.Next();
            for (std::string_view tok : Tokens(line)) {
                if (values.size() == count) break;
                double v = 0;
                if (!engine::ParseFortranNumber(tok, v) || !(v > 0) || !(v < 1e100))
                    return reject({std::string(line)}, "ERRONEOUS CARD IMAGE - CARD " + std::to_string(cards.Number()) +
                                                           ": WEIGHT " + Quoted(tok) + " IS NOT A POSITIVE NUMBER");
                values.push_back(v);
            }
        }
        if (values.size() < count)
            return reject({}, "ERROR - ONLY " + std::to_string(values.size()) + " WEIGHTS FOUND WHERE N = " +
                                  std::to_string(n) + " ARE NEEDED");
        ds.weights = std::move(values);
    }
    out.rest = std::string(text.substr(cards.Offset()));
    return out;
}

}  // namespace fluvena::discrete
