// The question asked before analysing data whose points look like another
// kind than their sample states: read as the wrong kind, data still give
// numbers, and every size from them is off by a factor.
#include "ui/Contin.h"

#include "ui/Language.h"
#include "ui/SamplePage.h"

#include <QStatusBar>

using namespace fluvena;

namespace {

QString KindName(DataKind kind)
{
    switch (kind) {
    case DataKind::G1: return QStringLiteral("g₁");
    case DataKind::G2Minus1: return QStringLiteral("g₂ − 1");
    case DataKind::G2: return QStringLiteral("g₂");
    }
    return {};
}

}  // namespace

bool TForm1::confirmDataKind() { return askDataKinds({presenter_.current()}); }

bool TForm1::askDataKinds(const std::vector<int>& indices)
{
    std::vector<std::pair<int, KindDoubt>> doubts;
    std::vector<ui::KindDoubtShown> shown;
    for (const int index : indices) {
        std::optional<KindDoubt> doubt = presenter_.kindDoubt(index);
        if (!doubt) continue;
        const DataKind declared = presenter_.set().At(static_cast<std::size_t>(index)).measurement.Sample().dataKind;
        shown.push_back({presenter_.name(index), KindName(declared), KindName(doubt->likely), ui::FailureText(doubt->reason)});
        doubts.emplace_back(index, std::move(*doubt));
    }
    if (doubts.empty()) return true;
    switch (dialogs_->doubtfulKind(this, shown)) {
    case ui::KindAnswer::Cancel:
        statusBar()->showMessage(tr("Nie analizowano: dane wyglądają na inny rodzaj niż wybrany"));
        return false;
    case ui::KindAnswer::Analyse:
        for (const auto& [index, doubt] : doubts) presenter_.acceptKind(index);
        return true;
    case ui::KindAnswer::ChangeKind:
        // The measurement on show changes as a choice in the list would
        // change it (a text file's choice is kept for the next text file).
        for (const auto& [index, doubt] : doubts) {
            if (index == presenter_.current()) sample_->chooseDataKind(doubt.likely);
            else presenter_.setDataKind(index, doubt.likely);
        }
        return true;
    }
    return false;
}
