// Control deck reader: cards in fixed columns, Fortran formats, the data.
#include "ContinEngine.h"
#include "common/FortranNumbers.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <set>
#include <string>

namespace fluvena::contin {

using engine::ParseFortranNumber;

Deck::Deck() {
    ruser[21] = 1.0;
    ruser[22] = -1.0;
    ruser[23] = 0.0;
    iuser[10] = 4;
}

namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

std::string_view Columns(std::string_view line, size_t from, size_t to) {
    if (from >= line.size()) return {};
    return line.substr(from, std::min(to, line.size()) - from);
}

bool ParseInteger(std::string_view field, long& value) {
    field = Trim(field);
    if (field.empty()) {
        value = 0;
        return true;
    }
    size_t i = 0;
    bool neg = false;
    if (field[i] == '+' || field[i] == '-') neg = field[i++] == '-';
    if (i >= field.size()) return false;
    long v = 0;
    for (; i < field.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(field[i]))) return false;
        if (v > 100000000) return false;  // far beyond any meaningful index or count
        v = v * 10 + (field[i] - '0');
    }
    value = neg ? -v : v;
    return true;
}

// Cards this engine knows. The ones marked as used change the analysis; the
// others are standard CONTIN cards that are echoed and noted as not used.
struct CardInfo {
    const char* name;
    int maxIndex;  // 0: a scalar, the index is ignored
    bool used;
};

constexpr CardInfo kCards[] = {
    {"LAST", 0, true},   {"NINTT", 0, true},  {"NLINF", 0, true},  {"NORDER", 0, true},  {"DOUSNQ", 0, true},
    {"RUSER", 100, true}, {"IUSER", 50, true}, {"LUSER", 30, true}, {"GMNMX", 2, true},   {"IPLFIT", 2, true},
    {"NG", 0, true},     {"NENDZ", 2, true},  {"IWT", 0, true},    {"IFORMT", 0, true},  {"IFORMY", 0, true},
    {"IFORMW", 0, true}, {"DFMIN", 0, false}, {"SRMIN", 0, false}, {"ALPST", 2, false},  {"PLEVEL", 4, false},
    {"RSVMNX", 4, false}, {"IGRID", 0, false}, {"IQUAD", 0, false}, {"IUNIT", 0, false},  {"LINEPG", 0, false},
    {"MIOERR", 0, false}, {"MPKMOM", 0, false}, {"MQPITR", 0, false}, {"NEQ", 0, false}, {"NERFIT", 0, false},
    {"ICRIT", 2, false}, {"IPLRES", 2, false}, {"IPRINT", 2, false}, {"IUSROU", 2, false}, {"LSIGN", 16, false},
    {"MOMNMX", 2, false}, {"NFLAT", 8, false}, {"NNSGN", 2, false}, {"NQPROG", 2, false}, {"NSGN", 4, false},
    {"DOCHOS", 0, false}, {"DOMOM", 0, false}, {"DOUSIN", 0, false}, {"NEWPG1", 0, false}, {"NONNEG", 0, false},
    {"ONLY1", 0, false}, {"PRWT", 0, false},  {"PRY", 0, false},    {"SIMULA", 0, false},
    {"SIGREG", 0, true},  // this engine's own: the signal-weighted regularizer
};

const CardInfo* FindCard(std::string_view name) {
    for (const auto& c : kCards)
        if (name == c.name) return &c;
    return nullptr;
}

// A card as it was written, one column to the right (column 1 of a
// listing line is the carriage control).
std::string EchoRaw(std::string_view line) {
    std::string s(1, ' ');
    s.append(Columns(line, 0, 80));
    return s;
}

std::string EchoCard(std::string_view name, long index, double value) {
    char buf[96];
    std::snprintf(buf, sizeof buf, " %-6.6s%5ld", std::string(name).c_str(), index);
    return buf + engine::FormatE(value, 15, 5, 'E', engine::Tiny::kZero);
}

