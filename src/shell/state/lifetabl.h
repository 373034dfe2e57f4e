// The analysis state: the one record every procedure reads its inputs from and leaves its
// results in, for the length of a program run.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "shell/base/Clock.h"
#include "shell/base/Tables.h"
#include "shell/base/Variant.h"

namespace vortel {

// Highest position of every value list: two treatments of 2000 values and one spare row.
inline constexpr std::int32_t ListCapacity = 4'000'005;
// Highest position of the sort-and-count utility's class tables.
inline constexpr std::int32_t ClassCapacity = 800'002;

class FlowRecordFile;  // shell/state/FlowRecord.h

// Positions 1..MostTreatments per treatment, element 0 present and unused.
template <class T>
using PerTreatment = FixedTable<T, MostTreatments>;

// Lives as long as the App and holds no widgets, so a test can start from a fresh one.
struct AnalysisState {
    AnalysisState();
    ~AnalysisState();
    AnalysisState(const AnalysisState&) = delete;
    AnalysisState& operator=(const AnalysisState&) = delete;

    // --- Settings -------------------------------------------------------------------------
    bool CartesianTest = false;
    bool FlowRecord = false;
    bool DetailedDifferences = false;
    // Set by the batch command: detail files that cannot be written for a pair stop the test
    // rather than being left out of it.
    bool DetailFilesRequired = false;
    bool ReversedSort = false;
    // The report also writes its results as CSV tables beside it (set by a front end, never by
    // the launch's questions).
    bool CsvResults = false;
    // The parameter of a treatment whose table names none.
    std::string TableParameterName = "value";
    std::string OutputBaseName;
    std::string EditionTitle;
    std::string VersionText;
    double NominalBootstrapNumber = 0;
    double NominalCartesianNumber = 0;
    DateTime StartMoment;
    bool IntroPending = false;

    // --- Per treatment --------------------------------------------------------------------
    std::int16_t TreatmentCount = 0;
    FixedTable<std::string, 30> TreatmentName{"TreatmentName"};
    PerTreatment<std::string> TreatmentFile{"TreatmentFile"};
    PerTreatment<std::string> ParameterName{"ParameterName"};
    std::string CurrentParameterName;
    // The transformation treatment input applied: 0 none, 1 arcsine, 2 logit.
    std::int16_t TransformationUsed = 0;
    PerTreatment<std::int32_t> SampleSize{"SampleSize"};
    PerTreatment<std::int32_t> BootstrapNumber{"BootstrapNumber"};
    PerTreatment<double> BootstrapNumberReal{"BootstrapNumberReal"};
    PerTreatment<double> OriginalMean{"OriginalMean"};
    TreatmentLists<double> BootstrapValues{"BootstrapValues", ListCapacity};
    PositionList<std::int16_t> ValueFlag{"ValueFlag", ListCapacity};
    PerTreatment<std::int32_t> EffectiveBootstrapNumber{"EffectiveBootstrapNumber"};
    PerTreatment<double> BootstrapMean{"BootstrapMean"};
    PerTreatment<double> BootstrapVariance{"BootstrapVariance"};
    PerTreatment<double> TreatmentSE{"TreatmentSE"};

    // Treatment input's own fields.
    std::int16_t PairCount = 0;
    PerTreatment<std::string> EnteredFile{"EnteredFile"};
    PerTreatment<double> SortingMean{"SortingMean"};
    PerTreatment<std::int16_t> EntryNumber{"EntryNumber"};

    // --- Test-wide results ----------------------------------------------------------------
    double SidakAlpha = 0;
    double DfBetweenGroups = 0;
    double DfWithinGroups = 0;
    double FValue = 0;
    std::string TestBeganText;
    DateTime TestStartTime;
    std::string TableRuleDouble;
    std::string TableRuleSingle;

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

    // The pairwise computation's own fields.
    TreatmentLists<double> WorkingValues{"WorkingValues", ListCapacity};
    PositionList<std::int32_t> ValueWeight{"ValueWeight", ListCapacity};
    PerTreatment<double> TreatmentSum{"TreatmentSum"};
    PerTreatment<double> TreatmentSumOfSquares{"TreatmentSumOfSquares"};
    PerTreatment<double> SumsVariance{"SumsVariance"};
    double SumOfMeans = 0;
    double GrandMean = 0;
    double BetweenSS = 0;
    double WithinSS = 0;
    PairTable<std::int64_t> LowCount{"LowCount"};
    PairTable<std::int64_t> HighCount{"HighCount"};
    std::int64_t CartesianIndex = 0;
    double PairSum = 0;
    double PairSumOfSquares = 0;

    // --- Work lists and the sort hand-over ------------------------------------------------
    PositionList<double> SortedDifferences{"SortedDifferences", ListCapacity};
    PositionList<double> SortInput{"SortInput", ListCapacity};
    PositionList<double> SortOutput{"SortOutput", ListCapacity};
    std::int32_t SortCount = 0;
    PositionList<std::int32_t> SortInputSerial{"SortInputSerial", ListCapacity};
    PositionList<std::int32_t> SortOutputSerial{"SortOutputSerial", ListCapacity};

    // The sort's own lasting fields.
    double SortTotal = 0;
    double SortMean = 0;
    std::int16_t SortGroupLimit = 0;
    bool SortGroupLimitSet = false;

    // --- Report ---------------------------------------------------------------------------
    std::int16_t TableNumber = 0;
    std::string ResultFileName;
    std::string OutputFileCode;
    std::string TestEndedText;
    DateTime TestEndTime;
    std::string TotalTimeText;

    // --- Sort-and-count utility -----------------------------------------------------------
    std::string ProjectName;
    // Set once the sort-and-count utility has run: its sorts leave no flow line of their own.
    bool SortUtilityUsed = false;
    std::string SortDataKind;
    std::int32_t ClassCount = 0;
    bool SortSerialNumbers = false;
    std::string SortFilePath;
    std::string SortVariableName;
    // The column of a table to sort, when a front end names it beforehand (--column).
    std::string SortColumnName;
    double SortSampleMean = 0;
    double DecimalLimit = 0;
    PositionList<double> ClassValue{"ClassValue", ClassCapacity};
    PositionList<double> ClassFrequency{"ClassFrequency", ClassCapacity};
    Variant SortFieldA;

    // --- Main window, greetings, launch ---------------------------------------------------
    FixedTable<std::string, 104> QuotationList{"QuotationList"};
    std::string EditionLine;
    double SecondsSinceStart = 0;
    std::int32_t GreetingCounter = 0;
    bool DetailQuestionDeclined = false;

    // The flow record (file number 8): open from a launch that asks for it until Quit.
    std::unique_ptr<FlowRecordFile> FlowFile;
    // Appends one line to the flow record when it is on and open.
    void FlowLine(const std::string& text);
    // TableNumber increased by one; the 16-bit counter stops the command rather than wrap.
    std::int16_t NextTableNumber();
};

}  // namespace vortel
