#pragma once
// The window's hold on the core: the measurements opened together, the one
// on show, and every change to them. Pages and the shell never change a
// measurement behind its back; they ask the presenter and redraw on its
// signals, so no page calls another page's handler to refresh it.
#include "core/Measurement.h"

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
    // The measurement on show. It stays the same object while others are
    // shown: the one on show is swapped into it.
    Measurement& measurement() { return m_; }
    const Measurement& measurement() const { return m_; }
    int count() const { return static_cast<int>(files_.size()); }
    int current() const { return current_; }
    // The path and the list name of the measurement at `index`.
    QString path(int index) const;
    QString name(int index) const;
    // The file of the measurement at `index` (the one on show is in measurement()).
    const io::DataFile& file(int index) const;
    // The sample the measurement on show was loaded with; nothing without one.
    std::optional<SampleParameters> loadedSample() const;

    // The reset: no measurement (the sample stays).
    void clear();
    // The measurements opened together replace the earlier ones; the first goes on show.
    void open(std::vector<OpenedMeasurement> opened);
    // Brings the measurement at `index` on show; false when there is none there.
    bool show(int index);

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
    // The range of the measurement on show moved.
    void rangeChanged();

private:
    Measurement m_;
    std::vector<OpenedMeasurement> files_;  // the one on show lives in m_ meanwhile
    int current_ = -1;
};

}  // namespace fluvena::ui
