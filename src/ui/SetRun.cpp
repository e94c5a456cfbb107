#include "ui/SetRun.h"

#include "external/Runner.h"
#include "ui/Language.h"
#include "ui/Presenter.h"

#include <QCoreApplication>
#include <QThread>

#include <csignal>
#include <memory>
#include <vector>

namespace fluvena::ui {

namespace {

// The engines run as fluvena-batch runs them, waiting for the directory's
// lock; a stop ends the program and counts as a cancelled run.
class StoppableRunner : public EngineRunner {
public:
    StoppableRunner(std::filesystem::path workDir, std::filesystem::path helperDir, const std::atomic<bool>& stop)
        : runner_(std::move(workDir), std::move(helperDir),
                  RunControl{true, {}, std::nullopt, [&stop] { return stop ? SIGTERM : 0; }})
    {
    }
    EngineRun Run(Engine engine, const std::vector<std::string>& deckLines) override
    {
        try {
            return runner_.Run(engine, deckLines);
        } catch (const Interrupted&) {
            return EngineRun{true, {}};
        }
    }

private:
    BlockingRunner runner_;
};

}  // namespace

SetRun::SetRun(Presenter& presenter, std::filesystem::path helperDir, QObject* parent)
    : QObject(parent), presenter_(presenter), helperDir_(std::move(helperDir))
{
}

SetRun::~SetRun()
{
    cancel_ = true;
    if (thread_) {
        thread_->wait();
        delete thread_;
    }
}

bool SetRun::start(Analysis analysis, Job job, std::filesystem::path workDir)
{
    if (thread_ || !job) return false;
    struct Item {
        int index;
        Measurement m;
    };
    auto items = std::make_shared<std::vector<Item>>();
    const MeasurementSet& set = presenter_.set();
    for (std::size_t k = 0; k < set.Size(); ++k)
        if (set.At(k).included) items->push_back(Item{static_cast<int>(k), set.At(k).measurement});
    if (items->empty()) return false;

    cancel_ = false;
    analysis_ = analysis;
    done_ = 0;
    total_ = static_cast<int>(items->size());
    failures_.clear();
    const unsigned generation = presenter_.generation();
    thread_ = QThread::create([this, items, job = std::move(job), workDir = std::move(workDir), generation] {
        StoppableRunner runner(workDir, helperDir_, cancel_);
        for (Item& item : *items) {
            if (cancel_) break;
            RunReport report;
            QString error;
            try {
                report = job(item.m, runner);
            } catch (const std::exception& e) {
                report.status = RunStatus::Failed;
                error = QString::fromUtf8(e.what());
            }
            if (report.status == RunStatus::Cancelled) break;
            auto result = std::make_shared<Measurement>(std::move(item.m));
            QMetaObject::invokeMethod(
                this, [this, generation, index = item.index, result, report, error] {
                    deliver(generation, index, std::move(*result), report, error);
                }, Qt::QueuedConnection);
        }
        QMetaObject::invokeMethod(this, [this] { end(); }, Qt::QueuedConnection);
    });
    thread_->start();
    emit progress(0, total_);
    return true;
}

void SetRun::deliver(unsigned generation, int index, Measurement result, const RunReport& report, const QString& error)
{
    ++done_;
    const QString name = presenter_.generation() == generation ? presenter_.name(index) : QString();
    if (report.status != RunStatus::Ok)
        failures_ << QStringLiteral("%1: %2").arg(name, error.isEmpty() ? FailureText(report.failure) : error);
    // A run that gave no result still leaves the member as the run left it:
    // no earlier result stands as if it were this run's.
    presenter_.applyResult(generation, index, std::move(result), analysis_);
    emit progress(done_, total_);
}

void SetRun::end()
{
    if (!thread_) return;
    thread_->wait();
    delete thread_;
    thread_ = nullptr;
    emit finished(done_, total_, cancel_, failures_);
}

void SetRun::wait()
{
    if (thread_) thread_->wait();
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

}  // namespace fluvena::ui
