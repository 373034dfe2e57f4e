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
#include "shell/state/App.h"
#include "shell/state/CallServices.h"
#include "shell/state/FlowRecord.h"

namespace vortel {

namespace {

void CheckRequest(const CartesianRequest& request, bool output) {
    if (!request.Files.empty()) {
        if (!request.Treatments.empty()) {
            throw RunStopped(
                "The treatments were given both as values and as files; give them one way.");
        }
        // How many treatments the files hold is known once they are read.
        if (request.Files.size() > static_cast<std::size_t>(MostTreatments)) {
            throw RunStopped(
                "A Cartesian paired test compares 2 to " + Text(MostTreatments) + " treatments; " +
                Text(static_cast<std::int64_t>(request.Files.size())) + " files were given.");
        }
    } else {
        const std::size_t n = request.Treatments.size();
        if (n < 2 || n > static_cast<std::size_t>(MostTreatments)) {
            throw RunStopped("A Cartesian paired test compares 2 to " + Text(MostTreatments) +
                             " treatments; the request has " + Text(static_cast<std::int64_t>(n)) +
                             ".");
        }
    }
    const auto& given = request.Treatments;
    for (std::size_t e = 0; e < given.size(); ++e) {
        const TreatmentSamples& t = given[e];
        const std::string named = "Treatment \"" + t.Name + "\"";
        if (t.Values.size() > static_cast<std::size_t>(ListCapacity)) {
            throw RunStopped(named + " has " + Text(static_cast<std::int64_t>(t.Values.size())) +
                             " bootstrap values; a treatment takes at most " + Text(ListCapacity) +
                             ".");
        }
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

}  // namespace

// The test once its request is checked, in two steps: reading the treatments, then the pairs and
// the report; a test split between instances (ExactPairShare.h) computes its share of the pairs
// in between. `kept` holds what its files replace until they stand.
struct SplitTest::Run {
    Run(const CartesianRequest& request, const RunControl& control, OutputTransaction* kept);
    // The events and the stop of the step about to run.
    void Use(const RunControl& control);
    CartesianResult Finish(const std::vector<ExactPairOutcome>* given);

    // The state is large in fields but small until values are put in it.
    std::unique_ptr<AnalysisState> state = std::make_unique<AnalysisState>();
    CartesianOutput* out;
    // The report's one question, its code, is answered from the request.
    RequestAnswers ui;
    SystemClock machineClock;
    Clock& clock;
    Random random;
    NoWindow window;
    TestEvents quiet;
    Services services{ui, window, clock, random};
};

SplitTest::Run::Run(const CartesianRequest& request, const RunControl& control,
                    OutputTransaction* kept)
    : out(control.Output),
      ui({{CodeTitle, request.Code}}, out ? out->Folder : ""),
      clock(control.Time ? *control.Time : machineClock) {
    AnalysisState& s = *state;
    SetEditionValues(s);
    // Drawn as a fresh program run draws it, for a report name with a code.
    random.Seed(static_cast<std::uint32_t>(clock.Now().Second));
    // Named as a launch in a fresh program run names it, before treatment input sets the base.
    if (out && request.FlowRecord) {
        const std::filesystem::path flow = ui.OutputPath(s.OutputBaseName + "_0_Flow.txt");
        kept->Keep(std::make_unique<EarlierFiles>(std::vector<std::filesystem::path>{flow}));
        s.FlowRecord = true;
        s.FlowFile = std::make_unique<FlowRecordFile>(flow);
        out->FlowRecordPath = flow;
    }
    s.ReversedSort = request.Reversed;
    // Detail files that cannot be written for a pair stop the test: there is no one to tell.
    s.DetailedDifferences = request.DetailFiles;
    s.DetailFilesRequired = true;
    s.CsvResults = request.CsvTables;

    if (!request.Files.empty()) {
        if (!request.TableParameter.empty()) s.TableParameterName = request.TableParameter;
        ReadTreatmentFiles(
            s, request.Files, static_cast<int>(request.Transform),
            [&](const std::string& note) {
                if (out) out->Notes.push_back(note);
            },
            control.Stop);
    } else {
        std::vector<TableTreatment> treatments;
        treatments.reserve(request.Treatments.size());
        for (const TreatmentSamples& t : request.Treatments)
            treatments.push_back({t.Name, t.SampleSize, t.Original, t.Parameter, t.Values, 0, 0});
        EnterTreatments(s, treatments, static_cast<int>(request.Transform));
    }
    services.output = kept;
}

void SplitTest::Run::Use(const RunControl& control) {
    services.events = control.Events ? control.Events : &quiet;
    services.stop = control.Stop;
}

CartesianResult SplitTest::Run::Finish(const std::vector<ExactPairOutcome>* given) {
    AnalysisState& s = *state;
    OutputSet files(services.output);
    CartesianResult result = CompareLoadedTreatments(s, services, files, given);
    if (out) {
        PrintMultiCIofDifference(s, result, services, files);
        out->Report = s.ResultFileName;
        if (out->WantDifferences)
            out->Differences =
                DifferencesOfPairs(s, DifferenceBins, nullptr, nullptr, GivenHistograms(given));
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
    CheckRequest(request, control.Output != nullptr);
    OutputTransaction own;
    return Guarded(own, control, [&] {
        SplitTest::Run run(request, control, KeptBy(own, control));
        run.Use(control);
        return run.Finish(nullptr);
    });
}

SplitTest::SplitTest(const CartesianRequest& request, const RunControl& control) {
    CheckRequest(request, control.Output != nullptr);
    Guarded(m_own, control, [&] {
        m_run = std::make_unique<Run>(request, control, KeptBy(m_own, control));
        return 0;
    });
}

SplitTest::~SplitTest() = default;

void SplitTest::ComputeShare(ExactPairShare& share, const RunControl& control) {
    Guarded(m_own, control, [&] {
        m_run->Use(control);
        ComputeShareOfLoaded(*m_run->state, m_run->services, share);
        return 0;
    });
}

CartesianResult SplitTest::Finish(const std::vector<ExactPairOutcome>& given,
                                  const RunControl& control) {
    return Guarded(m_own, control, [&] {
        m_run->Use(control);
        return m_run->Finish(&given);
    });
}

}  // namespace vortel