// Reads values field by field with a format. A new record starts when the
// format is used up, at a "/" item, or when the current line has no
// characters left before the next field.
class FieldReader {
public:
    FieldReader(const std::vector<std::string_view>& lines, size_t& next) : lines_(lines), next_(next) {}

    // Reads n values; false with what set when the data end or a field is
    // not a number.
    bool Read(const std::vector<FormatItem>& items, size_t n, std::vector<double>& out, std::string& what) {
        out.clear();
        if (!NextRecord()) return Fail(what, n);
        size_t k = 0;
        while (out.size() < n) {
            if (k == items.size()) {
                if (!NextRecord()) return Fail(what, n);
                k = 0;
            }
            const FormatItem& it = items[k++];
            if (it.kind == FormatItem::NewRecord) {
                if (!NextRecord()) return Fail(what, n);
                continue;
            }
            if (it.kind == FormatItem::Skip) {
                col_ += static_cast<size_t>(it.width);
                continue;
            }
            // A field: when the line is used up, continue on the next line
            // with the format from its first field.
            int width = it.width;
            while (col_ >= line_.size()) {
                if (!NextRecord()) return Fail(what, n);
                k = 0;
                while (items[k].kind != FormatItem::Field) {
                    if (items[k].kind == FormatItem::Skip) col_ += static_cast<size_t>(items[k].width);
                    ++k;
                }
                width = items[k++].width;
            }
            std::string_view field = Columns(line_, col_, col_ + static_cast<size_t>(width));
            col_ += static_cast<size_t>(width);
            double v = 0.0;
            if (!ParseFortranNumber(field, v)) {
                what = "VALUE " + std::to_string(out.size() + 1) + " (\"" + std::string(Trim(field)).substr(0, 30) +
                       "\") IS NOT A NUMBER";
                return false;
            }
            out.push_back(v);
        }
        return true;
    }

private:
    bool NextRecord() {
        if (next_ >= lines_.size()) return false;
        // Keep leading blanks: fields are counted from column 1.
        std::string_view raw = lines_[next_++];
        while (!raw.empty() && (raw.back() == ' ' || raw.back() == '\r' || raw.back() == '\t')) raw.remove_suffix(1);
        line_ = raw;
        col_ = 0;
        return true;
    }
    static bool Fail(std::string& what, size_t n) {
        what = "ONLY: FEWER THAN " + std::to_string(n) + " VALUES";
        return false;
    }

    const std::vector<std::string_view>& lines_;
    size_t& next_;
    std::string_view line_;
    size_t col_ = 0;
};

}  // namespace

namespace {

// Recursive descent over a format text; items are appended to out.
class FormatParser {
public:
    explicit FormatParser(std::string_view s) : s_(s) {}
    bool Parse(std::vector<FormatItem>& out) {
        SkipBlanks();
        if (!Eat('(')) return false;
        if (!Group(out, 0)) return false;
        SkipBlanks();
        return pos_ == s_.size();
    }

private:
    static constexpr size_t kMaxItems = 4096;

