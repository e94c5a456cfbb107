#pragma once
// The main window: both analysis pages, the data chart, the memos and the
// menu. Handlers read controls, call the core and write controls; every
// decision lives in the core, where it is tested without a window.
#include "core/Measurement.h"
#include "results/ResultsLog.h"

#include <QMainWindow>
#include <QString>
#include <QStringList>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QCloseEvent;
class QDragEnterEvent;
class QDropEvent;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QScrollBar;
class QSpinBox;
class QTabWidget;
class QTableWidget;
class QToolButton;
class QWidget;
class QCustomPlot;
class QCPGraph;
class TForm3;

namespace fluvena::ui {

class CountRateChart;
class DataChart;
class DistributionChart;
class ResidualChart;
struct Arrow;

// The answer to the question asked before quitting with results that were
// not saved; closing the question's window is Cancel.
enum class UnsavedAnswer { Cancel, Save, Discard };

// The two columns of a text file that hold the lag times and the
// correlation (1-based).
struct ColumnChoice {
    int x = 1, y = 2;
};

// The dialogs the window runs; tests replace them.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // The files chosen (several may be); none when the user cancels.
    // `filter` as in a file dialog.
    virtual QStringList openFileNames(QWidget* parent, const QString& directory, const QString& filter) = 0;
    // The columns of a text file with `columnCount` > 2 columns to read,
    // `suggested` first; nothing when the user cancels.
    virtual std::optional<ColumnChoice> chooseColumns(QWidget* parent, const QString& fileName, int columnCount,
                                                      ColumnChoice suggested) = 0;
    // `filter` as in a file dialog; empty for any file.
    virtual QString saveFileName(QWidget* parent, const QString& filter) = 0;
    virtual QString directoryName(QWidget* parent, const QString& current) = 0;
    virtual UnsavedAnswer unsavedResults(QWidget* parent) = 0;
};

// Where failures of a handler are shown; tests replace it.
class ErrorDisplay {
public:
    virtual ~ErrorDisplay() = default;
    virtual void showError(QWidget* parent, const QString& message) = 0;
};

