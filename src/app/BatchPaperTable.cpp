// vortel paper-table: the treatments tables of several tests, one per parameter, as one table
// for a manuscript.
#include <cstdio>
#include <string>
#include <vector>

#include "app/BatchOptions.h"
#include "app/BatchSupport.h"
#include "app/Commands.h"
#include "report/ParameterTable.h"
#include "shell/base/OutputFile.h"
#include "shell/mainwindow/App.h"

namespace vortel {

namespace {

constexpr const char* CommandName = "paper-table";

}  // namespace

int RunPaperTableCommand(const std::vector<std::string>& args) {
    PaperTableBatchOptions o;
    if (auto problem = ParsePaperTableOptions(args, o)) return UsageError(CommandName, *problem);
    if (o.Files.empty()) return UsageError(CommandName, "one or more treatments tables are needed");
    for (const auto& file : o.Files)
        if (auto problem = InputFileProblem(file))
            return Refused(CommandName, "cannot read the table \"" + file + "\": " + *problem);

    // Everything is read and made before anything is written, so a refused table leaves no
    // output, and an earlier output file stays as it was.
    std::string text;
    std::vector<std::string> notes;
    OutputTransaction transaction;
    try {
        std::vector<TestTreatments> tests;
        for (const auto& file : o.Files) tests.push_back(ReadTestTreatments(file));
        const DisplayTable table = ParameterTable(tests, o.Decimals);
        const PaperFormat format =
            o.Output.empty() ? PaperFormat::Markdown : *PaperFormatOf(o.Output);
        text = RenderDisplayTable(table, format);
        // A CSV table has no room for notes; they go where the user sees them.
        if (format == PaperFormat::Csv) notes = table.Notes;
        if (!o.Output.empty()) {
            OutputSet files(&transaction);
            files.Create(o.Output).Writer().Text(text);
            files.CommitAll();
        }
    } catch (const std::exception& e) {
        transaction.Restore();
        return Refused(CommandName, CommandFailureText(e));
    }
    for (const std::string& note : notes)
        std::fprintf(stderr, "vortel %s: %s\n", CommandName, note.c_str());
    if (o.Output.empty()) std::fputs(text.c_str(), stdout);
    std::fflush(stdout);
    return 0;
}

}  // namespace vortel
