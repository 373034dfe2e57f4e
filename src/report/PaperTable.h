// The treatments of a test as a manuscript prints them: the estimate +- its bootstrap SE and the
// test's letters, with n, B and the 95 % percentile interval, as CSV, Markdown, HTML (that keeps
// its layout when pasted into a word processor) or LaTeX (booktabs), under a caption that says
// what the numbers and letters are.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "cartesian/result/CartesianResult.h"

namespace vortel {

enum class PaperFormat { Csv, Markdown, Html, Latex };

// The format a file's ending asks for, in any case: .csv, .md, .html or .htm, .tex; nothing for
// another ending.
std::optional<PaperFormat> PaperFormatOf(const std::string& path);
// "FILE.csv|md|html|tex", for messages.
inline constexpr const char* PaperFormatEndings = ".csv, .md, .html or .tex";

// Most decimals a table prints, and the most a user may ask for.
inline constexpr int MostPaperDecimals = 12;

// x with `decimals` decimals, correctly rounded from the double (the same text on every
// platform); never "-0.00"; "NaN", "Inf", "-Inf" for what is not a number.
std::string FixedDecimals(double x, int decimals);

// The fewest decimals (0 to MostPaperDecimals) at which every pair that `differ` marks prints
// two different estimates, and every SE above 0 prints a digit other than 0: so the smallest
// difference the letters call real stays visible, and no SE reads as none.
int ChooseDecimals(const std::vector<double>& estimates, const std::vector<double>& se,
                   const std::function<bool(int, int)>& differ);

// The estimate each row shows: the original data's estimate, transformed as the test
// transformed the bootstrap values, so that it stands on the scale of its SE and interval
// (NaN where the transformation has no value for it).
double PaperEstimate(const CartesianResult& result, const TreatmentResult& t);

// ChooseDecimals for a test: pairs differ when their P is 0.05 or less, as the letters mark
// them.
int PaperDecimals(const CartesianResult& result);

// What the table's caption says: the parameter and its scale, B, what the letters mean and the
// Sidak level of the test.
std::string PaperCaption(const CartesianResult& result);

// Notes below the table when its letters cannot be trusted as they stand: none when every pair
// shares a letter exactly when its P is above 0.05.
std::vector<std::string> PaperNotes(const CartesianResult& result);

// The table, one row per treatment in report order (the letter table's). `decimals` -1:
// PaperDecimals. CSV has one value per cell (parameter, transformation, treatment, n, B,
// estimate, SE, letters, percentile limits) and no caption; the others carry the caption and
// the notes.
std::string PaperTableOf(const CartesianResult& result, PaperFormat format, int decimals = -1);

// A table of display cells, written in any of the formats: what the treatment table and the
// table of several parameters share.
struct DisplayCell {
    std::string Numbers;  // numbers, blanks and the signs +- [ ] , (LaTeX sets them as maths)
    std::string Text;     // plain text after them (letters, a name)
};
struct DisplayTable {
    std::vector<std::string> Header;
    std::vector<bool> LeftAligned;  // per column; the others are centred
    std::vector<std::vector<DisplayCell>> Rows;
    std::string Caption;
    std::vector<std::string> Notes;
};
// CSV writes the header and the rows (cells as "numbers text"), without caption and notes.
std::string RenderDisplayTable(const DisplayTable& table, PaperFormat format);

}  // namespace vortel
