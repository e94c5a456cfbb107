#pragma once
// The verdict of an analysis page: the answer in one line of large type (the
// core's headline, worded in the window's language and coloured when a
// warning stands) and, under the page's table, one line with an icon per
// quality flag of the data and of the result on show of that analysis.
#include "core/Headline.h"
#include "core/Quality.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <optional>

class QLabel;
class QVBoxLayout;
class QWidget;

namespace fluvena {
class Measurement;
}

namespace fluvena::ui {

// A flag's sentence in the window's language, its numbers filled in.
QString FlagText(const quality::Flag& flag, const std::optional<Headline>& headline, const quality::Report& report);
// The headline in the window's language, numbers with the locale's separator.
QString HeadlineText(const Headline& headline);
// Why a peak or component of the headline has no size, in the window's language.
QString NoSizeText(const Failure& why);

class Verdict {
    Q_DECLARE_TR_FUNCTIONS(Verdict)
public:
    // `suffix` names the widgets: "LabelHeadline<suffix>", "Flags<suffix>".
    Verdict(QWidget* parent, const char* suffix);

    QLabel* headline() const { return headline_; }
    QWidget* flags() const { return flags_; }
    // The flag lines on show, in order (for a reader of the window).
    QStringList flagLines() const;

    // The verdict on the measurement's data and on its last result of
    // `subject`; without data, nothing. Returns the headline it shows.
    std::optional<Headline> show(const Measurement& m, quality::Subject subject);
    // The report that show() judged by (empty without data).
    const quality::Report& report() const { return report_; }

private:
    quality::Report report_;
    QLabel* headline_;
    QWidget* flags_;
    QVBoxLayout* lines_;
};

}  // namespace fluvena::ui
