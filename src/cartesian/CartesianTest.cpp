#include "cartesian/CartesianTest.h"

#include <cmath>
#include <memory>

#include "cartesian/CartesianDifference.h"
#include "cartesian/ExactPairShare.h"
#include "cartesian/PairComparisons.h"
#include "cartesian/TreatmentTable.h"
#include "report/DifferenceHistogram.h"
#include "report/PrintMultiCIofDifference.h"
#include "report/ResultFileName.h"
#include "shell/base/NumberText.h"
#include "shell/base/OutputFile.h"
#include "shell/base/RunStopped.h"
#include "shell/state/AnalysisState.h"
#include "shell/state/FlowRecord.h"

namespace vortel {

namespace {

// A request's count of treatments; `counted` says what was counted, and how many.
void CheckRequestedCount(std::int64_t n, const std::string& counted, double fewest = 2) {
    CheckTreatmentCount(
        static_cast<double>(n),
        [&] {
            return "A Cartesian paired test compares 2 to " + Text(MostTreatments) +
                   " treatments; " + counted + ".";
        },
        fewest);
}

void CheckRequest(const CartesianRequest& request, bool output, bool questions) {
    if (request.Files.empty() && request.Treatments.empty() && request.TreatmentCount != 0) {
        // Files to be chosen one at a time: the front end has asked how many.
        if (!questions) {
            throw RunStopped(
                "Treatments to be chosen one at a time need a front end to choose them.");
        }
        CheckRequestedCount(request.TreatmentCount,
                            "the request has " + Text(std::int64_t{request.TreatmentCount}));
    } else if (!request.Files.empty()) {
        if (!request.Treatments.empty()) {
            throw RunStopped(
                "The treatments were given both as values and as files; give them one way.");
        }
        // How many treatments the files hold is known once they are read.
        const auto files = static_cast<std::int64_t>(request.Files.size());
        CheckRequestedCount(files, Text(files) + " files were given", 0);
    } else {
        const auto entered = static_cast<std::int64_t>(request.Treatments.size());
        CheckRequestedCount(entered, "the request has " + Text(entered));
    }
    const auto& given = request.Treatments;
    for (std::size_t e = 0; e < given.size(); ++e) {
        const TreatmentSamples& t = given[e];
        const std::string named = "Treatment \"" + t.Name + "\"";
        const auto b = static_cast<std::int64_t>(t.Values.size());
        CheckValueCount(b, [&] {
            return named + " has " + Text(b) + " bootstrap values; a treatment takes at most " +
                   Text(ListCapacity) + ".";
        });
        // What a table refuses in its cells is refused in values too: a script's NA comes as NaN.
        if (t.SampleSize < 1) {
            throw RunStopped(named + ": n is " + Text(t.SampleSize) +
                             "; it must be a whole number above 0: the sample size of the "
                             "original data (the F test needs it).");
        }
        for (std::size_t k = 0; k < t.Values.size(); ++k) {
            if (std::isnan(t.Values[k])) {
                throw RunStopped(named + ": bootstrap value " +
                                 Text(static_cast<std::int64_t>(k + 1)) +
                                 " is not a number (NaN or NA); every value must be a number.");
            }
        }
        for (std::size_t u = 0; u < e; ++u) {
            if (given[u].Name != t.Name) continue;
            throw RunStopped("Treatments " + Text(static_cast<std::int64_t>(u + 1)) + " and " +
                             Text(static_cast<std::int64_t>(e + 1)) + " are both named \"" +
                             t.Name + "\"; each treatment needs a name of its own.");
        }
    }
    if (!output && (request.DetailFiles || request.FlowRecord || request.CsvTables)) {
        throw RunStopped(
            "Detail files, a flow record or CSV tables were asked for without a folder to write "
            "them to.");
    }
}

// The questions of a test answered from its request: the files it names, the folder and code it
// gives; a notice is kept with the output's, and a code that cannot name the report stops the
// test with the reason.
class RequestQuestions final : public TestQuestions {
public:
    RequestQuestions(std::string code, CartesianOutput* out)
        : m_code(std::move(code)), m_out(out) {}
    // The files a request names are read as a list (ReadTreatmentFiles), never one at a time.
    std::string TreatmentFile(int, int) override { return {}; }
    void Notice(const std::string& message, const std::string&) override {
        if (m_out) m_out->Notes.push_back(message);
    }
    std::filesystem::path OutputFolder() override {
        return m_out ? m_out->Folder : std::filesystem::path();
    }
    std::string ReportCode(const std::string& problem) override {
        if (!problem.empty()) throw RunStopped(problem);
        return m_code;
    }

private:
    std::string m_code;
    CartesianOutput* m_out;
};

}  // namespace

// The test once its request is checked, in two steps: reading the treatments, then the pairs and
// the report; a test split between instances (ExactPairShare.h) computes its share of the pairs
// in between. `kept` holds what its files replace until they stand.
struct SplitTest::Run {
    Run(const CartesianRequest& request, const RunControl& control, OutputTransaction* kept);
    // What the step about to run reaches the outside by: its events, stop and hooks.
    TestSeams Seams(const RunControl& control);
    CartesianResult Finish(const std::vector<ExactPairOutcome>* given, const RunControl& control);

