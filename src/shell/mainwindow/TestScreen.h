// How the main window shows a running test: the events of the computation turned into the
// captions, colours and sizes of the window's status labels.
#pragma once

#include <string>

#include "shell/state/TestEvents.h"
#include "shell/state/Window.h"

namespace vortel {

class TestScreen final : public TestEvents {
public:
    explicit TestScreen(Window& window) : m_window(window) {}

    void Began(const std::string& beganText, int pairCount) override;
    void PairStarted(int i, int j, PairPhase phase) override;
    void PairDone(int i, int j, const DateTime& when) override;
    void Finished(const std::string& endedText) override;
    void ReportWritten(const std::string& path) override;
    void Stopped() override;

    // A test is launched: only its own command stays on, the start picture and the command
    // overview give way to the status labels.
    void Launched();
    // Treatment input begins: the data-reading commands are off until the test ends.
    void TreatmentInputBegan();
    // Treatment t of n is being read (a file of a million values takes a while).
    void ReadingTreatment(int t, int n);
    // The pairs are compared and the report's code answered: the figure's data is prepared,
    // `done` of `total` pairs so far.
    void PreparingFigure(int done, int total);

    // The status caption every pair's progress is added to.
    const std::string& RunningCaption() const { return m_runningCaption; }

private:
    Window& m_window;
    std::string m_runningCaption;
};

}  // namespace vortel
