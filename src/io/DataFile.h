#pragma once
// A data file as read: the points, what the file says they are, and for
// correlator files the instrument's header and count-rate trace.
#include "physics/Sample.h"

#include <optional>
#include <string>
#include <vector>

namespace fluvena::io {

enum class FileFormat { Text, Alv };

// The format to read a file as: recognised from its first line, or forced.
enum class FormatChoice { Auto, Text, Alv };

struct ReadOptions {
    FormatChoice format = FormatChoice::Auto;
    int xColumn = 1;  // 1-based columns of a text file
    int yColumn = 2;
};

// What an ALV correlator file's header states, exactly as stated (absent keys
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
};

}  // namespace fluvena::io
