#pragma once
// The main window as a shell: the menu, the status bar, the tab widget of
// the pages, the memos and the data chart with the scroll bars that choose
// the range. The pages do the analyses; the presenter holds the
// measurements; every dictated handler is a one-line forward to the part
// that does the work.
#include "ui/Dialogs.h"
#include "ui/Page.h"
#include "ui/Presenter.h"

#include <QMainWindow>
#include <QString>
#include <QStringList>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QComboBox;
class QCustomPlot;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QScrollBar;
class QTabWidget;
class QToolButton;
class TForm3;

namespace fluvena::ui {
class ContinPage;
class CumulantPage;
class DataChart;
class DiscretePage;
class RecentFiles;
class ResultsMemo;
class SamplePage;
class SetPage;
class SetRun;
struct Arrow;
}  // namespace fluvena::ui

class TForm1 : public QMainWindow, public fluvena::ui::PageHost {
    Q_OBJECT
public:
    // helperDir: where the bundled engines are (appended to PATH for runs).
    TForm1(std::unique_ptr<fluvena::ui::FileDialogs> dialogs, std::unique_ptr<fluvena::ui::ErrorDisplay> errors,
           std::filesystem::path helperDir, QWidget* parent = nullptr);
    ~TForm1() override;

    // The measurement on show.
    const fluvena::Measurement& measurement() const { return presenter_.measurement(); }
    fluvena::ui::Presenter& presenter() { return presenter_; }
    void setHelpWindow(TForm3* help) { Form3 = help; }
    // The files named on the command line (arguments after the program's
    // name) open as if chosen together in "Otwórz".
    void openCommandLine(const QStringList& arguments);

    // Handlers, named after the control and the event.
    void FormCreate();
    void ButtonClearClick();
    void Otw1Click();
    void ScrollBar1Change();
    void ButtonOKContClick();
    void ButtonContinClick();
    void UpDown1Click();
    void ButtonOKDiscClick();
    void ButtonDiscClick();
    void UpDown2Click();
    void CheckBoxDTClick();
    void SpeedButton1Click();
    void ButtonDefaultClick();
    void ButtonZapiszClick();
    void ButtonZapiszDiscClick();
    void Zapisz1Click();
    void ButtonRozkladClick();
    void ButtonZapiszFidClick();
    void Zamknij1Click();
    void Pomoc1Click();
    void ButtonCumClick();
    void ButtonZapiszCumClick();
    void CheckBoxFriskenClick();
    void sampleEdited();
    void solventChosen();
    void dataKindChosen();

    // Desktop habits beyond the original handlers.
    void showFile(int index);
    void showPreviousFile();
    void showNextFile();
    void openRecentFile(const QString& path);
    void chooseWorkingDirectory();
    void runPageAnalysis();
    // The measurement set: files added to it, the one on show taken out,
    // the page's analysis run on every included measurement (and stopped).
    void addToSet();
    void removeFromSet();
    void analyseAll();
    void cancelAnalyseAll();
    void showChosenSolution();
    // The working directory: decks, listings and logs go there.
    static QString workingDirectory();

    // PageHost.
    QWidget* window() override { return this; }
    QStatusBar* status() override;
    QPlainTextEdit* scratchMemo() override { return Memo1; }
    QLabel* analysisStatus() override;
    std::filesystem::path helperDir() const override { return helperDir_; }
    void commitSample() override { sampleEdited(); }
    bool confirmDataKind() override;
    void recordLog(fluvena::Analysis analysis, const std::function<fluvena::LogClick(bool header)>& click, const char* logFile,
                   QLabel* noResultLabel) override;
    void saveScratch(const std::vector<std::string>& lines, const char* kind) override;

    // The pages.
    fluvena::ui::ContinPage& contin() const { return *contin_; }
    fluvena::ui::DiscretePage& discrete() const { return *discrete_; }
    fluvena::ui::CumulantPage& cumulants() const { return *cumulants_; }
    fluvena::ui::SamplePage& sample() const { return *sample_; }
    fluvena::ui::SetPage& setPage() const { return *set_; }
    fluvena::ui::SetRun& setRun() const { return *setRun_; }
    fluvena::ui::DataChart& dataChart() const { return *dataChart_; }
    // The arrows that mark the ends of the range (Series1).
    const std::vector<fluvena::ui::Arrow>& Series1() const { return arrows_; }

