#pragma once
// The workspace: everything one run of Fluvena knows, shared by every handler
// of the main window (and by fluvena-batch). One instance per program.
#include <cstdint>
#include <string>
#include <vector>

namespace fluvena {

// One parsed CONTIN solution; it owns its arrays, whose sizes were fixed when
// it was parsed (RangeCount fit rows, ContinGridPoints grid rows).
struct ContinSolution {
    std::vector<double> fitX, fitY;
    std::vector<double> distX, distY, distErr;
    std::vector<double> peakIntensity, peakIntensityErr, peakWidth, peakPosition, peakPositionErr;
    double prob1ToReject = 0.0;
    std::int32_t peakCount = 0;
};

// One parsed DISCRETE solution with its fit and residuals over the analysed
// points.
struct RozwiazanieDisc {
    std::vector<double> fitX, fitY, residual;
    std::vector<double> amplitude, amplitudeErr, rate, rateErr;
    double baseline = 0.0;
    double punc = 0.0;
    std::int32_t componentCount = 0;
};

enum AnalysisKind : std::int32_t { kNoAnalysis = 0, kContin = 1, kDiscrete = 2 };

struct Workspace {
    std::vector<double> DataX, DataY;
    std::int32_t PointCount = 0;
    std::int32_t FirstPoint = 0, LastPoint = 0, RangeCount = 0;
    double ContinGridMin = 0.0, ContinGridMax = 0.0;
    std::int32_t ContinGridPoints = 0;
    std::int32_t SolutionCount = 0, CurrentSolution = 0, ChosenSolution = 0;
    std::vector<ContinSolution> ContinSolutions;
    std::vector<RozwiazanieDisc> DiscreteSolutions;
    std::int32_t LastAnalysis = kNoAnalysis;
    std::int32_t MaxComponents = 0, WeightOption = 0, MaxTries = 0;
    std::vector<std::string> LogCells;
    // The CONTIN record drawn on the distribution chart, -1 for none: the
    // distribution export writes it while it exists, also after a DISCRETE
    // run has taken over CurrentSolution. Released records give -1.
    std::int32_t ContinOnChart = -1;

    // The data part of the reset: releases DataX, DataY and ContinSolutions,
    // zeroes RangeCount, ContinGridPoints, SolutionCount, the grid bounds and
    // PointCount. Everything else stays (FirstPoint, LastPoint,
    // CurrentSolution, ChosenSolution, LastAnalysis, DiscreteSolutions, the
    // DISCRETE deck parameters, LogCells).
    void Reset();

    // The range handler's part: with data loaded, takes the two scroll-bar
    // positions as the range and returns true (the caller draws the arrows at
    // FirstPoint and LastPoint); without data returns false and changes
    // nothing. Positions outside the loaded points (possible while the scroll
    // bars are being set up for a new file) are brought to the nearest point.
    bool SetRange(std::int32_t firstPosition, std::int32_t lastPosition);

    // Whether the record is a CONTIN / DISCRETE solution that exists now and
    // belongs to the result on show.
    const ContinSolution* ContinOnShow() const;
    const RozwiazanieDisc* DiscreteOnShow() const;
};

}  // namespace fluvena
