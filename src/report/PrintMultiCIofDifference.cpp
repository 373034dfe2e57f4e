#include "report/PrintMultiCIofDifference.h"

#include <memory>
#include <string>

#include "report/PairSection.h"
#include "report/PrintPairTestTable.h"
#include "report/References.h"
#include "report/ResultFileName.h"
#include "report/ResultsCsv.h"
#include "shell/base/NumberText.h"
#include "shell/base/OutputFile.h"
#include "shell/base/StopToken.h"

namespace vortel {

namespace {

const char* const Explanation[] = {
    "The results of significance test using Cartesian products are presented in following 3 ways.",
    "   1. The t confidence intervals (assuming the Cartesian products is normally distributed).",
    "   2. Cartesian percentile confidence intervals of 0.025 and 0.975 percentiles.",
    "   3. P value based on number of Cartesian results showing significant difference.",
    "Because the t confidence intervals is based on the assumption of normal distribution, ",
    "while the percentile confidence interval based on random sampling and Cartesian products,",
    "they are different. Although most biological and ecological data are mostly not normal,",
    "the distribution of Cartesian differences are generally normal (if B and C are large).",
    "Therefore, a large number of resampling (B = 1000, C = 1000,000) is needed to ensure a",
    "reliable estimate. However, a B of 1000 and the corresponding C of 1000,000 are still a tiny",
    "proportion of the exact method using both the multinomail theorem and Cartesian products. ",
    "Because the Cartesian products include all possible combinations of differences, the",
    "confidence intervals of differences based on the multinomial theorem and Cartesian products",
    "are more reliable than the paired bootstrap test based on bootstrap technique alone.",
};

// Why `name`, built from `code`, cannot be the report's file name; empty when it can. A fault
// that no other code can mend (a name too long without any code) stops the command instead.
std::string NameProblem(const std::string& code, const std::string& name) {
    if (!CodeFitsFileName(code)) {
        return "The code \"" + code +
               "\" cannot be part of a file name.\nPlease enter a code of at most 200 "
               "characters without / \\ : * ? \" < > | or control characters.";
    }
    const bool codeInName = code != NoCode && !code.empty();
    if (name.size() > LongestResultFileName) {
        if (!codeInName) {
            throw RunStopped("The report's file name \"" + name + "\" is longer than " +
                             Text(static_cast<std::int64_t>(LongestResultFileName)) +
                             " characters.");
        }
        return "The file name \"" + name + "\" would be too long.\nPlease enter a shorter code.";
    }
    return {};
}

// Asks for the code until it gives a file name that can be created, and opens the report there;
// it goes to the next free name when its own is taken by the time it is complete.
OutputFile& OpenReport(const ReportParts& parts, TestSeams& seams, OutputSet& files) {
    std::string problem;
    for (;;) {
        const std::string code = seams.questions.ReportCode(problem);
        const std::string name =
            ResultFileNameFor(parts.files.OutputBaseName, parts.treatments.CurrentParameterName,
                              code, seams.clock.Now(), code == NoCode ? 0 : seams.random.Next());
        problem = NameProblem(code, name);
        if (problem.empty()) {
            const auto path = seams.OutputPath(name);
            try {
                OutputFile& file = files.CreateUnderFreeName(path);
                parts.results.OutputFileCode = code;
                parts.results.ResultFileName = path.string();
                return file;
            } catch (const FileNotCreated& e) {
                // The file system itself may refuse the name; only then can another code help.
                const bool nameRefused = e.Code == std::errc::filename_too_long ||
                                         e.Code == std::errc::invalid_argument ||
                                         e.Code == std::errc::illegal_byte_sequence;
                if (!nameRefused || code == NoCode || code.empty()) throw;
                problem = "The file \"" + path.string() +
                          "\" cannot be created under this name.\nPlease enter another code.";
            }
        }
    }
}

void PrintHeading(ReportHeader& header, TextWriter& out) {
    out.Line("Program: VORTEL (" + header.EditionTitle + ").");
    const std::int16_t number = header.NextTableNumber();
    out.Line("Table " + Text(number) + ". Cartesian product paired difference (VORTEL program)");
    PrintMainReferences(out);
    const std::string rule(93, '-');
    out.Line(rule);
    for (const char* line : Explanation) out.Line(line);
    out.Line(rule);
    out.EndLine();
}

void PrintSummary(const ReportHeader& header, const CartesianResult& r, TextWriter& out) {
    out.Line("Project: " + header.ProjectName + " " + header.VersionText);
    out.Line("Parameter: " + r.Parameter);
    out.Text("Number of treatments =").Number(r.TreatmentCount()).EndLine();
    out.Text("F value =").Number(r.F).EndLine();
    out.Text("df between groups (dfN: numerator) =").Number(r.DfBetween).EndLine();
    out.Text("df within groups (dfD: denominator) =").Number(r.DfWithin).EndLine();
    out.Line("  ");
    if (r.TreatmentCount() != 2) {
        out.Line("If you are asked to use corrected alpha value:");
        out.Text("Alpha(Sidak) =").Number(r.SidakAlpha).EndLine();
        out.Line("If you are asked to use corrected alpha, you have to check the P value of ");
        out.Text("each paired comparison. If a P value is lower than")
            .Number(r.SidakAlpha)
            .Text(",")
            .EndLine();
        out.Line("there is significant difference between them.");
        out.Line(" ");
    }
}

}  // namespace

std::string DurationText(std::int64_t seconds) {
    const double t = static_cast<double>(seconds);
    if (seconds < 120) return "Total time = " + Text(seconds) + " sec.";
    if (seconds < 3600) return "Total time = " + Text(RoundToDecimals(t / 60, 2)) + " min.";
    return "Total time = " + Text(RoundToDecimals(t / 3600, 2)) + " hr.";
}

void PrintMultiCIofDifference(const ReportParts& parts, const CartesianResult& result,
                              TestSeams& seams, OutputSet& alongside) {
    SessionFiles& files = parts.files;
    TestResults& r = parts.results;
    files.FlowLine("Sub PrintMultiCIofDifference");
    OutputFile& report = OpenReport(parts, seams, alongside);
    if (seams.resultsReady) seams.resultsReady(parts.treatments, r, parts.work);
    TextWriter& out = report.Writer();

    PrintHeading(parts.header, out);
    PrintSummary(parts.header, result, out);
    for (const PairResult& pair : result.Pairs) PrintPairSection(result, out, pair);
    PrintReferences(out);
    PrintPairTestTable(parts.header, files, result, out);

    // The front end shows the result (the window fills its comparison grid).
    files.FlowLine("Sub ShowMultiCIofDifference");
    seams.events.Finished(result);

    const DateTime end = seams.clock.Now();
    r.TestEndedText = "Cartesian paired test ended at:" + DateText(end);
    seams.events.Finished(r.TestEndedText);
    r.TestEndTime = end;
    r.TotalTimeText = DurationText(WholeSecondsBetween(r.TestStartTime, r.TestEndTime));

    out.Line(r.TestBeganText);
    out.Line(r.TestEndedText);
    out.Line(r.TotalTimeText);
    // The CSV tables appear with the report or not at all.
    if (parts.options.CsvResults) WriteResultsCsvBeside(ResultsCsvOf(result), report, alongside);
    // The last moment a stop can take effect: after it the files are in place.
    StopIfRequested(seams.stop);
    alongside.CommitAll();
    // A report never replaces another: where its name was taken it went to the next free one.
    r.ResultFileName = alongside.FreeNameTaken().string();

    seams.events.ReportWritten(r.ResultFileName);
}

}  // namespace vortel