// The standard dialogs: message box, open and save dialogs (the save dialog
// offers the name chosen last in it).
std::unique_ptr<FileDialogs> MakeStandardDialogs();
std::unique_ptr<ErrorDisplay> MakeMessageBoxDisplay();

}  // namespace fluvena::ui

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    // helperDir: where the bundled engines are (appended to PATH for runs).
    TForm1(std::unique_ptr<fluvena::ui::FileDialogs> dialogs, std::unique_ptr<fluvena::ui::ErrorDisplay> errors,
           std::filesystem::path helperDir, QWidget* parent = nullptr);
    ~TForm1() override;

    // The measurement on show.
    const fluvena::Measurement& measurement() const { return m_; }
    void setHelpWindow(TForm3* help) { Form3 = help; }

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

    // The page "Kumulanty".
    void ButtonCumClick();
    void ButtonZapiszCumClick();
    void CheckBoxFriskenClick();
    // The page "Próbka": the sample of the measurement on show from its
    // controls (conversion failures are thrown), a solvent preset applied.
    void sampleEdited();
    void solventChosen();
    void dataKindChosen();
    // The distribution chart's axis or weighting changed.
    void distributionChoiceChanged();
    // Several files opened at once: the one at `index` goes on show.
    void showFile(int index);
    void showPreviousFile();
    void showNextFile();

    // Desktop habits beyond the original handlers.
    void openRecentFile(const QString& path);
    void chooseWorkingDirectory();
    void runPageAnalysis();
    void showChosenSolution();
    // The working directory: decks, listings and logs go there.
    static QString workingDirectory();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void FormResize();
    void buildControls();
    void buildMenu();
    void buildStatusBar();
    void wireEvents();
    // Every text the user reads, in the language installed now.
    void retranslateUi();
    void updateAxisTitles();
    void updateSolutionStatus();
    void showWorkingDirectory();
    void loadFile(const QString& name);
    void loadFiles(const QStringList& names);
    // Reads a data file (the column question asked when it has more than two
    // columns); nothing when the user cancels the question. A file without
    // data or one that cannot be read is a failure.
    std::optional<fluvena::Outcome<fluvena::io::DataFile>> readData(const QString& name, std::optional<fluvena::ui::ColumnChoice>& columns);
    // The sample a newly read file starts from: the controls' values, and for
    // a text file the data kind, baseline and time unit last chosen for one.
    fluvena::SampleParameters loadDefaults() const;
    // Everything of the measurement on show: data, range, sample, count
    // rate, results of every page.
    void showMeasurement();
    void showSample();
    void showCountRate();
    void showCumulants();
    void drawDistribution();
    void showRadii(QTableWidget* grid, int firstRow, const std::vector<std::pair<double, double>>& decayTimes);
    void showBeta(QLabel* label, const std::optional<double>& beta);
    void buildCumulantPage();
    void buildSamplePage();
    void buildFileBar();
    void retranslateAddedPages();
    fluvena::SampleParameters sampleFromControls() const;
    fluvena::CumulantRequest cumulantRequest() const;
    fluvena::LogInput logInput(QLineEdit* name, QLineEdit* value, QCheckBox* inverse) const;
    void rememberRecent(const QString& path, bool add);
    void rebuildRecentMenu();
    bool resultsUnsaved() const;
    // Window geometry, last directory and the analysis settings.
    void saveSettings() const;
    void restoreSettings();
    // Runs a handler; a failure stops it and goes to the error display.
    void guarded(const std::function<void()>& handler);

    // Drawing.
    void PlotData();
    void PlotContinSolution(const fluvena::ContinSolution& solution);
    void PlotDiscreteSolution(const fluvena::DiscreteSolution& solution);
    std::vector<double> fitInDataTerms(const std::vector<double>& fit, const std::optional<double>& beta) const;

    // The requests the pages' fields make (conversion failures are thrown).
    fluvena::ContinRequest continRequest() const;
    fluvena::DiscreteRequest discreteRequest() const;

    // Text edges: 8-bit Windows-1250 in the core, Unicode in the window.
    static QString fromCore(const std::string& bytes);
    static std::string toCore(const QString& text);
    static char decimalSeparator();
    std::vector<std::string> memoLines(QPlainTextEdit* memo) const;
    void setMemoLines(QPlainTextEdit* memo, const std::vector<std::string>& lines);
    int memoLineCount(QPlainTextEdit* memo) const;
    void setLabelColour(QLabel* label, bool red);
    void writeMemo2To(const std::string& fileName);
    // `status` says "BŁĄD" when there is no result to record (Label1 unless given).
    void recordLogClick(const fluvena::LogClick& click, const char* logFile, QLabel* status = nullptr);
    void saveMemo1Table();
    // Shows why a run gave no result: in full as the label's tool tip and in
    // the status bar (the label keeps its short text).
    void showRunFailure(QLabel* label, const QString& text, const fluvena::Failure& why);

