#include "Workspace.h"

#include <algorithm>

namespace fluvena {

void Workspace::Reset()
{
    DataX.clear();
    DataX.shrink_to_fit();
    DataY.clear();
    DataY.shrink_to_fit();
    ContinSolutions.clear();
    ContinSolutions.shrink_to_fit();
    ContinOnChart = -1;
    RangeCount = 0;
    ContinGridPoints = 0;
    SolutionCount = 0;
    ContinGridMin = 0.0;
    ContinGridMax = 0.0;
    PointCount = 0;
}

bool Workspace::SetRange(std::int32_t firstPosition, std::int32_t lastPosition)
{
    if (PointCount <= 0) return false;
    const std::int32_t top = PointCount - 1;
    FirstPoint = std::clamp(firstPosition, 0, top);
    LastPoint = std::clamp(lastPosition, 0, top);
    RangeCount = LastPoint - FirstPoint + 1;
    return true;
}

const ContinSolution* Workspace::ContinOnShow() const
{
    if (LastAnalysis != kContin || SolutionCount <= 0) return nullptr;
    if (CurrentSolution < 0 || CurrentSolution >= static_cast<std::int32_t>(ContinSolutions.size())) return nullptr;
    return &ContinSolutions[static_cast<std::size_t>(CurrentSolution)];
}

const RozwiazanieDisc* Workspace::DiscreteOnShow() const
{
    if (LastAnalysis != kDiscrete || SolutionCount <= 0) return nullptr;
    if (CurrentSolution < 0 || CurrentSolution >= static_cast<std::int32_t>(DiscreteSolutions.size())) return nullptr;
    return &DiscreteSolutions[static_cast<std::size_t>(CurrentSolution)];
}

}  // namespace fluvena