    void SkipBlanks() {
        while (pos_ < s_.size() && (s_[pos_] == ' ' || s_[pos_] == '\t')) ++pos_;
    }
    bool Eat(char ch) {
        SkipBlanks();
        if (pos_ < s_.size() && s_[pos_] == ch) {
            ++pos_;
            return true;
        }
        return false;
    }
    bool Number(int& v) {
        SkipBlanks();
        size_t start = pos_;
        long n = 0;
        while (pos_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[pos_]))) {
            n = n * 10 + (s_[pos_++] - '0');
            if (n > 100000) return false;
        }
        v = static_cast<int>(n);
        return pos_ > start;
    }
    // After the opening parenthesis: items separated by commas (or by "/"),
    // up to the closing parenthesis.
    bool Group(std::vector<FormatItem>& out, int depth) {
        if (depth > 4) return false;
        bool any = false;
        for (;;) {
            SkipBlanks();
            if (pos_ >= s_.size()) return false;
            if (s_[pos_] == ')') {
                ++pos_;
                return any;
            }
            if (s_[pos_] == ',') {
                ++pos_;
                continue;
            }
            if (s_[pos_] == '/') {
                ++pos_;
                out.push_back({FormatItem::NewRecord, 0});
                any = true;
                continue;
            }
            int repeat = 1;
            bool hasRepeat = Number(repeat);
            if (!hasRepeat) repeat = 1;
            else if (repeat == 0) return false;
            SkipBlanks();
            if (pos_ >= s_.size()) return false;
            char ch = static_cast<char>(std::toupper(static_cast<unsigned char>(s_[pos_])));
            if (ch == '(') {
                ++pos_;
                std::vector<FormatItem> inner;
                if (!Group(inner, depth + 1)) return false;
                for (int r = 0; r < repeat; ++r) {
                    if (out.size() + inner.size() > kMaxItems) return false;
                    out.insert(out.end(), inner.begin(), inner.end());
                }
                any = true;
                continue;
            }
            ++pos_;
            if (ch == 'P') {  // scale factor: no effect on fields that carry a point or an exponent
                if (!hasRepeat) return false;
                continue;
            }
            if (ch == 'X') {
                if (out.size() + 1 > kMaxItems) return false;
                out.push_back({FormatItem::Skip, repeat});
                any = true;
                continue;
            }
            if (ch != 'F' && ch != 'E' && ch != 'D' && ch != 'G') return false;
            int width = 0, decimals = 0;
            if (!Number(width) || width == 0 || width > 200) return false;
            if (Eat('.')) {
                if (!Number(decimals)) return false;
                SkipBlanks();
                if (pos_ < s_.size() && (s_[pos_] == 'E' || s_[pos_] == 'e') && ch != 'F') {
                    ++pos_;
                    int expw = 0;
                    if (!Number(expw)) return false;
                }
            } else if (ch != 'F' && ch != 'G') {
                return false;
            }
            if (out.size() + static_cast<size_t>(repeat) > kMaxItems) return false;
            for (int r = 0; r < repeat; ++r) out.push_back({FormatItem::Field, width});
            any = true;
        }
    }

    std::string_view s_;
    size_t pos_ = 0;
};

}  // namespace

bool ParseFortranFormat(std::string_view text, std::vector<FormatItem>& items) {
    items.clear();
    FormatParser p(Trim(text));
    if (!p.Parse(items)) {
        items.clear();
        return false;
    }
    bool field = std::any_of(items.begin(), items.end(), [](const FormatItem& i) { return i.kind == FormatItem::Field; });
    if (!field) items.clear();
    return field;
}