public:
    // Controls, named as the form designer named them.
    QPushButton* ButtonClear = nullptr;
    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheetCont = nullptr;
    QWidget* TabSheetDisc = nullptr;
    QWidget* Panel1 = nullptr;
    QWidget* Panel2 = nullptr;
    QWidget* Panel3 = nullptr;
    QWidget* Panel4 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QPlainTextEdit* Memo2 = nullptr;

    QGroupBox* GroupBox1 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QLabel* Label11 = nullptr;
    QLineEdit* Edit3 = nullptr;
    QLabel* LabelPunktow = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* Edit7 = nullptr;
    QLineEdit* Edit8 = nullptr;
    QCheckBox* CheckBox10 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label12 = nullptr;
    QPushButton* ButtonOKCont = nullptr;
    QPushButton* ButtonContin = nullptr;
    QSpinBox* UpDown1 = nullptr;
    QPushButton* ButtonZapisz = nullptr;
    QTableWidget* StringGrid1 = nullptr;
    QCustomPlot* Chart1 = nullptr;
    QPushButton* ButtonRozklad = nullptr;
    QCPGraph* SeriesRozklad = nullptr;

    QGroupBox* GroupBox3 = nullptr;
    QLineEdit* Edit4 = nullptr;
    QLabel* Label7 = nullptr;
    QLineEdit* Edit6 = nullptr;
    QLabel* Label9 = nullptr;
    QLineEdit* Edit9 = nullptr;
    QLineEdit* Edit10 = nullptr;
    QCheckBox* CheckBox11 = nullptr;
    QCheckBox* CheckBoxDT = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QPushButton* ButtonOKDisc = nullptr;
    QLabel* Label10 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QPushButton* ButtonDisc = nullptr;
    QSpinBox* UpDown2 = nullptr;
    QPushButton* ButtonZapiszDisc = nullptr;
    QTableWidget* StringGrid2 = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QCheckBox* CheckBox2 = nullptr;
    QCheckBox* CheckBox3 = nullptr;
    QCheckBox* CheckBox4 = nullptr;
    QCheckBox* CheckBox5 = nullptr;
    QCheckBox* CheckBox6 = nullptr;
    QCheckBox* CheckBox7 = nullptr;
    QCheckBox* CheckBox8 = nullptr;
    QCheckBox* CheckBox9 = nullptr;
    QLineEdit* Edit5 = nullptr;
    QLabel* Label8 = nullptr;
    QPushButton* ButtonDefault = nullptr;
    QCustomPlot* Chart3 = nullptr;
    QCPGraph* SeriesRezidua = nullptr;
    QCPGraph* SeriesZero = nullptr;

    QCustomPlot* Chart2 = nullptr;
    QPushButton* ButtonZapiszFid = nullptr;
    QScrollBar* ScrollBar1 = nullptr;
    QScrollBar* ScrollBar2 = nullptr;
    QCPGraph* SeriesWejscie = nullptr;
    QCPGraph* SeriesFid = nullptr;

    QMenu* Plik1 = nullptr;
    QAction* Otw1 = nullptr;
    QAction* Zapisz1 = nullptr;
    QAction* Zamknij1 = nullptr;
    QAction* Pomoc1 = nullptr;

    // Added to the original window.
    QCheckBox* CheckBoxSignal = nullptr;  // the signal-weighted regularizer
    QLabel* LabelBeta1 = nullptr;         // beta of a CONTIN run on g2 data
    QLabel* LabelBeta2 = nullptr;         // and of a DISCRETE run
    QComboBox* ComboDistAxis = nullptr;   // the distribution over decay time or R_h
    QComboBox* ComboDistWeight = nullptr; // as computed or per ln tau

    // Page "Kumulanty".
    QWidget* TabSheetCum = nullptr;
    QWidget* PanelCum = nullptr;
    QGroupBox* GroupBoxCum = nullptr;
    QLabel* LabelCumOrder = nullptr;
    QComboBox* ComboCumOrder = nullptr;
    QCheckBox* CheckBoxFrisken = nullptr;
    QLabel* LabelCutoff = nullptr;
    QLineEdit* EditCutoff = nullptr;
    QLineEdit* EditCumParam = nullptr;
    QLineEdit* EditCumValue = nullptr;
    QCheckBox* CheckBoxCumInverse = nullptr;
    QLabel* LabelCum = nullptr;
    QPushButton* ButtonCum = nullptr;
    QPushButton* ButtonZapiszCum = nullptr;
    QTableWidget* StringGridCum = nullptr;
    QLabel* LabelCumNote = nullptr;
    QCustomPlot* ChartCum = nullptr;

    // Page "Próbka".
    QWidget* TabSheetSample = nullptr;
    QGroupBox* GroupBoxSample = nullptr;
    QComboBox* ComboSolvent = nullptr;
    QLineEdit* EditTemperature = nullptr;
    QLabel* LabelCelsius = nullptr;
    QLineEdit* EditViscosity = nullptr;
    QLineEdit* EditRefractive = nullptr;
    QLineEdit* EditWavelength = nullptr;
    QLineEdit* EditAngle = nullptr;
    QLabel* LabelQ = nullptr;
    QGroupBox* GroupBoxData = nullptr;
    QComboBox* ComboDataKind = nullptr;
    QComboBox* ComboBaseline = nullptr;
    QComboBox* ComboTimeUnit = nullptr;
    QLabel* LabelInstrument = nullptr;
    QCustomPlot* ChartCountRate = nullptr;

    // Several files opened together.
    QWidget* FileBar = nullptr;
    QComboBox* ComboFiles = nullptr;
    QAction* ActionPrevFile = nullptr;
    QAction* ActionNextFile = nullptr;

    QCPGraph* SeriesFitResiduals = nullptr;
    QMenu* MenuRecent = nullptr;
    QAction* ActionWorkDir = nullptr;
    QMenu* MenuLanguage = nullptr;
    QAction* ActionPolish = nullptr;
    QAction* ActionEnglish = nullptr;
    QAction* ActionRun = nullptr;
    QAction* ActionChosen = nullptr;
    QToolButton* ButtonChosen = nullptr;
    QLabel* StatusSolution = nullptr;
    QLabel* StatusWorkDir = nullptr;
    QAction* CopyGrid1 = nullptr;
    QAction* CopyGrid2 = nullptr;
    fluvena::ui::DistributionChart& distributionChart() const { return *distributionChart_; }
    fluvena::ui::DataChart& dataChart() const { return *dataChart_; }
    fluvena::ui::ResidualChart& residualChart() const { return *residualChart_; }
    fluvena::ui::DataChart& cumulantChart() const { return *cumulantChart_; }
    fluvena::ui::CountRateChart& countRateChart() const { return *countRateChart_; }
    // The files opened together (one while a single file is open).
    int fileCount() const { return static_cast<int>(files_.size()); }
    int currentFile() const { return current_; }

    // The arrows of Series1 that mark the ends of the range.
    const std::vector<fluvena::ui::Arrow>& Series1() const { return arrows_; }