    // The shell's controls, named as the form designer named them.
    QPushButton* ButtonClear = nullptr;
    QTabWidget* PageControl1 = nullptr;
    QWidget *Panel3 = nullptr, *Panel4 = nullptr;
    QPlainTextEdit *Memo1 = nullptr, *Memo2 = nullptr;
    QCustomPlot* Chart2 = nullptr;
    QPushButton* ButtonZapiszFid = nullptr;
    QScrollBar *ScrollBar1 = nullptr, *ScrollBar2 = nullptr;
    QMenu *Plik1 = nullptr, *MenuRecent = nullptr, *MenuAnalysis = nullptr, *MenuLanguage = nullptr;
    QAction *Otw1 = nullptr, *Zapisz1 = nullptr, *Zamknij1 = nullptr, *Pomoc1 = nullptr;
    QAction *ActionPrevFile = nullptr, *ActionNextFile = nullptr, *ActionWorkDir = nullptr;
    QAction *ActionPolish = nullptr, *ActionEnglish = nullptr, *ActionRun = nullptr, *ActionChosen = nullptr;
    QAction *ActionAddToSet = nullptr, *ActionRemoveFromSet = nullptr, *ActionRunAll = nullptr;
    QProgressBar* ProgressSet = nullptr;
    QToolButton* ButtonCancelSet = nullptr;
    QToolButton* ButtonChosen = nullptr;
    QLabel *StatusSolution = nullptr, *StatusWorkDir = nullptr;
    QWidget* FileBar = nullptr;
    QComboBox* ComboFiles = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormResize();
    void buildControls();
    void buildMenu();
    void buildStatusBar();
    void wireEvents();
    void retranslateUi();
    void updateAxisTitles();
    void updateSolutionStatus();
    void showWorkingDirectory();
    fluvena::ui::Page* currentPage() const;
    // The page on show decides what the data chart draws over the data and
    // what the status bar says of the solution.
    void showPageResult();
    // Everything of the measurement on show the shell draws.
    void showMeasurement();
    // The files' measurements replace the set, or join it (`add`).
    void loadFiles(const QStringList& names, bool add = false);
    void showFileList();
    void setRunEnded(int done, int total, bool cancelled, const QStringList& failures);
    // One question for the members at `indices` whose data look like
    // another kind (those with no doubt left are skipped); true to go on
    // (nothing doubtful, "analyse as they are", or each kind changed).
    bool askDataKinds(const std::vector<int>& indices);
    // The measurements a data file holds (the column question asked when it
    // has more than two columns); nothing when the user cancels the question.
    std::optional<fluvena::Outcome<std::vector<fluvena::io::DataFile>>> readData(const QString& name,
                                                                               std::optional<fluvena::ui::ColumnChoice>& columns);
    void saveSettings() const;
    void restoreSettings();
    // Runs a handler; a failure stops it and goes to the error display.
    void guarded(const std::function<void()>& handler);

    fluvena::ui::Presenter presenter_;
    fluvena::ui::ContinPage* contin_ = nullptr;
    fluvena::ui::DiscretePage* discrete_ = nullptr;
    fluvena::ui::CumulantPage* cumulants_ = nullptr;
    fluvena::ui::SamplePage* sample_ = nullptr;
    fluvena::ui::SetPage* set_ = nullptr;
    std::unique_ptr<fluvena::ui::SetRun> setRun_;  // after presenter_: stopped before it goes
    std::unique_ptr<fluvena::ui::DataChart> dataChart_;
    std::unique_ptr<fluvena::ui::ResultsMemo> results_;
    std::unique_ptr<fluvena::ui::RecentFiles> recent_;
    std::unique_ptr<fluvena::ui::FileDialogs> dialogs_;
    std::unique_ptr<fluvena::ui::ErrorDisplay> errors_;
    std::filesystem::path helperDir_;
    TForm3* Form3 = nullptr;
    std::vector<fluvena::ui::Arrow> arrows_;
    bool settingUpScrollBars_ = false;
    QString fileName_;  // the data file on show, for the caption
};
