#pragma once
// Files under tests/data and a runner that hands back recorded listings.
#include "core/EngineRunner.h"
#include "io/DataFile.h"
#include "io/DataReader.h"
#include "io/FileIO.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace fluvena::testing {

inline std::string DataPath(const std::string& name) { return std::string(FLUVENA_TEST_DATA) + "/" + name; }

inline std::string ReadFixture(const std::string& name) { return ReadFile(DataPath(name)); }

inline io::DataFile LoadFixture(const std::string& name)
{
    Outcome<io::DataFile> file = io::ReadDataFile(ReadFixture(name), io::ReadOptions{});
    if (!file) throw std::runtime_error("unreadable fixture " + name);
    return std::move(file).value();
}

inline io::DataFile Points(std::vector<double> x, std::vector<double> y)
{
    io::DataFile file;
    file.x = std::move(x);
    file.y = std::move(y);
    return file;
}

// Answers every run with the listing it holds and keeps the decks it got.
class RecordedRunner : public EngineRunner {
public:
    explicit RecordedRunner(std::string listing = {}) : listing(std::move(listing)) {}
    EngineRun Run(Engine engine, const std::vector<std::string>& deckLines) override
    {
        decks.push_back(deckLines);
        engines.push_back(engine);
        return EngineRun{cancel, listing};
    }
    std::string listing;
    bool cancel = false;
    std::vector<std::vector<std::string>> decks;
    std::vector<Engine> engines;
};

}  // namespace fluvena::testing
