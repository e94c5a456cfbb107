#pragma once
// The analysis core hands its decks to an injected runner: the window runs
// the program under a progress dialog, the batch tool blocks with a time
// limit, tests print recorded listings.
#include <string>
#include <vector>

namespace fluvena {

enum class Engine { Contin, Discrete };

struct EngineRun {
    bool cancelled = false;  // the user stopped the run: nothing changes
    std::string listing;     // the listing's bytes as the program wrote them
};

class EngineRunner {
public:
    virtual ~EngineRunner() = default;
    // Runs the program on the deck lines (8-bit text without line ends).
    // Failures to run (the program missing, a listing that cannot be read, a
    // program that failed) are thrown as fluvena::Error.
    virtual EngineRun Run(Engine engine, const std::vector<std::string>& deckLines) = 0;
};

}  // namespace fluvena
