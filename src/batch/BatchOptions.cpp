#include "BatchOptions.h"

#include "base/Convert.h"
#include "base/Errors.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>

namespace fluvena::batch {

namespace fs = std::filesystem;

const char* const kUsage =
    "usage:\n"
    "  fluvena-batch contin   [options] DATAFILE...\n"
    "  fluvena-batch discrete [options] DATAFILE...\n"
    "  fluvena-batch cumulants [options] DATAFILE...\n"
    "  fluvena-batch multiangle [options] DATAFILE...   (cumulants or CONTIN per measurement, then D0 and R_h at q -> 0)\n"
    "  fluvena-batch parse-contin   LISTING --points N --grid-points N [options]\n"
    "  fluvena-batch parse-discrete LISTING DATAFILE [--first I] [--last J] [options]\n"
    "\n"
    "range:     --first I  --last J          (point indices from 0; default the whole file but the correlator's\n"
    "                                        dead time the file shows)\n"
    "contin:    --grid-min X (0.1)  --grid-max X (1000)  --grid-points N (100)  --regularizer classic|signal (classic)\n"
    "discrete:  --max-components N (6)  --weight N (2)  --max-tries N (5)\n"
    "           --switches LLLLLLLLL (TFFTFFTTF: LAST REGINT NOBASE NONEG PRY PRPREL PRFINL PLOTRS REPEAT)\n"
    "weights:   --weights siegert|none (siegert: g2 data reach CONTIN and DISCRETE as g1 weighted by the Siegert\n"
    "                                   relation's noise; none: equal weights, DISCRETE's --weight rule)\n"
    "cumulants: --order 2|3 (2)  --frisken  --cutoff F (0.1; 0.01 with --frisken)\n"
    "data:      --format auto|text|alv|zetasizer|lsi (auto)  --columns X,Y (1,2: the columns of a text file, from 1)\n"
    "sample:    --data-kind g1|g2-1|g2 (the file's: g2-1 for ALV files, g1 otherwise)  --baseline B|tail (g2: 1)\n"
    "           --force (analyse data that look like another kind than the one they are taken for)\n"
    "           --time-unit s|ms|us|ns (the file's: ms for ALV files, us otherwise)  --wavelength NM  --angle DEG\n"
    "           --temperature K  --viscosity CP  --refractive-index N  --solvent water|toluene|ethanol\n"
    "multiangle: --source cumulants|contin (cumulants)  --exclude FILE[:k] (leaves a file or its detector k out of the fit)\n"
    "output:    --json  --table csv|tsv  --quiet  --workdir DIR  --help\n"
    "running:   --jobs N (1: inputs analysed at once, each in its own directory)\n"
    "           --no-wait (fail when another analysis holds the directory)  --timeout SECONDS (none)\n"
    "log:       --log FILE  --param NAME (Temp)  --value V (once per input) | --values V1,V2,...\n"
    "           --inverse  --rates  --solution chosen|N  --decimal-point C\n";

namespace {

enum class Arg { Flag, Value };

struct OptionRule {
    Arg kind;
    std::set<Command> commands;
};

const std::set<Command> kAll = {Command::Contin, Command::Discrete, Command::Cumulants, Command::ParseContin,
                                Command::ParseDiscrete, Command::MultiAngle};
const std::set<Command> kDiscreteKinds = {Command::Discrete, Command::ParseDiscrete};
// The commands that read data files.
const std::set<Command> kData = {Command::Contin, Command::Discrete, Command::Cumulants, Command::ParseDiscrete,
                                 Command::MultiAngle};
// The commands that run analyses of data files.
const std::set<Command> kRuns = {Command::Contin, Command::Discrete, Command::Cumulants, Command::MultiAngle};
// The commands whose results go into a series log (one analysis per line).
const std::set<Command> kLogs = {Command::Contin, Command::Discrete, Command::Cumulants, Command::ParseContin,
                                 Command::ParseDiscrete};
const std::set<Command> kCumulants = {Command::Cumulants, Command::MultiAngle};
const std::set<Command> kContin = {Command::Contin, Command::MultiAngle};

const std::map<std::string, OptionRule>& OptionRules()
{
    static const std::map<std::string, OptionRule> rules = {
        {"--first", {Arg::Value, kData}},
        {"--last", {Arg::Value, kData}},
        {"--order", {Arg::Value, kCumulants}},
        {"--frisken", {Arg::Flag, kCumulants}},
        {"--cutoff", {Arg::Value, kCumulants}},
        {"--data-kind", {Arg::Value, kData}},
        {"--force", {Arg::Flag, kData}},
        {"--baseline", {Arg::Value, kData}},
        {"--time-unit", {Arg::Value, kData}},
        {"--wavelength", {Arg::Value, kData}},
        {"--angle", {Arg::Value, kData}},
        {"--temperature", {Arg::Value, kData}},
        {"--viscosity", {Arg::Value, kData}},
        {"--refractive-index", {Arg::Value, kData}},
        {"--solvent", {Arg::Value, kData}},
        {"--grid-min", {Arg::Value, kContin}},
        {"--grid-max", {Arg::Value, kContin}},
        {"--regularizer", {Arg::Value, kContin}},
        {"--weights", {Arg::Value, {Command::Contin, Command::Discrete, Command::MultiAngle}}},
        {"--grid-points", {Arg::Value, {Command::Contin, Command::ParseContin, Command::MultiAngle}}},
        {"--points", {Arg::Value, {Command::ParseContin}}},
        {"--max-components", {Arg::Value, kDiscreteKinds}},
        {"--weight", {Arg::Value, {Command::Discrete}}},
        {"--max-tries", {Arg::Value, {Command::Discrete}}},
        {"--switches", {Arg::Value, {Command::Discrete}}},
        {"--json", {Arg::Flag, kAll}},
        {"--quiet", {Arg::Flag, kAll}},
        {"--workdir", {Arg::Value, {Command::Contin, Command::Discrete, Command::MultiAngle}}},
        {"--no-wait", {Arg::Flag, kAll}},
        {"--timeout", {Arg::Value, {Command::Contin, Command::Discrete, Command::MultiAngle}}},
        {"--table", {Arg::Value, kAll}},
        {"--jobs", {Arg::Value, kRuns}},
        {"--source", {Arg::Value, {Command::MultiAngle}}},
        {"--exclude", {Arg::Value, {Command::MultiAngle}}},
        {"--log", {Arg::Value, kLogs}},
        {"--param", {Arg::Value, kLogs}},
        {"--value", {Arg::Value, kLogs}},
        {"--values", {Arg::Value, kLogs}},
        {"--inverse", {Arg::Flag, kLogs}},
        {"--rates", {Arg::Flag, kDiscreteKinds}},
        {"--solution", {Arg::Value, {Command::Contin, Command::Discrete, Command::ParseContin, Command::ParseDiscrete}}},
        {"--decimal-point", {Arg::Value, kAll}},
        {"--format", {Arg::Value, kData}},
        {"--columns", {Arg::Value, kData}},
    };
    return rules;
}

std::int32_t WholeNumber(const std::string& option, const std::string& text, std::int32_t min = INT32_MIN)
{
    std::int32_t v = 0;
    try {
        v = StrToInt(text);
    } catch (const Error&) {
        throw UsageError(option + " needs a whole number, not '" + text + "'");
    }
    if (v < min) throw UsageError(option + " must be at least " + std::to_string(min));
    return v;
}

double Real(const std::string& option, const std::string& text);

// A sample parameter: a positive number.
double Positive(const std::string& option, const std::string& text)
{
    const double v = Real(option, text);
    if (!(v > 0.0)) throw UsageError(option + " must be positive, not '" + text + "'");
    return v;
}

double Real(const std::string& option, const std::string& text)
{
    try {
        return StrToFloat(text, '.');
    } catch (const Error&) {
        throw UsageError(option + " needs a number with a decimal point, not '" + text + "'");
    }
}

}  // namespace

Command AnalysisCommand(const Options& o)
{
    if (o.command != Command::MultiAngle) return o.command;
    return o.contin ? Command::Contin : Command::Cumulants;
}

bool Analyses(Command c) { return kRuns.count(c) > 0; }

Options ParseOptions(const std::vector<std::string>& args)
{
    Options o;
    for (const std::string& a : args) {
        if (a == "--") break;
        if (a == "--help" || a == "-h") {
            o.help = true;
            return o;
        }
    }
    if (args.empty()) throw UsageError("no command given");
    static const std::map<std::string, Command> commands = {{"contin", Command::Contin},
                                                            {"discrete", Command::Discrete},
                                                            {"cumulants", Command::Cumulants},
                                                            {"parse-contin", Command::ParseContin},
                                                            {"parse-discrete", Command::ParseDiscrete},
                                                            {"multiangle", Command::MultiAngle}};
    const auto cmd = commands.find(args[0]);
    if (cmd == commands.end()) throw UsageError("unknown command '" + args[0] + "'");
    o.command = cmd->second;

    bool havePoints = false, haveGridPoints = false, onlyInputs = false;
    std::optional<double> cutoff;
    for (std::size_t i = 1; i < args.size(); ++i) {
        std::string a = args[i];
        if (onlyInputs || a.size() < 2 || a.compare(0, 2, "--") != 0 || a == "-") {
            if (!onlyInputs && a.size() > 1 && a[0] == '-' && a != "-") throw UsageError("unknown option '" + a + "'");
            o.inputs.push_back(a);
            continue;
        }
        if (a == "--") {
            onlyInputs = true;
            continue;
        }
        std::optional<std::string> inlineValue;
        if (const auto eq = a.find('='); eq != std::string::npos) {
            inlineValue = a.substr(eq + 1);
            a.resize(eq);
        }
        const auto rule = OptionRules().find(a);
        if (rule == OptionRules().end()) throw UsageError("unknown option '" + a + "'");
        if (!rule->second.commands.count(o.command))
            throw UsageError("option " + a + " does not apply to " + args[0]);
        std::string value;
        if (rule->second.kind == Arg::Value) {
            if (inlineValue) {
                value = *inlineValue;
            } else {
                if (i + 1 >= args.size()) throw UsageError("option " + a + " needs a value");
                value = args[++i];
            }
        } else if (inlineValue) {
            throw UsageError("option " + a + " takes no value");
        }

        if (a == "--first") o.first = WholeNumber(a, value, 0);
        else if (a == "--last") o.last = WholeNumber(a, value, 0);
        else if (a == "--grid-min") o.gridMin = Real(a, value);
        else if (a == "--grid-max") o.gridMax = Real(a, value);
        else if (a == "--regularizer") {
            if (value != "classic" && value != "signal") throw UsageError("--regularizer needs classic or signal");
            o.signalWeighted = value == "signal";
        }
        else if (a == "--weights") {
            if (value != "siegert" && value != "none") throw UsageError("--weights needs siegert or none");
            o.siegertWeights = value == "siegert";
        }
        else if (a == "--grid-points") o.gridPoints = WholeNumber(a, value, 0), haveGridPoints = true;
        else if (a == "--points") o.points = WholeNumber(a, value, 0), havePoints = true;
        else if (a == "--max-components") o.maxComponents = WholeNumber(a, value, 0);
        else if (a == "--weight") o.weight = WholeNumber(a, value);
        else if (a == "--max-tries") o.maxTries = WholeNumber(a, value);
        else if (a == "--switches") {
            if (value.size() != 9) throw UsageError("--switches needs nine letters T or F");
            for (std::size_t k = 0; k < 9; ++k) {
                const char c = value[k];
                if (c != 'T' && c != 'F' && c != 't' && c != 'f')
                    throw UsageError("--switches needs nine letters T or F");
                o.switches[k] = c == 'T' || c == 't';
            }
        }
        else if (a == "--json") o.json = true;
        else if (a == "--quiet") o.quiet = true;
        else if (a == "--workdir") o.workdir = value;
        else if (a == "--no-wait") o.noWait = true;
        else if (a == "--timeout") {
            o.timeout = Real(a, value);
            if (!(*o.timeout > 0.0 && *o.timeout < 1e9)) throw UsageError("--timeout needs a number of seconds above 0");
        }
        else if (a == "--log") o.logFile = value;
        else if (a == "--param") o.param = value;
        else if (a == "--value") o.values.push_back(value);
        else if (a == "--values") {
            std::size_t start = 0;
            for (;;) {
                const auto comma = value.find(',', start);
                o.values.push_back(value.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
                if (comma == std::string::npos) break;
                start = comma + 1;
            }
        }
        else if (a == "--inverse") o.inverse = true;
        else if (a == "--rates") o.rates = true;
        else if (a == "--solution") {
            if (value == "chosen") o.solution.reset();
            else o.solution = WholeNumber(a, value, 0);
        }
        else if (a == "--order") {
            o.cumulants.order = WholeNumber(a, value);
            if (o.cumulants.order != 2 && o.cumulants.order != 3) throw UsageError("--order needs 2 or 3");
        }
        else if (a == "--frisken") o.cumulants.frisken = true;
        else if (a == "--cutoff") {
            cutoff = Real(a, value);
            if (!(*cutoff > 0.0 && *cutoff < 1.0)) throw UsageError("--cutoff needs a fraction between 0 and 1");
        }
        else if (a == "--data-kind") {
            if (value == "g1") o.sample.dataKind = DataKind::G1;
            else if (value == "g2-1") o.sample.dataKind = DataKind::G2Minus1;
            else if (value == "g2") o.sample.dataKind = DataKind::G2;
            else throw UsageError("--data-kind needs g1, g2-1 or g2, not '" + value + "'");
        }
        else if (a == "--force") o.sample.force = true;
        else if (a == "--baseline") {
            if (value == "tail") o.sample.tailBaseline = true;
            else o.sample.baseline = Real(a, value);
        }
        else if (a == "--time-unit") {
            if (value == "s") o.sample.timeUnit = TimeUnit::Seconds;
            else if (value == "ms") o.sample.timeUnit = TimeUnit::Milliseconds;
            else if (value == "us") o.sample.timeUnit = TimeUnit::Microseconds;
            else if (value == "ns") o.sample.timeUnit = TimeUnit::Nanoseconds;
            else throw UsageError("--time-unit needs s, ms, us or ns, not '" + value + "'");
        }
        else if (a == "--wavelength") o.sample.wavelengthNm = Positive(a, value);
        else if (a == "--angle") o.sample.angleDeg = Positive(a, value);
        else if (a == "--temperature") o.sample.temperatureK = Positive(a, value);
        else if (a == "--viscosity") o.sample.viscosityCp = Positive(a, value);
        else if (a == "--refractive-index") o.sample.refractiveIndex = Positive(a, value);
        else if (a == "--solvent") {
            const auto solvent = physics::SolventFromName(value);
            if (!solvent || *solvent == physics::Solvent::Custom)
                throw UsageError("--solvent needs water, toluene or ethanol, not '" + value + "'");
            o.sample.solvent = solvent;
        }
        else if (a == "--format") {
            if (value == "auto") o.read.format = io::FormatChoice::Auto;
            else if (value == "text") o.read.format = io::FormatChoice::Text;
            else if (value == "alv") o.read.format = io::FormatChoice::Alv;
            else if (value == "zetasizer") o.read.format = io::FormatChoice::Zetasizer;
            else if (value == "lsi") o.read.format = io::FormatChoice::Lsi;
            else throw UsageError("--format needs auto, text, alv, zetasizer or lsi, not '" + value + "'");
        }
        else if (a == "--columns") {
            const auto comma = value.find(',');
            if (comma == std::string::npos) throw UsageError("--columns needs two column numbers X,Y, not '" + value + "'");
            o.read.xColumn = WholeNumber(a, value.substr(0, comma), 1);
            o.read.yColumn = WholeNumber(a, value.substr(comma + 1), 1);
        }
        else if (a == "--table") {
            if (value == "csv") o.table = results::TableFormat::Csv;
            else if (value == "tsv") o.table = results::TableFormat::Tsv;
            else throw UsageError("--table needs csv or tsv, not '" + value + "'");
        }
        else if (a == "--jobs") {
            o.jobs = WholeNumber(a, value, 1);
            if (o.jobs > 256) throw UsageError("--jobs takes at most 256");
        }
        else if (a == "--source") {
            if (value != "cumulants" && value != "contin") throw UsageError("--source needs cumulants or contin, not '" + value + "'");
            o.contin = value == "contin";
        }
        else if (a == "--exclude") {
            Exclusion e{value, std::nullopt};
            // FILE:k names one detector or record; a colon followed by
            // anything but a number belongs to the file's name.
            if (const auto colon = value.rfind(':'); colon != std::string::npos && colon + 1 < value.size() &&
                                                      value.find_first_not_of("0123456789", colon + 1) == std::string::npos) {
                e.file = value.substr(0, colon);
                e.part = WholeNumber(a, value.substr(colon + 1), 0);
            }
            o.excluded.push_back(e);
        }
        else if (a == "--decimal-point") {
            if (value.size() != 1) throw UsageError("--decimal-point needs one character");
            o.decimalPoint = value[0];
        }
    }

    // The Frisken form, with its free baseline, needs the fit range to reach
    // far down the decay.
    o.cumulants.cutoff = cutoff.value_or(DefaultCutoff(o.cumulants.frisken));
    if (o.sample.baseline && o.sample.tailBaseline) throw UsageError("--baseline takes a value or tail, not both");

    if (o.json && o.table) throw UsageError("--json and --table ask for two outputs: give one");
    // Each job runs in a private directory of its own.
    if (o.jobs > 1 && o.workdir) throw UsageError("--jobs above 1 needs private directories: leave out --workdir");
    switch (o.command) {
    case Command::Contin:
    case Command::Discrete:
    case Command::Cumulants:
    case Command::MultiAngle:
        if (o.inputs.empty()) throw UsageError("no data file given");
        break;
    case Command::ParseContin:
        if (o.inputs.size() != 1) throw UsageError("parse-contin takes one listing");
        if (!havePoints || !haveGridPoints) throw UsageError("parse-contin needs --points and --grid-points");
        break;
    case Command::ParseDiscrete:
        if (o.inputs.size() != 2) throw UsageError("parse-discrete takes a listing and a data file");
        break;
    }
    // --first beyond --last is not a usage error: the analysis refuses such a
    // range with its own words, as the window does when the scroll bars cross.
    const std::size_t runs = Analyses(o.command) ? o.inputs.size() : 1;
    if (o.logFile) {
        // The log is rewritten whole after every line: a log that is one of
        // the inputs would replace that data file or listing.
        for (const std::string& input : o.inputs) {
            std::error_code ec;
            if (fs::equivalent(*o.logFile, input, ec) && !ec)
                throw UsageError("--log " + *o.logFile + " names an input file, which it would overwrite");
        }
        if (o.values.size() != runs)
            throw UsageError("--log needs one value per input (" + std::to_string(runs) + "), " +
                             std::to_string(o.values.size()) + " given");
    } else if (!o.values.empty() || o.inverse || o.rates || o.solution) {
        throw UsageError("--value, --values, --inverse, --rates and --solution need --log");
    }
    return o;
}

}  // namespace fluvena::batch
