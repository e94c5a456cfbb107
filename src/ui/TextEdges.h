#pragma once
// The window's text edges: the core speaks 8-bit Windows-1250 and writes
// numbers with the locale's separator given to it; the window speaks
// Unicode. Also the few label habits every page shares.
#include "base/Outcome.h"

#include <QString>

#include <optional>
#include <string>
#include <vector>

class QLabel;
class QPlainTextEdit;
class QStatusBar;

namespace fluvena::ui {

QString FromCore(const std::string& bytes);
std::string ToCore(const QString& text);
// The system locale's decimal separator when it is one ASCII character, else '.'.
char DecimalSeparator();
// A value in an edit field: up to eight significant digits, the locale's separator.
QString FieldNumber(double value);

// A memo's lines in the core's bytes, and the memo filled with such lines.
std::vector<std::string> MemoLines(const QPlainTextEdit* memo);
void SetMemoLines(QPlainTextEdit* memo, const std::vector<std::string>& lines);

// A status label on a red background (the solution the program chose) or on
// the window's usual one.
void SetLabelColour(QLabel* label, bool red);
// "β = 0.000", or nothing.
void ShowBeta(QLabel* label, const std::optional<double>& beta);
// Why a run gave no result: the label keeps its short text, the reason goes
// in full into its tool tip and into the status bar.
void ShowRunFailure(QLabel* label, const QString& text, const Failure& why, QStatusBar* status);

}  // namespace fluvena::ui
