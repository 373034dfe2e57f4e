#include "shell/mainwindow/TestScreen.h"

#include <optional>

#include "shell/base/NumberText.h"

namespace vortel {

namespace {

const char* const RunningText =
    "I am running Cartesian paired test.\nPlease wait!\nDon't touch me!";

// The status label's look while a test runs.
Look BlueOnWhite(int fontSize) {
    Look look;
    look.Fore = Blue;
    look.Back = White;
    look.FontSize = fontSize;
    return look;
}

}  // namespace

void TestScreen::Launched() {
    DisableAllButtonsForCartesian(m_window);
    m_window.SetVisible("Image1", false);
    m_window.SetVisible("Label4", true);
    m_window.SetVisible("Label14", false);
    // No line of an earlier test stays beside this one's.
    m_window.SetVisible("lblBootBegin", false);
    m_window.SetVisible("lblBootEnd", false);
}

void TestScreen::TreatmentInputBegan() {
    m_window.SetEnabled("cmdReadDataA1", false);
    m_window.SetEnabled("cmdReadNandF", false);
}

void TestScreen::ReadingTreatment(int t, int n) {
    Window& w = m_window;
    w.SetCaption("Label2",
                 "Reading the treatment files...\n(treatment " + Text(t) + " of " + Text(n) + ")");
    w.SetLook("Label2", BlueOnWhite(24));
    // Not redrawn: the window's thread is free to paint it, and the terminal prints only
    // the test's own lines.
    w.SetVisible("Label2", true);
}

void TestScreen::PreparingFigure(int done, int total) {
    m_window.SetCaption("Label2", m_runningCaption + "\n(Preparing the differences figure: " +
                                      Text(done) + " of " + Text(total) + " pairs)");
}

void TestScreen::Began(const std::string& beganText, int pairCount) {
    (void)pairCount;
    Window& w = m_window;
    w.SetVisible("Label2", true);
    w.SetCaption("Label2", RunningText);
    w.SetLook("Label2", BlueOnWhite(36));
    w.Redraw("Label2");

    w.SetVisible("Label14", false);
    w.SetVisible("MSFlexGrid1", false);
    w.Redraw("Frame3");

    w.SetCaption("lblBootBegin", beganText);
    w.SetVisible("lblBootBegin", true);
    w.Redraw("lblBootBegin");

    Look tall;
    tall.Height = 615;
    w.SetLook("Label6", tall);
    w.Redraw("Label6");
    m_runningCaption = w.Caption("Label2");
}

void TestScreen::PairStarted(int i, int j, PairPhase phase) {
    Window& w = m_window;
    const bool sorting = phase == PairPhase::Sorting;
    w.SetCaption("Label2", m_runningCaption + "\n(Comparing " + Text(i) + " with " + Text(j) + ")" +
                               (sorting ? "\n(Sorting...)" : ""));
    Look look;
    look.FontSize = 36;
    // The colour flips once a pair, so a long test shows it is alive.
    if (!sorting) look.Fore = w.CurrentLook("Label2").Fore == Red ? Blue : Red;
    w.SetLook("Label2", look);
    w.Redraw("Label2");
}

void TestScreen::PairDone(int i, int j, const DateTime& when) {
    Window& w = m_window;
    w.SetCaption("Label6", DateText(when) + "\nTreat " + Text(i) + " to treat " + Text(j));
    const std::optional<Rgb> back = w.CurrentLook("Label6").Back;
    Look look;
    if (back == Yellow) {
        look.Back = Red;
        look.Fore = Yellow;
    } else if (back == Red) {
        look.Back = Yellow;
        look.Fore = Black;
    }
    w.SetLook("Label6", look);
    w.Redraw("Label6");
}

void TestScreen::Finished(const std::string& endedText) {
    Window& w = m_window;
    w.SetEnabled("Command21", false);
    w.SetVisible("MSFlexGrid1", true);
    w.SetEnabled("MSFlexGrid1", true);
    w.SetVisible("Label2", false);
    w.SetCaption("lblBootEnd", endedText);
    w.SetVisible("lblBootEnd", true);
}

void TestScreen::ReportWritten(const std::string& path) {
    Window& w = m_window;
    w.SetCaption("txtDatafile", "Output file is: " + path);
    w.FilesWritten({{"Report", path}});
    w.SetEnabled("cmdMultiCompCI", false);
    w.SetEnabled("cmdMatchedLifeTable", false);
    w.SetEnabled("FMNmatrices", false);
}

void TestScreen::Stopped() {
    Window& w = m_window;
    // Nothing of the stopped test stays: no began or ended line, no grid of its results.
    w.SetVisible("lblBootBegin", false);
    w.SetVisible("lblBootEnd", false);
    w.SetVisible("MSFlexGrid1", false);
    w.SetCaption("Label2", "The test was stopped; no file was written.");
    Look look;
    look.Fore = Blue;
    look.FontSize = 24;
    w.SetLook("Label2", look);
    w.Redraw("Label2");
}

}  // namespace vortel
