#pragma once
// The dialogs the window runs and where it shows failures. Tests replace
// both with their own answers.
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

class QWidget;

namespace fluvena::ui {

// The answer to the question asked before quitting with results that were
// not saved; closing the question's window is Cancel.
enum class UnsavedAnswer { Cancel, Save, Discard };

// A measurement whose points look like another kind of data than its sample
// states, as the question before its analysis names it.
struct KindDoubtShown {
    QString measurement;       // the name the list of open files shows
    QString declared, likely;  // the kinds ("g₁", "g₂ − 1", "g₂"): as stated, as the points look
    QString reason;            // why, with the figures, in the window's language
};

// The answer to that question; closing the question's window is Cancel.
// ChangeKind: each measurement takes its likely kind, then the analysis runs.
enum class KindAnswer { Cancel, Analyse, ChangeKind };

// The two columns of a text file that hold the lag times and the
// correlation (1-based).
struct ColumnChoice {
    int x = 1, y = 2;
};

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
    // `filter` as in a file dialog, empty for any file; `suggested` the file
    // name offered (no folder), empty for none.
    virtual QString saveFileName(QWidget* parent, const QString& filter, const QString& suggested) = 0;
    virtual QString directoryName(QWidget* parent, const QString& current) = 0;
    virtual UnsavedAnswer unsavedResults(QWidget* parent) = 0;
    // Whether to analyse measurements whose data look like another kind:
    // one question for all of `doubts` (one measurement, or the doubtful
    // ones of a set).
    virtual KindAnswer doubtfulKind(QWidget* parent, const std::vector<KindDoubtShown>& doubts) = 0;
};

class ErrorDisplay {
public:
    virtual ~ErrorDisplay() = default;
    virtual void showError(QWidget* parent, const QString& message) = 0;
};

// The question's text: the measurements, their kinds and the reasons.
QString KindQuestionText(const std::vector<KindDoubtShown>& doubts);

// The standard dialogs: message box, open and save dialogs (the save dialog
// opens in the folder chosen last in it).
std::unique_ptr<FileDialogs> MakeStandardDialogs();
std::unique_ptr<ErrorDisplay> MakeMessageBoxDisplay();

}  // namespace fluvena::ui
