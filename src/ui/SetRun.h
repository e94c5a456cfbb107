#pragma once
// One analysis with one page's settings over every included measurement of
// the set, in a worker thread: the window stays responsive, shows the
// progress and can stop the run. The worker analyses copies; each result
// goes back to its member through the presenter as soon as it is ready (a
// stop keeps the results made before it).
#include "core/EngineRunner.h"
#include "core/Measurement.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <atomic>
#include <filesystem>
#include <functional>

class QThread;

namespace fluvena::ui {

class Presenter;

class SetRun : public QObject {
    Q_OBJECT
public:
    // The analysis of one measurement (a page's request bound in).
    using Job = std::function<RunReport(Measurement&, EngineRunner&)>;

    SetRun(Presenter& presenter, std::filesystem::path helperDir, QObject* parent = nullptr);
    // A run still going is stopped and waited for.
    ~SetRun() override;

    bool running() const { return thread_ != nullptr; }
    // Starts `job` on the included members in `workDir` (decks and listings
    // go there, under its lock); false when a run is going or no member is included.
    bool start(Analysis analysis, Job job, std::filesystem::path workDir);
    // Asks the run to stop: the program running is ended, no further
    // measurement is started.
    void cancel() { cancel_ = true; }
    // Blocks until the worker has ended (the results it made are delivered).
    void wait();

signals:
    // `done` of `total` measurements were analysed (with a result or without one).
    void progress(int done, int total);
    // The run ended; `failures` names each measurement that gave no result and why.
    void finished(int done, int total, bool cancelled, const QStringList& failures);

private:
    void deliver(unsigned generation, int index, Measurement result, const RunReport& report, const QString& error);
    void end();

    Presenter& presenter_;
    std::filesystem::path helperDir_;
    QThread* thread_ = nullptr;
    std::atomic<bool> cancel_{false};
    Analysis analysis_ = Analysis::None;
    int done_ = 0, total_ = 0;
    QStringList failures_;
};

}  // namespace fluvena::ui
