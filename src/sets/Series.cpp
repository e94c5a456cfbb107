#include "sets/Series.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <chrono>
#include <cmath>
#include <limits>
#include <string>

namespace fluvena::sets {

namespace {

std::optional<std::pair<double, double>> With(const std::optional<double>& v, double err = 0.0)
{
    if (!v || !std::isfinite(*v)) return std::nullopt;
    return std::pair{*v, std::isfinite(err) ? std::fabs(err) : 0.0};
}

// ------------------------------------------------------------ dates

std::vector<std::string> Tokens(std::string_view text, std::string_view separators)
{
    std::vector<std::string> out;
    std::string current;
    for (const char c : text) {
        if (separators.find(c) != std::string_view::npos) {
            if (!current.empty()) out.push_back(std::move(current));
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty()) out.push_back(std::move(current));
    return out;
}

std::optional<int> Whole(std::string_view s)
{
    int v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size() || s.empty()) return std::nullopt;
    return v;
}

std::optional<unsigned> MonthByName(std::string name)
{
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (name.size() < 3) return std::nullopt;
    // English, then the German abbreviations that differ ("Mär" in UTF-8 or Latin-1 is matched by "m" + "r").
    static constexpr std::array<const char*, 12> english = {"jan", "feb", "mar", "apr", "may", "jun",
                                                            "jul", "aug", "sep", "oct", "nov", "dec"};
    static constexpr std::array<std::pair<const char*, unsigned>, 4> german = {
        {{"mrz", 3}, {"mai", 5}, {"okt", 10}, {"dez", 12}}};
    for (unsigned m = 0; m < 12; ++m)
        if (name.compare(0, 3, english[m]) == 0) return m + 1;
    for (const auto& [abbr, m] : german)
        if (name.compare(0, 3, abbr) == 0) return m;
    if (name[0] == 'm' && name.back() == 'r' && name.size() <= 4) return 3u;  // "Mär"
    return std::nullopt;
}

std::optional<std::chrono::sys_days> Day(std::string_view date)
{
    // A slash is no separator here: "03/04/2015" may be either order, and
    // is refused as one token.
    const std::vector<std::string> t = Tokens(date, ".- ,");
    if (t.size() != 3) return std::nullopt;
    std::optional<int> year, day;
    std::optional<unsigned> month;
    if (t[0].size() == 4) {  // 2026-03-12
        year = Whole(t[0]), day = Whole(t[2]);
        if (const auto m = Whole(t[1])) month = static_cast<unsigned>(*m);
    } else {  // 04.06.2015, 13-Nov-18, 12 March 2026
        day = Whole(t[0]), year = Whole(t[2]);
        if (const auto m = Whole(t[1])) month = static_cast<unsigned>(*m);
        else month = MonthByName(t[1]);
        if (year && t[2].size() == 2) *year += *year >= 70 ? 1900 : 2000;
        else if (t[2].size() != 4) year.reset();
    }
    if (!year || !month || !day || *day < 1) return std::nullopt;
    const std::chrono::year_month_day ymd{std::chrono::year{*year}, std::chrono::month{*month},
                                          std::chrono::day{static_cast<unsigned>(*day)}};
    if (!ymd.ok()) return std::nullopt;
    return std::chrono::sys_days{ymd};
}

// Seconds after midnight; empty for a time that cannot be read.
std::optional<double> SecondsOfDay(std::string_view time)
{
    std::vector<std::string> t = Tokens(time, ": ");
    if (t.empty()) return 0.0;
    std::optional<bool> pm;
    if (std::string& last = t.back(); last == "AM" || last == "am" || last == "PM" || last == "pm") {
        pm = last[0] == 'P' || last[0] == 'p';
        t.pop_back();
    }
    if (t.size() < 2 || t.size() > 3) return std::nullopt;
    std::optional<int> h = Whole(t[0]), m = Whole(t[1]);
    double s = 0.0;
    if (t.size() == 3) {
        const std::string& sec = t[2];
        const auto [end, ec] = std::from_chars(sec.data(), sec.data() + sec.size(), s);
        if (ec != std::errc() || end != sec.data() + sec.size() || s < 0.0 || s >= 61.0) return std::nullopt;
    }
    if (!h || !m || *m < 0 || *m > 59 || *h < 0 || *h > 23) return std::nullopt;
    if (pm) {
        if (*h < 1 || *h > 12) return std::nullopt;
        *h = *h % 12 + (*pm ? 12 : 0);
    }
    return *h * 3600.0 + *m * 60.0 + s;
}

// ------------------------------------------------------------ grouping

struct Keyed {
    double x = 0.0;
    std::size_t row = 0;
};

SeriesPoint GroupPoint(std::span<const SetRow> rows, const std::vector<Keyed>& members, SeriesY y)
{
    SeriesPoint p;
    const auto n = static_cast<double>(members.size());
    for (const Keyed& k : members) {
        p.x += k.x / n;
        p.y += SeriesValue(rows[k.row], y)->first / n;
        p.rows.push_back(k.row);
    }
    if (members.size() == 1) {
        p.err = SeriesValue(rows[members[0].row], y)->second;
        return p;
    }
    double ss = 0.0;
    for (const Keyed& k : members) ss += std::pow(SeriesValue(rows[k.row], y)->first - p.y, 2);
    p.err = std::sqrt(ss / (n - 1.0));
    return p;
}

}  // namespace

std::optional<std::pair<double, double>> SeriesValue(const SetRow& r, SeriesY y)
{
    switch (y) {
    case SeriesY::ZAverageRadius: return With(r.zRadiusNm, r.zRadiusErrNm.value_or(0.0));
    case SeriesY::Pdi: return With(r.pdi);
    case SeriesY::Beta: return With(r.beta);
    case SeriesY::GammaMean: return With(r.gammaMean, r.gammaMeanErr.value_or(0.0));
    case SeriesY::ApparentDiffusion: {
        const std::optional<double> q2 = r.Q2();
        if (!r.gammaMean || !q2 || !(*q2 > 0.0)) return std::nullopt;
        return With(*r.gammaMean / *q2, r.gammaMeanErr.value_or(0.0) / *q2);
    }
    case SeriesY::MainPeakRadius: {
        // The radius is inversely proportional to the rate: the same relative error.
        const double rel = r.mainPeakRate && *r.mainPeakRate > 0.0 ? r.mainPeakRateErr.value_or(0.0) / *r.mainPeakRate : 0.0;
        return With(r.mainPeakRadiusNm, r.mainPeakRadiusNm.value_or(0.0) * rel);
    }
    case SeriesY::MainPeakShare: return With(r.mainPeakShare);
    case SeriesY::CountRate: return With(r.meanCountRateKHz);
    case SeriesY::ReportedZAverage: return With(r.reportedZAverageNm);
    }
    return std::nullopt;
}

std::optional<double> SeriesKey(const SetRow& r, std::size_t index, SeriesX x, double timeOrigin)
{
    std::optional<double> key;
    switch (x) {
    case SeriesX::FileOrder: key = static_cast<double>(index + 1); break;
    case SeriesX::Temperature: key = r.temperatureK; break;
    case SeriesX::Time:
        if (r.measuredAtS) key = (*r.measuredAtS - timeOrigin) / 60.0;
        break;
    case SeriesX::Angle: key = r.angleDeg; break;
    case SeriesX::Q2: key = r.Q2(); break;
    case SeriesX::UserValue: key = r.userValue; break;
    }
    if (key && !std::isfinite(*key)) key.reset();
    return key;
}

std::vector<SeriesPoint> MakeSeries(std::span<const SetRow> rows, SeriesY y, SeriesX x, bool groupRepeats)
{
    double origin = std::numeric_limits<double>::infinity();
    for (const SetRow& r : rows)
        if (r.measuredAtS) origin = std::min(origin, *r.measuredAtS);

    std::vector<SeriesPoint> out;
    std::vector<std::vector<Keyed>> groups;  // included members, by group
    for (std::size_t k = 0; k < rows.size(); ++k) {
        const std::optional<double> key = SeriesKey(rows[k], k, x, origin);
        const auto value = SeriesValue(rows[k], y);
        if (!key || !value) continue;
        if (groupRepeats && rows[k].included) {
            if (groups.size() <= rows[k].group) groups.resize(rows[k].group + 1);
            groups[rows[k].group].push_back(Keyed{*key, k});
            continue;
        }
        out.push_back(SeriesPoint{*key, value->first, value->second, rows[k].included, {k}});
    }
    for (const std::vector<Keyed>& g : groups)
        if (!g.empty()) out.push_back(GroupPoint(rows, g, y));
    std::stable_sort(out.begin(), out.end(), [](const SeriesPoint& a, const SeriesPoint& b) {
        return a.x < b.x || (a.x == b.x && a.rows.front() < b.rows.front());
    });
    return out;
}

std::optional<double> MeasurementTime(std::string_view date, std::string_view time)
{
    const std::optional<std::chrono::sys_days> day = Day(date);
    const std::optional<double> seconds = SecondsOfDay(time);
    if (!day || !seconds) return std::nullopt;
    return static_cast<double>(day->time_since_epoch().count()) * 86400.0 + *seconds;
}

}  // namespace fluvena::sets