private:
    std::vector<QCheckBox*> switchBoxes() const;
    std::vector<std::pair<const char*, QLineEdit*>> settingFields() const;

    // The measurement on show. Of several files opened together, each keeps
    // its own measurement in files_; the one on show lives in m_ meanwhile.
    fluvena::Measurement m_;
    struct OpenFile {
        QString path;
        fluvena::Measurement m;
    };
    std::vector<OpenFile> files_;
    int current_ = -1;
    std::unique_ptr<fluvena::ui::DistributionChart> distributionChart_;
    std::unique_ptr<fluvena::ui::DataChart> cumulantChart_;
    std::unique_ptr<fluvena::ui::CountRateChart> countRateChart_;
    std::unique_ptr<fluvena::ui::DataChart> dataChart_;
    std::unique_ptr<fluvena::ui::ResidualChart> residualChart_;
    std::unique_ptr<fluvena::ui::FileDialogs> dialogs_;
    std::unique_ptr<fluvena::ui::ErrorDisplay> errors_;
    std::filesystem::path helperDir_;
    TForm3* Form3 = nullptr;
    std::vector<fluvena::ui::Arrow> arrows_;
    bool settingUpScrollBars_ = false;
    QString fileName_;    // the data file on show, for the caption
    QString savedMemo2_;  // the results memo as "Zapisz" last wrote it
    bool cutoffTyped_ = false;  // the user typed the cut-off (Frisken then keeps it)
    bool showingSample_ = false;  // the sample controls are being filled
    // The data kind, g2 baseline and time unit last chosen by hand for a
    // text file (a correlator file states its own).
    fluvena::DataKind textKind_ = fluvena::DataKind::G1;
    fluvena::BaselineMode textBaseline_ = fluvena::BaselineMode::Fixed;
    fluvena::TimeUnit textUnit_ = fluvena::TimeUnit::Microseconds;
    std::vector<std::pair<QLabel*, const char*>> addedLabels_;  // labels of the added pages and their source texts
};
