#pragma once
// One input of fluvena-batch: its data file read, each measurement loaded
// with the command line's sample and range, and analysed.
#include "BatchOptions.h"

#include "core/Measurement.h"
#include "external/Runner.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace fluvena::batch {

extern const char* const kBlad;  // "BŁĄD" in UTF-8

enum class Status { Ok, Refused, Rejected, Error };

const char* StatusName(Status s);

struct InputResult {
    std::string file;  // as given on the command line
    std::optional<int> detector;  // of a multi-detector file: one record per detector
    std::optional<int> record;    // of an instrument export: one record per record of the file
    Status status = Status::Ok;
    std::string message;
    Measurement m;
    // The DISCRETE status read-out of the window: "Uwaga" when the listing
    // doubts its best solution, "BŁĄD" when there is no result, else " ".
    std::string note = " ";

    bool Ok() const { return status == Status::Ok; }
    // The message on one line: the program's own text may end lines.
    void Fail(Status s, const std::string& text)
    {
        status = s;
        message.clear();
        for (char c : text) {
            if (c == '\n' || c == '\r') {
                if (!message.empty() && message.back() != ' ') message += ' ';
            } else {
                message += c;
            }
        }
        while (!message.empty() && message.back() == ' ') message.pop_back();
    }
};

ContinRequest ContinRequestOf(const Options& o);
DiscreteRequest DiscreteRequestOf(const Options& o);

// The sample of a loaded file with the command line's values: a solvent
// preset at the final temperature first, then every value given.
Outcome<SampleParameters> ResolveSample(SampleParameters p, const SampleOptions& o);

// One input: a record for every measurement the file holds (one per detector
// of a multi-detector file), or one record of the reason it holds none.
// `stopped` is asked between measurements.
std::vector<InputResult> RunAnalysis(const Options& o, const std::string& file, BlockingRunner& runner,
                                     bool keepListings, const std::function<bool()>& stopped);

// "parse-contin" / "parse-discrete": an existing listing read as the window
// would read it for that range.
InputResult ParseOnly(const Options& o);

}  // namespace fluvena::batch
