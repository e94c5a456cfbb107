#pragma once
// One measurement on show: the loaded data, the point range, the sample, the
// last result of each analysis and the solution on show. The window and
// fluvena-batch are shells around it: they turn controls or options into
// requests and what it returns into pixels or JSON.
#include "base/Outcome.h"
#include "core/EngineRunner.h"
#include "core/Requests.h"
#include "core/SampleSources.h"
#include "core/Solutions.h"
#include "io/DataFile.h"
#include "physics/Sample.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace fluvena {

// Cumulants have one result and nothing to browse: never on show.
enum class Analysis { None, Contin, Discrete, Cumulants };

enum class RunStatus {
    Ok,         // the listing was read whole: its solutions are on show
    Refused,    // the range cannot be analysed (nothing was run)
    Rejected,   // the program refused the deck or said why it gives no
                // solution; `failure` carries its words
    Failed,     // the listing is incomplete or unreadable
    Cancelled,  // the user stopped the run: nothing changed
};

struct RunReport {
    RunStatus status = RunStatus::Ok;
    Failure failure;  // what went wrong, when the status is not Ok
};

class Measurement {
public:
    // ------------------------------------------------------------ data
    // Replaces the data; every result goes and the range becomes all points
    // but the leading ones the file marks as no correlation values. The
    // sample is what the file states (its data kind, time unit and
    // instrument header), else what the user entered for files of its kind,
    // else the angle and wavelength the file assumes, else `defaults`;
    // Sources() says which for every value.
    void Load(io::DataFile file, const SampleParameters& defaults = {}, const EnteredSample& entered = {});
    // The reset: no data, no results, no range. What the last DISCRETE
    // request asked for stays (the results log's columns follow it).
    void Clear();
    std::size_t PointCount() const { return file_.x.size(); }
    const std::vector<double>& X() const { return file_.x; }
    const std::vector<double>& Y() const { return file_.y; }
    const io::DataFile& File() const { return file_; }

    // ------------------------------------------------------------ range
    // Takes the two positions as the range, each brought into the loaded
    // points. Without data nothing changes and the answer is false.
    bool SetRange(std::int64_t first, std::int64_t last);
    // Without data the range holds no points.
    PointRange Range() const { return PointCount() > 0 ? range_ : PointRange{}; }
    // The range if an analysis of `engine` can use it: a failure says why not
    // (no data, reversed, too few points).
    Outcome<PointRange> UsableRange(Engine engine) const;

    // ------------------------------------------------------------ sample
    const SampleParameters& Sample() const { return sample_; }
    // Where each value of the sample comes from.
    const SampleSources& Sources() const { return sources_; }
    // The user's values: every value that changes becomes Entered.
    void SetSample(const SampleParameters& sample);

    // The points of a range as the decay analyses receive them: the field
    // correlation g1, through the Siegert relation for g2 data, with the
    // coherence factor beta taken from the cumulant fit's intercept of the
    // same points, and the weights that relation gives g1.
    struct AnalysisPoints {
        std::vector<double> x, y;
        std::optional<double> beta;  // g2 kinds only
        double baseline = 0.0;       // B taken off g2 data (0 for the other kinds)
        // g2 kinds: each point's least-squares weight as g1 (the Siegert
        // relation's, from the noise of the data); empty for g1 data.
        std::vector<double> weights;
    };
    Outcome<AnalysisPoints> PointsForAnalysis(PointRange range) const;

    // ------------------------------------------------------------ analyses
    // The decks for the current range, as a run would hand them over.
    std::vector<std::string> ContinDeck(const ContinRequest& request) const;
    std::vector<std::string> DiscreteDeck(const DiscreteRequest& request) const;

    RunReport RunContin(const ContinRequest& request, EngineRunner& runner);
    RunReport RunDiscrete(const DiscreteRequest& request, EngineRunner& runner);
    // The cumulant fit runs in-process; a failure says why there is no fit.
    RunReport RunCumulants(const CumulantRequest& request);

    // The last result of each analysis, while it exists.
    const ContinResult* Contin() const { return contin_ ? &*contin_ : nullptr; }
    const DiscreteResult* Discrete() const { return discrete_ ? &*discrete_ : nullptr; }
    const CumulantResult* Cumulants() const { return cumulants_ ? &*cumulants_ : nullptr; }
    // What the last attempted runs asked for (also when they were refused).
    const std::optional<ContinRequest>& LastContinRequest() const { return lastContinRequest_; }
    const std::optional<DiscreteRequest>& LastDiscreteRequest() const { return lastDiscreteRequest_; }

    // ------------------------------------------------------------ on show
    // The analysis whose solutions can be browsed: the one that ran last
    // with success; None after a reset or a run that gave no result.
    Analysis OnShow() const { return onShow_; }
    std::size_t ShownIndex() const { return shown_; }
    // Shows the solution at `position` (brought into the set) of that
    // analysis; nullptr, changing nothing, when it has nothing on show.
    const ContinSolution* ShowContin(std::int64_t position);
    // Puts the result of `analysis` on show again, at the solution last
    // shown of it (the window's page of that analysis came forward); false,
    // changing nothing, when that analysis has no result to browse (none,
    // or its last run failed).
    bool BringOnShow(Analysis analysis);
    const DiscreteSolution* ShowDiscrete(std::int64_t position);
    const ContinSolution* ContinOnShow() const;
    const DiscreteSolution* DiscreteOnShow() const;
    // The CONTIN solution last shown, while its result exists: the
    // distribution chart keeps showing it after other runs.
    const ContinSolution* ContinDrawn() const;

private:
    io::DataFile file_;
    PointRange range_;
    SampleParameters sample_;
    SampleSources sources_;
    std::optional<ContinResult> contin_;
    std::optional<DiscreteResult> discrete_;
    std::optional<CumulantResult> cumulants_;
    std::optional<ContinRequest> lastContinRequest_;
    std::optional<DiscreteRequest> lastDiscreteRequest_;
    Analysis onShow_ = Analysis::None;
    std::size_t shown_ = 0;
    std::optional<std::size_t> continDrawn_;
    std::size_t discreteShown_ = 0;  // the DISCRETE solution last shown
    // The analysis's result is its last run's (no failed run came after it).
    bool continCurrent_ = false, discreteCurrent_ = false;
};

}  // namespace fluvena
