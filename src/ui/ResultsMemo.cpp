#include "ui/ResultsMemo.h"

#include "base/Errors.h"
#include "base/MemoText.h"
#include "io/FileIO.h"
#include "io/FileLock.h"
#include "results/LogFile.h"
#include "results/ResultsLog.h"
#include "ui/RunDialog.h"
#include "ui/TextEdges.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QStatusBar>

#include <ctime>

namespace fluvena::ui {

namespace {
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(ResultsMemo)
};
}  // namespace

void ResultsMemo::record(Analysis analysis, const std::function<LogClick(bool header)>& makeClick, const char* logFile,
                         QLabel* noResultLabel, QWidget* parent, QStatusBar* status)
{
    FileLock lock(LogLockFile(logFile));
    if (!WaitForLock(parent, lock)) return;
    std::vector<std::string> memo = MemoLines(memo_);
    if (memo.empty()) {
        series_.clear();
        memoBlock_ = Analysis::None;
    }
    Series& series = series_[analysis];
    const LogClick click = makeClick(true);
    const std::string header = click.header.value_or(std::string());
    if (series.lines.empty() || series.header != header) {
        series.lines.push_back(header);
        series.header = header;
        memoBlock_ = Analysis::None;
    }
    if (memoBlock_ != analysis) {
        memo.push_back(header);
        memoBlock_ = analysis;
        SetMemoLines(memo_, memo);
    }
    if (click.error) throw Error(*click.error);
    if (click.line) {
        memo.push_back(*click.line);
        series.lines.push_back(*click.line);
        SetMemoLines(memo_, memo);
    }
    if (click.noResult) noResultLabel->setText(Texts::tr("BŁĄD"));
    if (const auto kept = ReplaceLog(logFile, series.lines, std::time(nullptr)))
        status->showMessage(Texts::tr("Wcześniejszy plik %1 zachowano jako %2")
                                .arg(QString::fromLocal8Bit(logFile), QString::fromStdString(kept->filename().string())));
}

void ResultsMemo::save(const std::string& fileName)
{
    const QString text = memo_->toPlainText();
    WriteFileAtomic(fileName, FileText(MemoLines(memo_)));
    saved_ = text;
}

// The log files do not count: the next start's first "Zapamiętaj" replaces
// them, keeping the old file under a dated name.
bool ResultsMemo::unsaved() const
{
    const QString text = memo_->toPlainText();
    return !text.trimmed().isEmpty() && text != saved_;
}

}  // namespace fluvena::ui
