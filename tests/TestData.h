#pragma once
// Files under tests/data and a runner that hands back recorded listings.
#include "core/EngineRunner.h"
#include "io/DataFile.h"
#include "io/DataReader.h"
#include "io/FileIO.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace fluvena::testing {

// A fresh directory under the system's temporary one, removed with everything in it.
struct TempDir {
    TempDir(const std::string& prefix = "fluvena-test")
    {
        std::string tmpl = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
        if (!::mkdtemp(tmpl.data())) throw std::runtime_error("cannot make " + tmpl);
        path = tmpl;
    }
    ~TempDir() { std::filesystem::remove_all(path); }
    std::filesystem::path path;
};

// The message of the E that f throws; "(no error)" when it returns.
template <class E, class F>
std::string Thrown(F f)
{
    try {
        f();
    } catch (const E& e) {
        return e.what();
    }
    return "(no error)";
}

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
    file.x = std::move(x), file.y = std::move(y);
    return file;
}

// Answers every run with the listing it holds and keeps the decks it got.
class RecordedRunner : public EngineRunner {
public:
    explicit RecordedRunner(std::string listing = {}) : listing(std::move(listing)) {}
    EngineRun Run(Engine, const std::vector<std::string>& deckLines) override
    {
        decks.push_back(deckLines);
        return EngineRun{cancel, listing};
    }
    std::string listing;
    bool cancel = false;
    std::vector<std::vector<std::string>> decks;
};

}  // namespace fluvena::testing
