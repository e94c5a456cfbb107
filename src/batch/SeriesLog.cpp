#include "SeriesLog.h"

#include "base/Errors.h"
#include "core/Components.h"
#include "io/Cp1250.h"
#include "io/FileIO.h"
#include "io/FileLock.h"
#include "results/LogFile.h"
#include "results/ResultsLog.h"
#include "results/ResultsSeries.h"

namespace fluvena::batch {

void LogResult(InputResult& r, const Options& o, SeriesLog& log, const RunControl& control, const std::string& value,
               char sep)
{
    const bool contin = o.command == Command::Contin || o.command == Command::ParseContin;
    const bool cumulants = o.command == Command::Cumulants;
    std::int64_t wanted = 0;
    if (o.solution) wanted = *o.solution;
    else if (contin && r.m.Contin()) wanted = static_cast<std::int64_t>(r.m.Contin()->chosen);
    const std::size_t available = contin ? (r.m.Contin() ? r.m.Contin()->solutions.size() : 0)
                                          : (r.m.Discrete() ? r.m.Discrete()->solutions.size() : 0);
    const bool exists = wanted >= 0 && static_cast<std::size_t>(wanted) < available;
    LogInput in;
    in.paramName = Utf8ToCp1250(o.param);
    in.value = value;
    in.inverse = o.inverse;
    in.rates = o.rates;
    in.decimalSeparator = sep;
    try {
        log.Append(control, [&](ResultsSeries series) {
            ResultsSeries::Step step;
            if (cumulants) step = series.RecordCumulants(r.m.Cumulants(), r.m.Sample(), in);
            else if (contin) step = series.RecordContin(exists ? r.m.ShowContin(wanted) : nullptr, in);
            else
                step = series.RecordDiscrete(exists ? r.m.ShowDiscrete(wanted) : nullptr,
                                             ComponentGroups(r.m.LastDiscreteRequest()), in);
            // The header stays even when the click then fails, as in the window.
            if (step.error)
                r.Fail(Status::Error, "no log line: " + *step.error);
            else if (step.noResult)
                r.Fail(Status::Error, cumulants ? std::string("no log line: there is no cumulant fit")
                                                : "no log line: solution " + std::to_string(wanted) + " does not exist");
            return step.added;
        });
    } catch (const Error& e) {
        r.Fail(Status::Error, std::string("the log cannot be written (") + e.what() + ")");
    }
}

}  // namespace fluvena::batch
