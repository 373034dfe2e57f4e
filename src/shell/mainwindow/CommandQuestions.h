// How the window and the terminal run their two commands: each asks the command's questions in
// their order, gathers the answers into a request, and calls the command's entry point
// (RunCartesianTest, SortAndCountFile) as the batch commands do, answering the few questions the
// command asks on its way (a treatment's file, the report's code) and showing what it hands back.
#pragma once

#include <set>
#include <string>

#include "shell/mainwindow/App.h"
#include "shell/state/TestQuestions.h"

namespace vortel {

struct CartesianResult;

// Titles of the launch's questions, by which front ends and tests recognise them.
inline constexpr const char* DetailInfoTitle = "Do you need detailed info?";
inline constexpr const char* FlowRecordTitle = "Do you need flow record?";
inline constexpr const char* DetailFilesTitle = "Detailed differences";
inline constexpr const char* ReversedSortTitle = "Reversed sort";
// Titles of treatment input's questions.
inline constexpr const char* TreatmentCountTitle =
    "Read data file one by one for paired comparison using Cartesian Product";
inline constexpr const char* TransformationTitle = "Transformation?";

// Checks that the folder output goes to can take files, before the pairs run; where it cannot,
// the user may choose another (Dialogues::ChooseOtherFolder), else the test is abandoned.
void EnsureOutputFolder(Dialogues& ui);

// A running test's questions put to the user through the dialogues; the window's captions say
// which treatment is being read.
class DialogueQuestions final : public TestQuestions {
public:
    // `checkFolder`: the output folder is checked (EnsureOutputFolder) when asked for.
    DialogueQuestions(Services& services, bool checkFolder)
        : m_services(services), m_checkFolder(checkFolder) {}
    std::string TreatmentFile(int t, int n) override;
    // A notice already shown in this command (a table counted for the suggested number of
    // treatments, then chosen) is not shown again.
    void Notice(const std::string& message, const std::string& title) override;
    std::filesystem::path OutputFolder() override;
    std::string ReportCode(const std::string& problem) override;

private:
    Services& m_services;
    bool m_checkFolder;
    std::set<std::string> m_shown;
};

// A test's events as the window shows them: the front end's own (Services::events), and the
// comparison grid filled from the result.
class WindowTestEvents final : public TestEvents {
public:
    WindowTestEvents(TestEvents& inner, Window& window) : m_inner(inner), m_window(window) {}
    void Began(const std::string& beganText, int pairCount) override {
        m_inner.Began(beganText, pairCount);
    }
    void PairStarted(int i, int j, PairPhase phase) override { m_inner.PairStarted(i, j, phase); }
    void PairDone(int i, int j, const DateTime& when) override { m_inner.PairDone(i, j, when); }
    void Finished(const CartesianResult& result) override;
    void Finished(const std::string& endedText) override { m_inner.Finished(endedText); }
    void ReportWritten(const std::string& path) override { m_inner.ReportWritten(path); }
    void Stopped() override { m_inner.Stopped(); }

private:
    TestEvents& m_inner;
    Window& m_window;
};

// The handler of "Q. CartesianPT": settles the options, asks for the treatments and runs a whole
// test.
void AskAndRunCartesianTest(AnalysisState& state, Services& services);

// The handler of "N. Sort, norm.": asks for the kind of file, its layout, the file and the
// decimals, sorts and counts it (SortAndCountFile), and then, unless the file held PBT or CPT
// results or more than ViewedClassLimit classes, shows MSChart1, hides MSChart2 and offers the
// frequency view.
void AskAndRunSortCount(AnalysisState& state, Services& services);
// The same without the frequency view: a cancelled file choice returns with nothing read.
void SortForBootstrapResults(AnalysisState& state, Services& services);

// The steps of a test one by one, with the dialogues' answers, for the tests of those steps:
// treatment input by its questions; the pairs and the report from the treatments in the record;
// the report alone from the results in the record.
void CartesianDifference(AnalysisState& state, Services& services);
void CartesianDifference2(AnalysisState& state, Services& services);
void PrintMultiCIofDifference(AnalysisState& state, Services& services);

}  // namespace vortel
