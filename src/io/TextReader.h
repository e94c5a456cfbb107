#pragma once
// Data files as labs keep them: one point a line, columns of numbers.
#include "DataFile.h"
#include "base/Outcome.h"

#include <string_view>

namespace fluvena::io {

// Reads the columns options.xColumn / options.yColumn of a text file (bytes
// without a byte-order mark). See TextReader.cpp for the rules.
Outcome<DataFile> ReadTextFile(std::string_view bytes, const ReadOptions& options);

}  // namespace fluvena::io
