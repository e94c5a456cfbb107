// The main window's measurement set: files added to it, a measurement taken
// out, and one analysis run over every included measurement in the
// background with its progress in the status bar.
#include "ui/Contin.h"

#include "ui/ContinPage.h"
#include "ui/CumulantPage.h"
#include "ui/DiscretePage.h"
#include "ui/SetPage.h"
#include "ui/SetRun.h"

#include <QProgressBar>
#include <QSettings>
#include <QStatusBar>
#include <QToolButton>

using namespace fluvena;

void TForm1::addToSet()
{
    const QString filter = QStringList{tr("Dane (*.txt *.dat *.csv *.asc)"), tr("ALV (*.asc)"),
                                       tr("Zetasizer (*.txt)"), tr("LS Instruments (*.dat)"), tr("Wszystkie (*)")}
                               .join(QStringLiteral(";;"));
    const QStringList names =
        dialogs_->openFileNames(this, QSettings().value(QStringLiteral("files/lastDirectory")).toString(), filter);
    if (!names.isEmpty()) loadFiles(names, true);
}

void TForm1::removeFromSet() { presenter_.remove(presenter_.current()); }

void TForm1::analyseAll()
{
    if (setRun_->running()) return;
    // The page on show decides the analysis; the pages without one run what
    // the set's chart needs (its source of the mean rate).
    Analysis analysis = currentPage()->analysis();
    if (analysis == Analysis::None) analysis = set_->rateAnalysis();
    const ui::Page* page = analysis == Analysis::Contin     ? static_cast<ui::Page*>(contin_)
                           : analysis == Analysis::Discrete ? static_cast<ui::Page*>(discrete_)
                                                            : static_cast<ui::Page*>(cumulants_);
    sampleEdited();
    ui::AnalysisJob job = page->job();
    if (presenter_.set().IncludedCount() == 0) {
        statusBar()->showMessage(tr("Brak zaznaczonych pomiarów do analizy"));
        return;
    }
    // One question for the whole set, naming its doubtful members.
    std::vector<int> included;
    for (int k = 0; k < presenter_.count(); ++k)
        if (presenter_.set().At(static_cast<std::size_t>(k)).included) included.push_back(k);
    if (!askDataKinds(included)) return;
    if (!setRun_->start(analysis, std::move(job), std::filesystem::current_path())) return;
    ActionRunAll->setEnabled(false);
    ProgressSet->setVisible(true);
    ButtonCancelSet->setVisible(true);
    ButtonCancelSet->setEnabled(true);
    statusBar()->showMessage(tr("Analiza zestawu…"));
}

void TForm1::cancelAnalyseAll()
{
    setRun_->cancel();
    ButtonCancelSet->setEnabled(false);
}

void TForm1::setRunEnded(int done, int total, bool cancelled, const QStringList& failures)
{
    ActionRunAll->setEnabled(true);
    ProgressSet->setVisible(false);
    ButtonCancelSet->setVisible(false);
    QString message = tr("Przeanalizowano %1 z %2 pomiarów").arg(done).arg(total);
    if (cancelled) message += tr(" (przerwano)");
    if (!failures.isEmpty()) message += tr("; bez wyniku: %1").arg(failures.size());
    statusBar()->showMessage(message);
    if (!failures.isEmpty())
        errors_->showError(this, tr("Pomiary bez wyniku:") + QLatin1Char('\n') + failures.join(QLatin1Char('\n')));
}
