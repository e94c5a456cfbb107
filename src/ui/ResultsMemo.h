#pragma once
// The results memo and the logs behind it. Every analysis keeps its own
// series (tempCont.txt, tempDisc.txt, tempCum.txt hold only their own
// analysis's lines under its own header); the memo shows every click in
// order, a header above each block of one analysis. A click whose header
// would read differently from the series' last one (another parameter name,
// 1000/T, D/T, component groups) starts a new header block instead of
// putting its values under a wrong one.
#include "core/Measurement.h"

#include <QString>

#include <functional>
#include <map>
#include <string>
#include <vector>

class QLabel;
class QPlainTextEdit;
class QStatusBar;
class QWidget;

namespace fluvena {
struct LogClick;
}

namespace fluvena::ui {

class ResultsMemo {
public:
    explicit ResultsMemo(QPlainTextEdit* memo) : memo_(memo) {}

    // A "Zapamiętaj" click on the log of `analysis`: `click` makes the click
    // with its header. In order: the header (when the series or the memo
    // needs one) stays even when the click then fails; a failure writes no
    // line and no file; without a result `noResultLabel` says "BŁĄD" and the
    // file is still written. All of it under the lock of the log's
    // directory (a wait the user gives up changes nothing); a log holding
    // lines the series lacks is kept under a dated name first, which the
    // status bar says. An empty memo starts every series afresh.
    void record(Analysis analysis, const std::function<LogClick(bool header)>& click, const char* logFile,
                QLabel* noResultLabel, QWidget* parent, QStatusBar* status);
    // "Plik" > "Zapisz": the memo's lines as the file's whole text.
    void save(const std::string& fileName);
    // Results in the memo that "Zapisz" has not written as they stand.
    bool unsaved() const;

private:
    struct Series {
        std::vector<std::string> lines;
        std::string header;  // the header its lines stand under
    };
    QPlainTextEdit* memo_;
    std::map<Analysis, Series> series_;
    Analysis memoBlock_ = Analysis::None;  // the analysis of the memo's last header block
    QString saved_;                        // the memo as "Zapisz" last wrote it
};

}  // namespace fluvena::ui
