#pragma once
// The command line of fluvena-batch.
#include "core/Requests.h"
#include "io/DataFile.h"
#include "physics/Sizes.h"
#include "results/Table.h"

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace fluvena::batch {

enum class Command { Contin, Discrete, Cumulants, ParseContin, ParseDiscrete, MultiAngle };

// A measurement left out of the angle fit: FILE, or FILE:k for one detector
// (or record) of it.
struct Exclusion {
    std::string file;
    std::optional<int> part;
};

// What the command line says of the sample; each value given overrides the
// data file's.
struct SampleOptions {
    std::optional<DataKind> dataKind;
    std::optional<double> baseline;  // g2: B
    bool tailBaseline = false;       // g2: B from the last 10 % of the points
    bool force = false;              // analyse data that look like another kind
    std::optional<double> wavelengthNm, angleDeg, temperatureK, viscosityCp, refractiveIndex;
    std::optional<physics::Solvent> solvent;
    std::optional<TimeUnit> timeUnit;
};

struct Options {
    Command command = Command::Contin;
    // contin / discrete: the data files; parse-contin: the listing;
    // parse-discrete: the listing and the data file.
    std::vector<std::string> inputs;
    std::optional<std::int32_t> first, last;
    // The analysis settings, with the window's defaults.
    double gridMin = 0.1, gridMax = 1000.0;
    std::int32_t gridPoints = 100;
    bool signalWeighted = false;  // --regularizer signal
    bool siegertWeights = true;   // --weights siegert|none (g2 data: g1 weighted by the Siegert relation)
    std::int32_t maxComponents = 6, weight = kDefaultWeighting, maxTries = 5;
    DiscreteSwitches switches = kDefaultSwitches;
    std::int32_t points = 0;  // parse-contin: the RangeCount of the run
    bool json = false, quiet = false;
    bool help = false;  // --help / -h: print the usage and stop
    std::optional<std::string> logFile;
    std::string param = "Temp";  // UTF-8 as given
    std::vector<std::string> values;
    bool inverse = false, rates = false;
    std::optional<std::int32_t> solution;  // none: the chosen one (CONTIN) or 0 (DISCRETE)
    std::optional<char> decimalPoint;
    std::optional<std::string> workdir;
    bool noWait = false;            // another analysis in the directory: fail at once
    std::optional<double> timeout;  // seconds an engine may take (none: no limit)
    io::ReadOptions read;           // --format, --columns
    SampleOptions sample;
    CumulantRequest cumulants;      // --order, --frisken, --cutoff
    std::optional<results::TableFormat> table;  // --table csv|tsv instead of JSON or text
    std::int32_t jobs = 1;                      // inputs analysed at once
    bool contin = false;                        // multiangle --source contin
    std::vector<Exclusion> excluded;            // multiangle --exclude
};

// The analysis each measurement gets: multiangle runs cumulants or CONTIN.
Command AnalysisCommand(const Options& o);
// The commands that analyse data files (not a listing read back).
bool Analyses(Command c);

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Throws UsageError with a one-line reason. "--help" or "-h" anywhere (also
// after a command) asks for the usage instead.
Options ParseOptions(const std::vector<std::string>& args);

extern const char* const kUsage;

}  // namespace fluvena::batch
