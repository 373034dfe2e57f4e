// The last section of the report: every treatment marked with letters, so that two treatments
// share a letter exactly when their pair test is not significant at 5 %.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "shell/base/TextRecords.h"

namespace vortel {

struct ReportHeader;
struct TestResults;
struct Treatments;

// What the marking reads of a test: per treatment, treatment 1 first, its name, original value
// and SE, and the P-value of each pair (i, j), i < j, in report positions. A test's result
// gives it (cartesian/result/CartesianResult), and so does the analysis state (MarkingInputOf).
struct MarkingInput {
    std::vector<std::string> Names;
    std::vector<double> Original, SE;
    std::function<double(int, int)> P;
    int Count() const { return static_cast<int>(Names.size()); }
};

// From the state: TreatmentCount, TreatmentName, OriginalMean, TreatmentSE and PValue (the cell
// with the later treatment first). The input reads the state's P-values as long as it lives.
MarkingInput MarkingInputOf(const Treatments& treatments, const TestResults& results);

// Prints the marking section, numbered `tableNumber`, to the open report: heading, notes, rules
// and one row per treatment, treatment 1 first.
void PrintLetterMarkingSection(const MarkingInput& input, std::int16_t tableNumber,
                               TextWriter& out);
// The same from the state, numbered by increasing TableNumber (a 16-bit counter: past 32767 the
// command stops).
void PrintLetterMarkingSection(ReportHeader& header, const Treatments& treatments,
                               const TestResults& results, TextWriter& out);

// The four marking rows of a four-treatment test, from the P-values of its six pairs.
void PrintPairTestTable4Treats(const MarkingInput& input, TextWriter& out);

// The five marking rows of a five-treatment test for one of its sixteen members, A01 to A16
// (`member` 1 to 16). Each member stands for one outcome of the pairs 1-2, 1-3, 1-4 and 1-5 (the
// outcomes table in LetterMarking.cpp) and reads only the P-values of the other six pairs; the
// section calls the member whose outcome holds.
void PrintPairTestTable5Treats(const MarkingInput& input, TextWriter& out, int member);

// The rows for six or more treatments: each treatment's letters of the compact letter display,
// or nothing when the display needs more letters than a to z and A to Z.
std::optional<std::vector<std::string>> ManyTreatmentMarking(const MarkingInput& input, int n);

// The marking each row of the section shows, treatment 1 first, without the row's leading
// blank ("ab"): the same choice of marking as the section makes, for tables built from the
// report's results.
std::vector<std::string> TreatmentMarkings(const MarkingInput& input);
std::vector<std::string> TreatmentMarkings(const Treatments& treatments,
                                           const TestResults& results);

}  // namespace vortel
