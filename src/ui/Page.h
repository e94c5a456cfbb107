#pragma once
// A page of the main window's tab widget. A page owns its controls, turns
// them into requests for the presenter and redraws on the presenter's
// signals; what the window shows around it (the data chart, the status bar,
// the memos) belongs to the shell, reached through PageHost.
#include "core/Measurement.h"
#include "ui/Presenter.h"

#include <QWidget>

#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QSettings;
class QStatusBar;
class QTableWidget;

namespace fluvena {
struct LogClick;
struct LogInput;
}

namespace fluvena::ui {

class FileDialogs;

// What the window around a page offers it.
class PageHost {
public:
    virtual ~PageHost() = default;
    virtual QWidget* window() = 0;
    virtual QStatusBar* status() = 0;
    // The scratch memo under the pages (decks, tables before they are saved).
    virtual QPlainTextEdit* scratchMemo() = 0;
    // The status label both decay analyses report missing data in.
    virtual QLabel* analysisStatus() = 0;
    virtual std::filesystem::path helperDir() const = 0;
    // The sample fields' values, applied before a run (their conversion
    // failures are thrown).
    virtual void commitSample() = 0;
    // Before an analysis of the measurement on show: when its points look
    // like another kind of data than its sample states, the user is asked
    // (once per measurement and kind). False when the user cancels: the
    // analysis does not run.
    virtual bool confirmDataKind() = 0;
    // A "Zapamiętaj" click on the log of `analysis` (file `logFile`): `click`
    // makes the click, with the header or without it as the log needs;
    // `noResultLabel` says "BŁĄD" when there was no result to record.
    virtual void recordLog(Analysis analysis, const std::function<LogClick(bool header)>& click, const char* logFile,
                           QLabel* noResultLabel) = 0;
    // The lines, shown in the scratch memo, saved under a name the user
    // chooses: "NAME-`kind`.txt" offered for the data file NAME, ".txt"
    // added to a name without an extension.
    virtual void saveScratch(const std::vector<std::string>& lines, const char* kind) = 0;
};

// The sizes one column of a page's table stands for: the mean decay time
// (data unit) and its percent error; for a CONTIN peak also the mean rate's
// decay time M(0)/M(-1); why the column gives no size, when it gives none.
struct SizeColumn {
    double time = 0.0, timeErr = 0.0;
    std::optional<double> harmonic{}, harmonicErr{};
    std::optional<Failure> withheld{};
};

// The fit a page shows over the data chart, in the data's terms.
struct FitOnShow {
    std::vector<double> x, y;  // the whole curve, as it is exported
    PointRange range;          // the analysed points (the residual strip's data)
    std::size_t drawn;         // the points of it the charts draw
    bool printed;              // CONTIN's printed fit (the export's format)
};

// One page's analysis with the page's settings, for any measurement.
using AnalysisJob = std::function<RunReport(Measurement&, EngineRunner&)>;

class Page : public QWidget {
    Q_OBJECT
public:
    Page(Presenter& presenter, PageHost& host, const char* name);

    // The analysis the page runs; None for a page without one.
    virtual Analysis analysis() const { return Analysis::None; }
    // The page came forward: its analysis goes on show.
    virtual void activate() {}
    // Ctrl+Enter: the page's analysis run.
    virtual void run() {}
    // The page's analysis with its settings now, to run on every measurement
    // of the set; empty for a page without one. A field that cannot be read
    // is thrown, as by the page's own run.
    virtual AnalysisJob job() const { return {}; }
    // Home: the solution the program chose goes on show.
    virtual void showChosen() {}
    // The fit over the data chart; nothing when there is none to show.
    virtual std::optional<FitOnShow> fit() const { return std::nullopt; }
    // The status bar's words on the solution on show; empty for none.
    virtual QString solutionStatus() const { return {}; }
    // Every text the user reads, in the language installed now.
    virtual void retranslate() = 0;
    // The analysis settings kept between starts.
    virtual void saveSettings(QSettings&) const {}
    virtual void restoreSettings(const QSettings&) {}

protected:
    void changeEvent(QEvent* event) override;
    // A results log's input from the page's series fields.
    static LogInput logInput(const QLineEdit* name, const QLineEdit* value, const QCheckBox* inverse);
    // The rows of `grid` from `firstRow` on, one column per entry: the
    // diffusion coefficient and the hydrodynamic radius with their errors,
    // and with `harmonicRow` the radius from the mean rate beside the one
    // from the mean decay time. A withheld size reads "brak" with its reason;
    // cells stay empty where the sample gives no size. Returns the rows used.
    int showSizeRows(QTableWidget* grid, int firstRow, const std::vector<SizeColumn>& columns, bool harmonicRow) const;
    Measurement& m() { return presenter_.measurement(); }
    const Measurement& m() const { return presenter_.measurement(); }

    Presenter& presenter_;
    PageHost& host_;
};

}  // namespace fluvena::ui
