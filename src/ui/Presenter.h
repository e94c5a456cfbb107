#pragma once
// The window's hold on the core: the measurements opened together, the one
// on show, and every change to them. Pages and the shell never change a
// measurement behind its back; they ask the presenter and redraw on its
// signals, so no page calls another page's handler to refresh it.
#include "core/DataKindCheck.h"
#include "core/Measurement.h"
#include "core/MeasurementSet.h"

#include <QObject>
#include <QString>

#include <optional>
#include <vector>

namespace fluvena::ui {

// A measurement read from a file: the file's path and the name the list of
// open files shows ("FILE" or, for a detector of a multi-detector file, "FILE [k]").
struct OpenedMeasurement {
    QString path;
    QString name;
    Measurement m;
    SampleParameters loaded = {};  // the sample it was loaded with (set on opening)
};

class Presenter : public QObject {
    Q_OBJECT
public:
    // The measurement on show: the selected member of the set, or an empty
    // measurement when the set is empty. Pages ask for it anew each time (a
    // change of the set may move it).
    Measurement& measurement();
    const Measurement& measurement() const;
    // The measurements opened together.
    const MeasurementSet& set() const { return set_; }
    int count() const { return static_cast<int>(set_.Size()); }
    int current() const { return set_.Selected() ? static_cast<int>(*set_.Selected()) : -1; }
    // The path and the list name of the measurement at `index`.
    QString path(int index) const;
    QString name(int index) const;
    const io::DataFile& file(int index) const;
    // The sample the measurement on show was loaded with; nothing without one.
    std::optional<SampleParameters> loadedSample() const;

    // The reset: no measurement (the sample stays).
    void clear();
    // The measurements opened together replace the earlier ones; the first goes on show.
    void open(std::vector<OpenedMeasurement> opened);
    // The measurements join the set; the first of them goes on show.
    void add(std::vector<OpenedMeasurement> opened);
    // The measurement at `index` leaves the set (the selection moves as the
    // set's Remove says); nothing happens for an index beyond the set.
    void remove(int index);
    // Brings the measurement at `index` on show; false when there is none there.
    bool show(int index);
    // Whether the measurement at `index` is taken into the set's computations.
    void setIncluded(int index, bool included);
    // The value the user typed for the measurement at `index` (empty: none).
    void setUserValue(int index, std::optional<double> value);

    // Runs over the set work on copies of its measurements: a copy's results
    // replace the member's when the set has not been reopened, reset or cut
    // meanwhile (the generation stays the same while members keep their places).
    unsigned generation() const { return generation_; }
    // The result replaces the member's results; the sample and range the
    // member has now stay. False, changing nothing, when the generation has
    // passed or the index is gone.
    bool applyResult(unsigned generation, int index, Measurement result, Analysis analysis);

    // Why the points of the member at `index` look like another kind of data
    // than its sample states; nothing when they do not, when the index is
    // gone, or when the user chose to analyse that member as that kind.
    std::optional<KindDoubt> kindDoubt(int index) const;
    // The user chose to analyse the member at `index` as the kind its sample
    // states now: kindDoubt no longer asks for that kind.
    void acceptKind(int index);
    // The member at `index` takes another kind of data (its other sample
    // values stay).
    void setDataKind(int index, DataKind kind);

    // The range of the measurement on show; false without data.
    bool setRange(std::int64_t first, std::int64_t last);
    // The sample of the measurement on show; a changed angle or wavelength
    // also for the other records of its file that do not state their own.
    void setSample(const SampleParameters& sample);

    RunReport runContin(const ContinRequest& request, EngineRunner& runner);
    RunReport runDiscrete(const DiscreteRequest& request, EngineRunner& runner);
    RunReport runCumulants(const CumulantRequest& request);
    // The solution at `position` of `analysis` goes on show when that
    // analysis has a result (the page on show decides which one the window
    // shows); nullptr, changing nothing, otherwise.
    const ContinSolution* showContin(std::int64_t position);
    const DiscreteSolution* showDiscrete(std::int64_t position);
    // The result of `analysis` goes on show again at the solution last shown of it.
    void bringOnShow(Analysis analysis);

    // A fitted g1 curve in the terms of the data on show, through the Siegert
    // relation with the run's coherence factor beta: y = B + beta·g1·|g1|, B
    // the baseline of g2 data and 0 for g2 − 1; g1 data as they are.
    std::vector<double> fitInDataTerms(const std::vector<double>& fit, const std::optional<double>& beta) const;

signals:
    // Another measurement is on show, or the one on show was reloaded or reset.
    void measurementChanged();
    // A run ended with a result or without one, or another solution went on show.
    void resultChanged(fluvena::Analysis analysis);
    // The sample of the measurement on show changed.
    void sampleChanged();
    // Members joined or left the set, a member's included mark or results changed.
    void setChanged();
    // The range of the measurement on show moved.
    void rangeChanged();

private:
    void append(std::vector<OpenedMeasurement> opened);

    MeasurementSet set_;
    std::vector<SampleParameters> loaded_;  // the sample each member was loaded with
    std::vector<QString> names_;            // the name each member is listed under
    std::vector<unsigned> kindsAccepted_;   // per member: the kinds (bit per DataKind) analysed despite a doubt
    Measurement empty_;                     // on show while the set is empty
    unsigned generation_ = 0;
};

}  // namespace fluvena::ui
