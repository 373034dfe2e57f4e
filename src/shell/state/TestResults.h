// What a test finds: the test-wide values, every pair's results, and what its report leaves.
#pragma once

#include <cstdint>
#include <string>

#include "shell/base/Clock.h"
#include "shell/base/Tables.h"

namespace vortel {

struct TestResults {
    // --- Test-wide ------------------------------------------------------------------------
    double SidakAlpha = 0;
    double DfBetweenGroups = 0;
    double DfWithinGroups = 0;
    double FValue = 0;
    std::string TestBeganText;
    DateTime TestStartTime;

    // --- Per pair (i < j; PValue also at (j, i)) ------------------------------------------
    PairTable<double> CartesianMean{"CartesianMean"};
    PairTable<double> CartesianVariance{"CartesianVariance"};
    PairTable<double> CartesianSD{"CartesianSD"};
    PairTable<double> TLower{"TLower"};
    PairTable<double> TUpper{"TUpper"};
    PairTable<double> PercentileLower{"PercentileLower"};
    PairTable<double> PercentileUpper{"PercentileUpper"};
    // 64-bit: a pair past the value lists counts up to 1.6E+13 differences.
    PairTable<std::int64_t> SignificantCount{"SignificantCount"};
    PairTable<std::int64_t> InsignificantCount{"InsignificantCount"};
    PairTable<double> PValue{"PValue"};
    PairTable<double> PairedDifferenceMean{"PairedDifferenceMean"};
    PairTable<double> PairedDifferenceSE{"PairedDifferenceSE"};

    // --- The report -----------------------------------------------------------------------
    std::string ResultFileName;
    std::string OutputFileCode;
    std::string TestEndedText;
    DateTime TestEndTime;
    std::string TotalTimeText;
};

}  // namespace vortel
