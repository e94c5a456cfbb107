#include "ui/RunDialog.h"

#include "external/Runner.h"
#include "io/FileLock.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>

namespace fluvena::ui {

bool WaitForLock(QWidget* parent, FileLock& lock)
{
    if (lock.TryLock()) return true;
    QProgressDialog wait(parent);
    wait.setObjectName(QStringLiteral("LockWait"));
    wait.setWindowTitle(QStringLiteral("Fluvena"));
    wait.setLabelText(QCoreApplication::translate("DialogRunner", "Czekam na inną analizę w tym katalogu…"));
    wait.setCancelButtonText(QCoreApplication::translate("DialogRunner", "Przerwij"));
    wait.setRange(0, 0);
    wait.setWindowModality(Qt::ApplicationModal);
    wait.setMinimumDuration(0);
    wait.setAutoClose(false);
    wait.setAutoReset(false);
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(50);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (lock.TryLock()) loop.quit();
    });
    QObject::connect(&wait, &QProgressDialog::canceled, &loop, &QEventLoop::quit);
    wait.show();
    poll.start();
    loop.exec();
    poll.stop();
    wait.hide();
    return lock.Held();
}

EngineRun DialogRunner::Run(Engine engine, const std::vector<std::string>& deckLines)
{
    const RunFiles files{workDir_};
    FileLock lock(files.lock());
    if (!WaitForLock(parent_, lock)) return EngineRun{true, {}};
    PrepareRun(files, deckLines);
    const std::unique_ptr<ExternalProcess> started = StartEngine(files, engine, helperDir_);
    ExternalProcess& process = *started;

    QProgressDialog progress(parent_);
    progress.setObjectName(QStringLiteral("RunProgress"));
    progress.setWindowTitle(QStringLiteral("Fluvena"));
    progress.setLabelText(QCoreApplication::translate("DialogRunner", "Trwa obliczanie programem %1…")
                              .arg(QString::fromLatin1(EngineProgram(engine))));
    progress.setCancelButtonText(QCoreApplication::translate("DialogRunner", "Przerwij"));
    progress.setRange(0, 0);
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(0);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    bool cancelled = false;
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(15);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (process.Finished()) loop.quit();
    });
    QObject::connect(&progress, &QProgressDialog::canceled, &loop, [&] {
        cancelled = true;
        loop.quit();
    });
    // A short run never shows the dialog.
    QTimer::singleShot(150, &progress, [&] {
        if (!process.Finished()) progress.show();
    });
    poll.start();
    if (!process.Finished()) loop.exec();
    poll.stop();
    progress.hide();
    if (cancelled) {
        process.Cancel();
        return EngineRun{true, {}};
    }
    lastListing_ = CollectListing(files, engine, process);
    return EngineRun{false, lastListing_};
}

}  // namespace fluvena::ui