namespace {

// Why a deck is refused: the card at fault and what is wrong with it.
struct Refusal {
    std::string card, text;
};
using Refused = std::optional<Refusal>;

Refused Refuse(std::string card, std::string text) { return Refusal{std::move(card), std::move(text)}; }

// The deck's lines, without their line ends (LF or CR LF).
std::vector<std::string_view> SplitLines(std::string_view input) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    while (start < input.size()) {
        size_t e = input.find('\n', start);
        if (e == std::string_view::npos) e = input.size();
        std::string_view line = input.substr(start, e - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        start = e + 1;
    }
    return lines;
}

// How the data after NY are read: the formats of the abscissae, the
// ordinates and the weights, and IWT.
struct DataLayout {
    std::vector<FormatItem> t, y, w;
    double iwt = 1.0;
};

// The value of one control card (not a format card) stored in the deck,
// or the reason it cannot be used.
Refused ApplyCard(const std::string& name, long index, double value, Deck& d, DataLayout& layout) {
    // A whole-number card: the value as Fortran converts it (toward zero).
    auto whole = [&](double lo, double hi) { return value >= lo && value <= hi; };
    if (name == "LAST") {
        // Only the first data set is analysed; later ones are not read.
    } else if (name == "NINTT") {
        if (std::trunc(value) != 0.0) return Refuse(name, "ONLY NINTT = 0 (ABSCISSAE LISTED ONE BY ONE) IS SUPPORTED");
    } else if (name == "NLINF") {
        if (!whole(0, 1.999999)) return Refuse(name, "NLINF MUST BE 0 OR 1 (A CONSTANT BASELINE)");
        d.nlinf = static_cast<int>(value);
    } else if (name == "NORDER") {
        if (!whole(0, 5.999999)) return Refuse(name, "NORDER MUST LIE BETWEEN 0 AND 5");
        d.norder = static_cast<int>(value);
    } else if (name == "NENDZ") {
        if (!whole(0, 5.999999)) return Refuse(name, "NENDZ MUST LIE BETWEEN 0 AND 5");
        d.nendz[static_cast<size_t>(index - 1)] = static_cast<int>(value);
    } else if (name == "DOUSNQ") {
        d.dousnq = value > 0.0;
    } else if (name == "RUSER") {
        if (index == 10 && value != 0.0) return Refuse(name, "RUSER(10) MUST BE 0 (ORDINATES USED AS THEY STAND)");
        d.ruser[static_cast<size_t>(index)] = value;
    } else if (name == "IUSER") {
        if (index == 10 && std::trunc(value) != 4.0)
            return Refuse(name, "IUSER(10) MUST BE 4 (KERNEL FROM RUSER(21), RUSER(22), RUSER(23))");
        d.iuser[static_cast<size_t>(index)] = whole(-1e9, 1e9) ? static_cast<int>(value) : 0;
    } else if (name == "LUSER") {
        if (index == 3 && value > 0.0) return Refuse(name, "LUSER(3) MUST BE FALSE (NO FORM FACTOR)");
        d.luser[static_cast<size_t>(index)] = value > 0.0;
    } else if (name == "GMNMX") {
        d.gmnmx[static_cast<size_t>(index - 1)] = value;
    } else if (name == "NG") {
        if (!whole(2, 500.999999)) return Refuse(name, "NG MUST LIE BETWEEN 2 AND 500");
        d.ng = static_cast<int>(value);
    } else if (name == "SIGREG") {
        d.signalRegularizer = value > 0.0;
    } else if (name == "IWT") {
        layout.iwt = value;
        if (std::trunc(value) != 1.0 && std::trunc(value) != 4.0)
            return Refuse(name, "ONLY IWT = 1 (UNIT WEIGHTS) AND IWT = 4 (WEIGHTS READ WITH IFORMW) ARE SUPPORTED");
    }
    // IPLFIT: the fit is printed for every solution in any case.
    return std::nullopt;
}

// One card from lines[next] on (a format card takes the line after it too),
// echoed as it is read. ended is set at the END card.
Refused ReadCard(const std::vector<std::string_view>& lines, size_t& next, Deck& d, DataLayout& layout,
                 std::vector<std::string>& echo, bool& ended) {
    std::string_view line = lines[next++];
    if (Trim(line).empty()) return std::nullopt;
    std::string name(Trim(Columns(line, 1, 7)));
    for (char& ch : name) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    long index = 0;
    double value = 0.0;
    bool indexOk = ParseInteger(Columns(line, 7, 12), index);
    bool valueOk = ParseFortranNumber(Columns(line, 12, 27), value);
    std::string shown = name.empty() ? std::string(Trim(line)).substr(0, 10) : name;
    if (name == "END") {
        echo.push_back(EchoCard(name, 0, 0.0));
        ended = true;
        return std::nullopt;
    }
    if (name == "NY") {
        echo.push_back(EchoRaw(line));
        return Refuse("END", "THE END CARD IS MISSING BEFORE NY");
    }
    const CardInfo* info = FindCard(name);
    if (!info) {
        echo.push_back(EchoRaw(line));
        return Refuse(shown, "UNKNOWN CARD NAME");
    }
    if (!indexOk) {
        echo.push_back(EchoRaw(line));
        return Refuse(name, "THE INDEX (COLUMNS 8-12) IS NOT A WHOLE NUMBER");
    }
    if (!valueOk) {
        echo.push_back(EchoRaw(line));
        return Refuse(name, "THE VALUE (COLUMNS 13-27) IS NOT A NUMBER");
    }
    if (info->maxIndex > 0 && (index < 1 || index > info->maxIndex)) {
        echo.push_back(EchoCard(name, index, value));
        return Refuse(name, "INDEX " + std::to_string(index) + " OUTSIDE 1 TO " + std::to_string(info->maxIndex));
    }
    echo.push_back(EchoCard(name, index, value));
    if (!info->used) {
        echo.back() += "    (NOT USED BY THIS ENGINE)";
        return std::nullopt;
    }
    if (name == "IFORMT" || name == "IFORMY" || name == "IFORMW") {
        if (next >= lines.size()) return Refuse(name, "THE FORMAT CARD IS MISSING");
        std::string_view fmt = lines[next++];
        echo.push_back(EchoRaw(Trim(Columns(fmt, 0, 80))));
        std::vector<FormatItem> items;
        if (!ParseFortranFormat(Columns(fmt, 0, 80), items)) return Refuse(name, "UNREADABLE FORMAT");
        (name == "IFORMT" ? layout.t : name == "IFORMY" ? layout.y : layout.w) = std::move(items);
        return std::nullopt;
    }
    return ApplyCard(name, index, value, d, layout);
}

// The checks that need every card: the grid, the regularizer's order
// against the grid, and the kernel.
Refused CheckControls(const Deck& d) {
    if (d.ng < 2 || d.ng > 500) return Refuse("NG", "NG MUST LIE BETWEEN 2 AND 500");
    if (!(d.gmnmx[0] > 0.0) || !(d.gmnmx[1] > 0.0)) return Refuse("GMNMX", "GRID BOUNDS MUST BE POSITIVE");
    if (d.gmnmx[0] >= d.gmnmx[1]) return Refuse("GMNMX", "GMNMX(1) MUST BE BELOW GMNMX(2)");
    if (d.gmnmx[0] < 1e-30 || d.gmnmx[1] > 1e30) return Refuse("GMNMX", "GRID BOUNDS MUST LIE BETWEEN 1E-30 AND 1E+30");
    if (d.norder > 0 && d.nendz[0] + d.nendz[1] + d.ng <= d.norder)
        return Refuse("NORDER", "TOO FEW GRID POINTS FOR THE ORDER OF THE REGULARIZER");
    // The kernel: only exp(-t/g), the one the recorded listings of the
    // reference program show, is computed; other values of its parameters
    // would give listings nobody has checked, so they are refused.
    for (const auto& [k, value] : {std::pair{21, 1.0}, std::pair{22, -1.0}, std::pair{23, 0.0}})
        if (d.ruser[static_cast<size_t>(k)] != value)
            return Refuse("RUSER", "RUSER(" + std::to_string(k) + ") OTHER THAN " + (value < 0 ? "-" : "") +
                                       std::to_string(static_cast<int>(std::fabs(value))) +
                                       " IS NOT IMPLEMENTED (THE KERNEL IS EXP(-T/G))");
    return std::nullopt;
}

// The NY card after END (blank lines skipped): the name, then the number
// of points wherever it begins.
Refused ReadNy(const std::vector<std::string_view>& lines, size_t& next, std::vector<std::string>& echo, long& ny) {
    while (next < lines.size() && Trim(lines[next]).empty()) ++next;
    if (next >= lines.size()) return Refuse("NY", "THE NY CARD IS MISSING");
    std::string_view nyLine = Trim(Columns(lines[next++], 0, 80));
    const bool isNy = nyLine.size() >= 2 && std::toupper(static_cast<unsigned char>(nyLine[0])) == 'N' &&
                      std::toupper(static_cast<unsigned char>(nyLine[1])) == 'Y' &&
                      (nyLine.size() == 2 || !std::isalpha(static_cast<unsigned char>(nyLine[2])));
    if (!isNy) {
        std::string nyName(Trim(Columns(lines[next - 1], 1, 7)));
        for (char& ch : nyName) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        echo.push_back(EchoRaw(lines[next - 1]));
        return Refuse(nyName.empty() ? std::string("NY") : nyName, "THE NY CARD MUST FOLLOW END");
    }
    std::string_view nyField = Trim(nyLine.substr(2));
    echo.push_back(EchoRaw(std::string("NY     ").append(nyField)));
    if (!nyField.empty() && nyField.back() == '.') nyField.remove_suffix(1);
    if (!ParseInteger(nyField, ny) || nyField.empty()) return Refuse("NY", "NY IS NOT A WHOLE NUMBER");
    if (ny < 3 || ny > 8192) return Refuse("NY", "NY MUST LIE BETWEEN 3 AND 8192");
    return std::nullopt;
}

// NY values with one format; what names them in a refusal ("ABSCISSA",
// "ORDINATE", "WEIGHT") and the card of their format.
Refused ReadValues(FieldReader& reader, const std::vector<FormatItem>& format, long ny, std::vector<double>& out,
                   const char* what, const char* plural, const char* formatCard) {
    std::string why;
    if (reader.Read(format, static_cast<size_t>(ny), out, why)) return std::nullopt;
    if (why.rfind("ONLY", 0) == 0) why = "FEWER THAN NY = " + std::to_string(ny) + " " + plural;
    return Refuse(why.rfind("FEWER", 0) == 0 ? "NY" : formatCard, std::string(what) + " " + why);
}

// The abscissae, the ordinates and, with IWT 4, the weights, checked for
// range.
Refused ReadData(const std::vector<std::string_view>& lines, size_t& next, long ny, const DataLayout& layout, Deck& d) {
    FieldReader reader(lines, next);
    if (Refused r = ReadValues(reader, layout.t, ny, d.t, "ABSCISSA", "ABSCISSAE", "IFORMT")) return r;
    if (Refused r = ReadValues(reader, layout.y, ny, d.y, "ORDINATE", "ORDINATES", "IFORMY")) return r;
    if (std::trunc(layout.iwt) == 4.0) {
        if (Refused r = ReadValues(reader, layout.w, ny, d.w, "WEIGHT", "WEIGHTS", "IFORMW")) return r;
        for (size_t k = 0; k < d.w.size(); ++k)
            if (!(d.w[k] > 0.0) || !(d.w[k] < 1e100))
                return Refuse("IWT", "WEIGHT " + std::to_string(k + 1) + " IS NOT A POSITIVE NUMBER");
    }
    for (size_t k = 0; k < d.t.size(); ++k)
        if (std::fabs(d.t[k]) > 1e30 || std::fabs(d.y[k]) > 1e100)
            return Refuse(k < d.t.size() && std::fabs(d.t[k]) > 1e30 ? "IFORMT" : "IFORMY",
                          "VALUE " + std::to_string(k + 1) + " IS OUT OF RANGE");
    return std::nullopt;
}

// The title, the control cards up to END, the checks on them, NY and the
// data, in that order; the first fault stops the reading.
Refused ReadAll(const std::vector<std::string_view>& lines, Deck& d, std::vector<std::string>& echo) {
    if (lines.empty()) return Refuse("TITLE", "THE DECK IS EMPTY");
    d.title = std::string(Columns(lines[0], 0, 80));
    for (char& ch : d.title)
        if (static_cast<unsigned char>(ch) < 32) ch = ' ';

    DataLayout layout;
    ParseFortranFormat("(5E15.6)", layout.t);
    layout.y = layout.w = layout.t;
    bool ended = false;
    size_t next = 1;
    while (next < lines.size() && !ended)
        if (Refused r = ReadCard(lines, next, d, layout, echo, ended)) return r;
    if (!ended) return Refuse("END", "THE END CARD IS MISSING");
    if (Refused r = CheckControls(d)) return r;
    long ny = 0;
    if (Refused r = ReadNy(lines, next, echo, ny)) return r;
    return ReadData(lines, next, ny, layout, d);
}

}  // namespace

DeckResult ReadDeck(std::string_view input) {
    DeckResult r;
    if (Refused refused = ReadAll(SplitLines(input), r.deck, r.echo)) {
        r.errorCard = std::move(refused->card);
        r.errorText = std::move(refused->text);
        return r;
    }
    r.ok = true;
    return r;
}

}  // namespace fluvena::contin
