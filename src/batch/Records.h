#pragma once
// What fluvena-batch prints of a record: the JSON object, the text line and
// the progress summary.
#include "Inputs.h"

#include "results/Table.h"

#include <string>
#include <vector>

namespace fluvena::batch {

std::string Json(const InputResult& r, const Options& o);
// The headline of the result and the codes of its flags; the status and
// message of a record without a result.
std::string TextLine(const InputResult& r, const Options& o, char sep);
// A short summary for the progress lines on stderr.
std::string Summary(const InputResult& r, const Options& o);

// The table of --table: one row per measurement under stable column names,
// the same for every analysis (a cell the analysis does not give is empty).
const std::vector<std::string>& TableColumns();
std::vector<results::TableCell> TableRow(const InputResult& r, const Options& o);

}  // namespace fluvena::batch
