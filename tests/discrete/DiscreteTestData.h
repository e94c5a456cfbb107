#pragma once
// Fixture files of the DISCRETE tests, read as bytes.
#include "io/DataLoader.h"
#include "core/Workspace.h"

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace fluvena::testing {

inline std::string ReadFixture(const std::string& name)
{
    std::ifstream in(std::string(FLUVENA_TEST_DATA) + "/" + name, std::ios::binary);
    if (!in) throw std::runtime_error("missing fixture " + name);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// A workspace holding these points, all of them selected.
inline Workspace Points(std::vector<double> x, std::vector<double> y)
{
    Workspace ws;
    ws.DataX = std::move(x);
    ws.DataY = std::move(y);
    ws.PointCount = static_cast<std::int32_t>(ws.DataX.size());
    ws.SetRange(0, ws.PointCount - 1);
    return ws;
}

// A workspace holding a fixture data file with the points first ... last.
inline Workspace LoadedWorkspace(const std::string& dataFile, int first, int last)
{
    const LoadedData d = ParseDataFile(ReadFixture(dataFile));
    if (d.status != LoadedData::Status::Ok) throw std::runtime_error("unreadable fixture " + dataFile);
    Workspace ws;
    ws.DataX = d.x;
    ws.DataY = d.y;
    ws.PointCount = static_cast<std::int32_t>(d.x.size());
    ws.SetRange(first, last);
    return ws;
}

}  // namespace fluvena::testing
