#include "shell/mainwindow/CommandQuestions.h"

#include <filesystem>
#include <system_error>
#include <utility>

#include "cartesian/CartesianDifference.h"
#include "cartesian/CartesianTest.h"
#include "cartesian/PairComparisons.h"
#include "cartesian/result/CartesianResult.h"
#include "report/PrintMultiCIofDifference.h"
#include "report/ResultFileName.h"
#include "shell/base/CorrectlyRounded.h"
#include "shell/base/NumberText.h"
#include "shell/base/OutputFile.h"
#include "shell/base/RunStopped.h"
#include "shell/mainwindow/ShowMultiCIofDifference.h"
#include "shell/state/FlowRecord.h"
#include "sortcount/NormalityView.h"
#include "sortcount/SortCount.h"
#include "sortcount/SortForBootstrapResults.h"

namespace vortel {

namespace {

bool AskedYes(Dialogues& ui, const std::string& message, const std::string& title) {
    return ui.AskYesNo(message, title) == Answer::Yes;
}

// A question answered with nothing (Cancel, Esc, or the box emptied) gives up the test.
void RefuseCancelled(const std::string& answer, const char* question) {
    if (answer.find_first_not_of(" \t") == std::string::npos)
        throw RunStopped(std::string("The test was cancelled at the question of the ") + question +
                         "; no file was written.");
}

std::int16_t AskTreatmentCount(Dialogues& ui, TestQuestions& questions,
                               const std::string& tableParameter) {
    // Files given ahead (dropped on the window, or named on the command line) suggest the number
    // of treatments they hold.
    const std::int64_t held =
        TreatmentsInFiles(ui.PathsAhead(), tableParameter,
                          [&](const std::string& note) { questions.Notice(note, TableNoteTitle); });
    const std::string suggested = held > 2 ? Text(held) : "2";
    const std::string answer =
        ui.AskText("Enter number of treatments", TreatmentCountTitle, suggested);
    RefuseCancelled(answer, "number of treatments");
    const double typed = LenientNumber(answer);
    const double count = RoundHalfEven(typed);
    // Fewer than two treatments leave no pair to compare and more than MostTreatments do not
    // fit the tables; both are refused before any file is chosen.
    CheckTreatmentCount(count, [&] {
        return "The number of treatments must be 2 to " + Text(MostTreatments) + "; \"" + answer +
               "\" was entered. The test is abandoned.";
    });
    return static_cast<std::int16_t>(count);
}

int AskTransformation(Dialogues& ui) {
    const std::string answer =
        ui.AskText("No transformation (0), Arcsine (1), or logit (2) transformation?",
                   TransformationTitle, "0");
    RefuseCancelled(answer, "transformation");
    std::string trimmed = answer;
    trimmed.erase(0, trimmed.find_first_not_of(" \t"));
    trimmed.erase(trimmed.find_last_not_of(" \t") + 1);
    double value = 0;
    if (!ParseStrictNumber(trimmed, value)) {
        throw RunStopped("The transformation must be given as a number (0, 1 or 2); \"" + answer +
                         "\" was entered. The test is abandoned.");
    }
    return ToInt32(value, "The transformation");
}

struct TreatmentInput {
    std::int16_t Count = 0;
    int Transformation = 0;
};

// Treatment input's own questions, before any file is chosen.
TreatmentInput AskTreatmentInput(AnalysisState& state, Services& services,
                                 TestQuestions& questions) {
    services.screen.TreatmentInputBegan();
    state.OutputBaseName = TestBaseName;
    TreatmentInput in;
    in.Count = AskTreatmentCount(services.ui, questions, state.TableParameterName);
    in.Transformation = AskTransformation(services.ui);
    return in;
}

TestSeams DialogueSeams(Services& services, TestEvents& events, TestQuestions& questions) {
    TestSeams seams{services.clock, services.random, events, questions};
    seams.stop = services.stop;
    seams.output = services.output;
    seams.folder = services.ui.CurrentFolder();
    seams.resultsReady = services.resultsReady;
    return seams;
}

}  // namespace

// Checked before the pairs run, so a folder that cannot take files is known at once, not
// after a long test.
void EnsureOutputFolder(Dialogues& ui) {
    for (;;) {
        const std::filesystem::path folder = ui.CurrentFolder();
        std::string reason;
        try {
            const std::filesystem::path probe = CreateTemporaryTwin(ui.OutputPath("VORTEL"));
            std::error_code ec;
            std::filesystem::remove(probe, ec);
            return;
        } catch (const FileNotCreated& e) {
            reason = e.Code.message();
        }
        const std::string problem =
            "The folder \"" + folder.string() + "\" cannot take the test's files (" + reason + ").";
        const auto other = ui.ChooseOtherFolder(problem);
        if (!other) throw RunStopped(problem + " The test is abandoned; no file was written.");
        ui.SetCurrentFolder(*other);
    }
}

void AskAndRunCartesianTest(AnalysisState& state, Services& services) {
    // The flow record of an earlier test stays open until Quit; a second launch closes it first,
    // so the new one can take the same name without two streams on one file.
    state.FlowFile.reset();

    services.screen.Launched();
    state.CartesianTest = true;

    Dialogues& ui = services.ui;
    const std::string detailMessage =
        "Do you need the detailed info?\n"
        "In general you can choose \"No\". If you choose \"Yes\", there will be many huge files.\n"
        "\n"
        "Attention: this is only for results of B =" +
        Text(state.NominalBootstrapNumber) + ", and CPT =" + Text(state.NominalCartesianNumber);
    // The message advises No, so Enter answers No.
    if (ui.AskYesNoAdvised(detailMessage, DetailInfoTitle, Answer::No) != Answer::Yes) {
        state.FlowRecord = false;
        state.DetailQuestionDeclined = true;
    } else {
        state.DetailQuestionDeclined = false;
        if (AskedYes(ui, "Do you need the record of program flow?", FlowRecordTitle)) {
            state.FlowFile = std::make_unique<FlowRecordFile>(
                ui.OutputPath(state.OutputBaseName + "_0_Flow.txt"));
            state.FlowRecord = true;
        } else {
            state.FlowRecord = false;
        }
    }

    if (state.DetailQuestionDeclined) {
        state.DetailedDifferences = false;
    } else {
        state.DetailedDifferences = AskedYes(
            ui,
            "Do you need detailed differences between treatments and normal density curves?\n"
            "   This option is useful to teachers to show the normal curve.\n"
            "   If you are comparing more treatments, there will be many files.\n"
            "\n"
            "Yes: Write detailed differences between treatments and normal density curves.\n"
            "No: Don't write detailed differences between treatments.\n",
            DetailFilesTitle);
    }

    state.ReversedSort = AskedYes(ui, "Do you want to do reversed sort?", ReversedSortTitle);

    CartesianRequest request;
    request.Reversed = state.ReversedSort;
    request.DetailFiles = state.DetailedDifferences;
    // Set by a front end for its session, never by a question.
    request.CsvTables = state.CsvResults;
    DialogueQuestions questions(services, true);
    const TreatmentInput in = AskTreatmentInput(state, services, questions);
    request.TreatmentCount = in.Count;
    request.Transform = static_cast<Transformation>(in.Transformation);

    WindowTestEvents events(*services.events, services.window);
    CartesianOutput out;
    out.Folder = ui.CurrentFolder();
    out.Transaction = services.output;
    RunControl control;
    control.Events = &events;
    control.Stop = services.stop;
    control.Time = &services.clock;
    control.Output = &out;
    control.Questions = &questions;
    control.Session = &state;
    control.Generator = &services.random;
    control.ResultsReady = services.resultsReady;
    RunCartesianTest(request, control);
    ui.Beep();
}

std::string DialogueQuestions::TreatmentFile(int t, int n) {
    Dialogues& ui = m_services.ui;
    // A cancel would give the file chosen before; forgetting it first makes a cancel a cancel.
    ui.ClearChosenFile();
    const std::string path = ui.ChooseOpenFile(TreatmentFileTitle(t), t, n);
    if (!path.empty()) m_services.screen.ReadingTreatment(t, n);
    return path;
}

void DialogueQuestions::Notice(const std::string& message, const std::string& title) {
    if (m_shown.insert(message).second) m_services.ui.Notify(message, title);
}

std::filesystem::path DialogueQuestions::OutputFolder() {
    if (m_checkFolder) EnsureOutputFolder(m_services.ui);
    return m_services.ui.CurrentFolder();
}

std::string DialogueQuestions::ReportCode(const std::string& problem) {
    Dialogues& ui = m_services.ui;
    if (problem.empty())
        ui.Beep();
    else
        ui.Notify(problem, CodeTitle);
    return ui.AskText(
        "If you want to add a specific code for this analysis, please enter the code and "
        "press OK. If not, just click on OK.",
        CodeTitle, NoCode);
}

void WindowTestEvents::Finished(const CartesianResult& result) {
    ShowMultiCIofDifference(result, m_window);
    m_inner.Finished(result);
}

void CartesianDifference(AnalysisState& state, Services& services) {
    DialogueQuestions questions(services, false);
    const TreatmentInput in = AskTreatmentInput(state, services, questions);
    ChooseTreatmentFiles({state, state, state, state, state}, in.Count, in.Transformation,
                         questions, services.stop);
}

void CartesianDifference2(AnalysisState& state, Services& services) {
    DialogueQuestions questions(services, false);
    WindowTestEvents events(*services.events, services.window);
    TestSeams seams = DialogueSeams(services, events, questions);
    // Detail files of every pair appear together once the report is written, so a test that
    // stops part-way leaves neither half a file nor a set that mixes two tests.
    OutputSet detailFiles(services.output);
    AnalysisState& s = state;
    const CartesianResult result = CompareLoadedTreatments({s, s, s, s, s, s}, seams, detailFiles);
    PrintMultiCIofDifference({s, s, s, s, s, s}, result, seams, detailFiles);
    services.ui.Beep();
}

void PrintMultiCIofDifference(AnalysisState& state, Services& services) {
    DialogueQuestions questions(services, false);
    WindowTestEvents events(*services.events, services.window);
    TestSeams seams = DialogueSeams(services, events, questions);
    OutputSet none(services.output);
    PrintMultiCIofDifference({state, state, state, state, state, state},
                             CartesianResultOf(state, state, state), seams, none);
    services.ui.Beep();
}

namespace {

const std::string KindQuestion =
    "You can use this button to sort a data file.\n"
    "Choose a general data file or a bootstrap resampling file to sort."
    "Don't choose a \"sorted\" file. It is already sorted. "
    "You don't need to sort it again.  You can use it to prepare figures.\n\n"
    "Yes: General integer data (Individual developmental duration, longevity, fecundity, etc). "
    "You will get the sorted and counted files. You will see the frequency distribution. "
    "No bootstrap technique will be used. The output files are not for paired test.\n\n"
    "No: Bootstrap results (e.g., Effec Boot-A1a). Your bootstrap results will be sorted and "
    "counted.\n\n"
    "Cancel: PBT or CPT results (e.g., file no. 24 or 25). \n\n";

const std::string SerialQuestion =
    "Are there serial numbers in your data file (Yes: i and x(i), No: x(i) only.\n"
    "Most bootstrap results are without serial numbers.\n"
    "Bootstrap results of population parameters are offered in both formats.";

const std::string DecimalsPrompt =
    "Limit of decimal points (0, 1, 2, 3, 4, 5 and -1).\n"
    "[Enter -1 (minus 1) to use double precision.]";

double AskDecimalLimit(Dialogues& ui) {
    std::string prompt = DecimalsPrompt;
    for (;;) {
        // A cancelled prompt gives the empty text, which reads as 0 decimals.
        const std::string answer = ui.AskText(prompt, DecimalsTitle, "-1");
        const double limit = LenientNumber(answer);
        if (limit >= -1 && limit <= 5) return limit;
        // Asked again, the prompt says why.
        prompt = DecimalsPrompt + "\n\n\"" + answer + "\" reads as " + Text(limit) +
                 ", which is not from -1 to 5. Please enter it again.";
    }
}

}  // namespace

void SortForBootstrapResults(AnalysisState& state, Services& services) {
    Dialogues& ui = services.ui;
    SortCountFileRequest request;
    switch (ui.AskYesNoCancel(KindQuestion, SortKindTitle)) {
        case Answer::Yes:
            request.DataKind = SortCountRequest::Kind::General;
            state.SortDataKind = KindGeneral;
            break;
        case Answer::No:
            request.DataKind = SortCountRequest::Kind::Boot;
            state.SortDataKind = KindBoot;
            break;
        case Answer::Cancel:
            request.DataKind = SortCountRequest::Kind::Results;
            state.SortDataKind = KindResults;
            break;
        default:
            // The question was closed without an answer: taking that for its third answer
            // would sort the wrong kind of file without the user ever choosing it.
            throw RunStopped("No kind of file was chosen, so nothing was sorted.");
    }
    // Most files have no serial numbers, as the message says, so Enter answers No.
    request.Serials =
        ui.AskYesNoAdvised(SerialQuestion, SerialNumbersTitle, Answer::No) == Answer::Yes;
    state.SortSerialNumbers = request.Serials;

    state.SortUtilityUsed = true;
    // A cancel returns the dialogue's remembered name, which may be a file chosen for a test;
    // forgetting it first makes a cancel here end the command instead of sorting that file.
    ui.ClearChosenFile();
    const bool general = request.DataKind == SortCountRequest::Kind::General;
    request.File = ui.ChooseOpenFile(general ? GeneralFileTitle : BootFileTitle);
    if (request.File.empty()) return;
    // Forget this choice too, so that a later cancel elsewhere does not return this file.
    ui.ClearChosenFile();
    request.Column = state.SortColumnName;

    SortCountControl control;
    control.Output = services.output;
    control.Session = &state;
    control.AskColumn = [&ui](const std::string& prompt, const std::string& suggested) {
        return ui.AskText(prompt, ColumnTitle, suggested);
    };
    control.AskDecimals = [&ui] { return AskDecimalLimit(ui); };
    control.FilesWritten = [&services](const std::vector<WrittenFile>& files) {
        services.window.FilesWritten(files);
    };
    SortAndCountFile(request, control);
    ui.Notify("Bootstrap results sorted and data file ready!", DecimalsTitle);
    ui.Notify("File of data counts is ready!", DecimalsTitle);
}

void AskAndRunSortCount(AnalysisState& state, Services& services) {
    SortForBootstrapResults(state, services);
    // What the utility left in the record decides, a cancelled choice's earlier values included.
    if (state.SortDataKind == KindResults) return;
    if (state.ClassCount > ViewedClassLimit) return;
    services.sortScreen.FrequencyChartReady();
    if (services.ui.AskYesNo("Do you want to see the frequency distribution?",
                             FrequencyViewTitle) != Answer::Yes)
        return;
    services.window.ShowNormalityView(MakeNormalityData(state, state));
}

}  // namespace vortel
