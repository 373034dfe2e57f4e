// One table of several tests, one per life-table parameter: parameters as rows, treatments as
// columns, each cell "estimate +- SE letters", made from the tests' treatments CSV tables.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "report/PaperTable.h"

namespace vortel {

class TableReader;

// One test's treatments as its CSV table gives them, in the table's order.
struct TestTreatments {
    std::string Parameter;
    std::string Source;          // the file, as named to the command
    std::string Transformation;  // "" where the table does not say
    std::vector<std::string> Names, Letters;
    std::vector<double> Estimates, SE;
};

// Reads a treatments table: the "treatments.csv" of `vortel cartesian --csv`, or the CSV of its
// --paper-table. It needs the columns treatment, original (or estimate), SE and letters, in any
// order and case; others are ignored. The parameter comes from its parameter column, else from
// the "pairs.csv" beside it, else from its name ("... results-<parameter>_..."), else from the
// file's stem. Stops the command with a message naming the file, and the row and column where
// a cell is at fault: a missing column, a number that is not one, an empty or repeated treatment
// name, no treatment or more than a test compares.
TestTreatments ReadTestTreatments(const std::filesystem::path& path);
TestTreatments ReadTestTreatments(TableReader& table);

// The table: a column per treatment, in the order they first appear, aligned by name; a row per
// test, in the order given, its estimates with the fewest decimals that show the smallest
// difference its letters call real (ChooseDecimals), or `decimals` when 0 or more. A treatment
// a test lacks has an empty cell and a note.
DisplayTable ParameterTable(const std::vector<TestTreatments>& tests, int decimals = -1);

}  // namespace vortel