    // The state is large in fields but small until values are put in it; a front end's session
    // keeps its own, so that table numbers carry on from report to report.
    std::unique_ptr<AnalysisState> fresh;
    AnalysisState& state;
    CartesianOutput* out;
    OutputTransaction* kept;
    RequestQuestions answers;
    TestQuestions& questions;
    SystemClock machineClock;
    Clock& clock;
    // Drawn as a fresh program run draws it, for a report name with a code.
    Random drawn;
    Random& random;
    std::filesystem::path folder;
    TestEvents quiet;
};

namespace {

AnalysisState& SessionOrFresh(const RunControl& control, std::unique_ptr<AnalysisState>& fresh) {
    if (control.Session) return *control.Session;
    fresh = std::make_unique<AnalysisState>();
    SetEditionValues(*fresh);
    return *fresh;
}

}  // namespace

SplitTest::Run::Run(const CartesianRequest& request, const RunControl& control,
                    OutputTransaction* kept)
    : state(SessionOrFresh(control, fresh)),
      out(control.Output),
      kept(kept),
      answers(request.Code, control.Output),
      questions(control.Questions ? *control.Questions : answers),
      clock(control.Time ? *control.Time : machineClock),
      random(control.Generator ? *control.Generator : drawn) {
    AnalysisState& s = state;
    if (!control.Generator) drawn.Seed(static_cast<std::uint32_t>(clock.Now().Second));
    // Named as a launch in a fresh program run names it, before treatment input sets the base.
    if (out && request.FlowRecord) {
        const std::filesystem::path flow = out->Folder / (s.OutputBaseName + "_0_Flow.txt");
        kept->Keep(std::make_unique<EarlierFiles>(std::vector<std::filesystem::path>{flow}));
        s.FlowRecord = true;
        s.FlowFile = std::make_unique<FlowRecordFile>(flow);
        out->FlowRecordPath = flow;
    }
    s.ReversedSort = request.Reversed;
    s.DetailedDifferences = request.DetailFiles;
    // Detail files that cannot be written for a pair stop the test when there is no one to tell.
    s.DetailFilesRequired = control.Questions == nullptr;
    s.CsvResults = request.CsvTables;

    const auto transformation = static_cast<int>(request.Transform);
    if (!request.Files.empty()) {
        if (!request.TableParameter.empty()) s.TableParameterName = request.TableParameter;
        ReadTreatmentFiles(
            {s, s, s, s, s}, request.Files, transformation,
            [&](const std::string& note) { questions.Notice(note, TableNoteTitle); }, control.Stop);
    } else if (!request.Treatments.empty()) {
        std::vector<TableTreatment> treatments;
        treatments.reserve(request.Treatments.size());
        for (const TreatmentSamples& t : request.Treatments)
            treatments.push_back({t.Name, t.SampleSize, t.Original, t.Parameter, t.Values, 0, 0});
        EnterTreatments({s, s, s, s, s}, treatments, transformation);
    } else {
        ChooseTreatmentFiles({s, s, s, s, s}, static_cast<std::int16_t>(request.TreatmentCount),
                             transformation, questions, control.Stop);
    }
    folder = questions.OutputFolder();
}

TestSeams SplitTest::Run::Seams(const RunControl& control) {
    TestSeams seams{clock, random, control.Events ? *control.Events : quiet, questions};
    seams.stop = control.Stop;
    seams.output = kept;
    seams.folder = folder;
    seams.resultsReady = control.ResultsReady;
    return seams;
}

CartesianResult SplitTest::Run::Finish(const std::vector<ExactPairOutcome>* given,
                                       const RunControl& control) {
    AnalysisState& s = state;
    TestSeams seams = Seams(control);
    OutputSet files(seams.output);
    CartesianResult result = CompareLoadedTreatments({s, s, s, s, s, s}, seams, files, given);
    if (out) {
        PrintMultiCIofDifference({s, s, s, s, s, s}, result, seams, files);
        out->Report = s.ResultFileName;
        if (out->WantDifferences)
            out->Differences = DifferencesOfPairs(s, s, s, DifferenceBins, nullptr, nullptr,
                                                  GivenHistograms(given));
    }
    return result;
}

namespace {

// What a failed step leaves: with an output of the caller's own transaction, the caller puts
// the earlier files back; else the split test's own transaction does, at once.
template <class Step>
auto Guarded(OutputTransaction& own, const RunControl& control, Step step) {
    if (control.Output && control.Output->Transaction) return step();
    try {
        return step();
    } catch (...) {
        own.Restore();
        throw;
    }
}

// Where a step keeps the files its own replace: the caller's transaction, or `own`.
OutputTransaction* KeptBy(OutputTransaction& own, const RunControl& control) {
    return control.Output && control.Output->Transaction ? control.Output->Transaction : &own;
}

}  // namespace

CartesianResult RunCartesianTest(const CartesianRequest& request, const RunControl& control) {
    CheckRequest(request, control.Output != nullptr, control.Questions != nullptr);
    OutputTransaction own;
    return Guarded(own, control, [&] {
        SplitTest::Run run(request, control, KeptBy(own, control));
        return run.Finish(nullptr, control);
    });
}

SplitTest::SplitTest(const CartesianRequest& request, const RunControl& control) {
    CheckRequest(request, control.Output != nullptr, control.Questions != nullptr);
    Guarded(m_own, control, [&] {
        m_run = std::make_unique<Run>(request, control, KeptBy(m_own, control));
        return 0;
    });
}

SplitTest::~SplitTest() = default;

void SplitTest::ComputeShare(ExactPairShare& share, const RunControl& control) {
    Guarded(m_own, control, [&] {
        TestSeams seams = m_run->Seams(control);
        AnalysisState& s = m_run->state;
        ComputeShareOfLoaded(s, s, s, seams, share);
        return 0;
    });
}

CartesianResult SplitTest::Finish(const std::vector<ExactPairOutcome>& given,
                                  const RunControl& control) {
    return Guarded(m_own, control, [&] { return m_run->Finish(&given, control); });
}

}  // namespace vortel
