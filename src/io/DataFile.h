#pragma once
// A data file as read: the points, what the file says they are, and for
// correlator files the instrument's header and count-rate trace.
#include "base/Outcome.h"
#include "physics/Sample.h"

#include <optional>
#include <string>
#include <vector>

namespace fluvena::io {

// Text columns, ALV correlator files, Zetasizer tab exports, LS Instruments
// correlator files.
enum class FileFormat { Text, Alv, Zetasizer, Lsi };

// The format to read a file as: recognised from its first lines, or forced.
enum class FormatChoice { Auto, Text, Alv, Zetasizer, Lsi };

struct ReadOptions {
    FormatChoice format = FormatChoice::Auto;
    int xColumn = 1;  // 1-based columns of a text file
    int yColumn = 2;
};

// What an instrument file's header states, exactly as stated (absent keys
// stay empty). Texts are UTF-8 (converted from the file's Latin-1).
struct InstrumentHeader {
    std::string instrument;  // the first line, e.g. "ALV-7004 or ALV-7004/FAST Data"
    std::string date, time;
    std::string sampleName;
    std::vector<std::string> sampleMemo;
    std::optional<double> temperatureK, viscosityCp, refractiveIndex, wavelengthNm, angleDeg, durationS;
    std::optional<int> runs;
    std::string mode;                    // e.g. "C-CH0/1+1/0"
    std::vector<int> channels;           // the correlation channels used (0-based)
    std::vector<double> meanCountRateKHz;  // of each used channel
    // What the instrument's own analysis reported, as the file states it: the
    // cumulant z-average diameter (nm), the polydispersity index and the
    // intercept of g2 - 1.
    std::optional<double> reportedZAverageNm, reportedPdi, reportedIntercept;
    // An LS Instruments file's "Cumulant 1st", "2nd", "3rd" lines: the numbers
    // of each as written (-Inf and NaN, written when the fit failed, kept as
    // such).
    std::vector<std::vector<double>> reportedCumulants;
    // The particles' material, where an export names it.
    std::optional<double> materialRefractiveIndex, materialAbsorption;
    // The angle and wavelength assumed for a file that states none (the
    // instrument model's: a Zetasizer Nano ZS's 173 degrees and 632.8 nm); a
    // stated angleDeg / wavelengthNm wins. Another model (a Nano S90 at 90
    // degrees) is the caller's to set, for every record of the file.
    std::optional<double> assumedAngleDeg, assumedWavelengthNm;
};

// The count rate over the measurement: time in s, one series per used channel.
struct CountRateTrace {
    std::vector<double> timeS;
    std::vector<std::vector<double>> rateKHz;
};

struct DataFile {
    FileFormat format = FileFormat::Text;
    std::vector<double> x, y;
    int headerLines = 0;   // leading lines without data that were skipped
    int columnCount = 2;   // numeric columns of a text file's data lines
    std::optional<DataKind> dataKind;  // what the file says its ordinate is
    std::optional<TimeUnit> timeUnit;  // and its abscissa's unit
    std::optional<InstrumentHeader> instrument;
    CountRateTrace countRate;
    // The detector (1-based) of a multi-detector file that this measurement
    // comes from; empty for files that hold one measurement.
    std::optional<int> detector;
    // The record (1-based) of an instrument export that holds several.
    std::optional<int> record;
    // Leading points that are not correlation values (a correlator's dead
    // time: the lag at 0, values above 2 or below 0 before the plateau): the
    // default range starts after them. The reason is English, for the user.
    std::size_t suggestedFirstPoint = 0;
    std::string suggestedFirstReason;
    // Why this measurement cannot be analysed (a record of an export that
    // holds distributions only): its points are empty. Listed with the file's
    // other measurements so that the user sees what was left out and why.
    std::optional<Failure> refusal;
};

}  // namespace fluvena::io
