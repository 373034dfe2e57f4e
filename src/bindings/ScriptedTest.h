// What the R and Python packages share: a script's treatments checked and made a request, the
// test run where the script's interpreter can still take an interrupt, and the result laid out
// as the columns of the CSV tables.
#pragma once

#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "cartesian/CartesianTest.h"

namespace vortel::scripted {

// One treatment as a script gives it: n and the original estimate as the script's numbers, NaN
// where the script left them out.
struct GivenTreatment {
    std::string Name;
    double SampleSize = std::numeric_limits<double>::quiet_NaN();
    double Original = std::numeric_limits<double>::quiet_NaN();
    std::vector<double> Values;
};

// "none", "arcsine" or "logit".
Transformation TransformationNamed(const std::string& name);

// The request for a test of `treatments`. Stops with RunStopped, naming the treatment, where n
// or the original estimate is missing or n is not a whole number above 0; the test itself
// refuses the rest.
CartesianRequest RequestOf(std::vector<GivenTreatment> treatments, const std::string& parameter,
                           const std::string& transformation, bool reversed);

// Runs the test on a thread of its own and asks `interrupted` every 50 ms on the calling thread,
// which is the only one an interpreter lets look at its interrupts. When it says yes, the test
// is stopped and CommandStopped is thrown: at once for a test without files (it ends on its own
// thread a moment later), once the files are put back for a test with them (or stand, for a
// test that had finished when asked).
CartesianResult RunInterruptible(const CartesianRequest& request, CartesianOutput* output,
                                 const std::function<bool()>& interrupted);

// A column of one of the CSV tables, under the table's header: texts, numbers (whole numbers
// among them) or logical values.
struct Column {
    enum class Kind { Text, Whole, Real, Logical };
    std::string Name;
    Kind Type = Kind::Real;
    std::vector<std::string> Texts;
    std::vector<double> Numbers;
    std::vector<bool> Flags;
};

// The treatments table's columns, treatments in report order.
std::vector<Column> TreatmentColumns(const CartesianResult& result);
// The pairs table's columns, pairs in report order, each as the difference the test formed.
std::vector<Column> PairColumns(const CartesianResult& result);

}  // namespace vortel::scripted
