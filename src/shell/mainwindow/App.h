// One program run: the analysis state and the seams every command talks through.
#pragma once

#include <exception>
#include <functional>
#include <string>

#include "shell/base/Clock.h"
#include "shell/base/StopToken.h"
#include "shell/mainwindow/SortCountScreen.h"
#include "shell/mainwindow/TestScreen.h"
#include "shell/state/AnalysisState.h"
#include "shell/state/Dialogues.h"
#include "shell/state/TestEvents.h"
#include "shell/state/TestQuestions.h"
#include "shell/state/Window.h"

namespace vortel {

class OutputTransaction;

// The seams a command may use besides the record.
struct Services {
    Dialogues& ui;
    Window& window;
    Clock& clock;
    Random& random;
    // Where the command's committed files keep the earlier ones until its runner says it is
    // done; none, and they are dropped at each commit.
    OutputTransaction* output = nullptr;
    // How the window shows a test, and where a test reports its progress: the window unless a
    // front end shows it its own way. Never null.
    TestScreen screen{window};
    TestEvents* events = &screen;
    SortCountScreen sortScreen{window};
    // Looked at between steps; a request stops the command with CommandStopped.
    const StopToken* stop = nullptr;
    // Called on the command's thread once a test's pairs are compared and its report's code is
    // answered, before any of its files is put in place: a front end prepares there what it
    // shows of the result (the window its figure's data), where a stop still leaves nothing
    // written and the window's thread stays free.
    ResultsReadyHook resultsReady{};
};

using Command = std::function<void(AnalysisState&, Services&)>;

class App {
public:
    App(Dialogues& ui, Window& window, Clock& clock);

    AnalysisState& State() { return m_state; }
    Services& Seams() { return m_services; }
    Random& Generator() { return m_random; }

    // Runs one command. A failure becomes one message to the user, the command is abandoned
    // and the program goes on; returns whether the command ran to its end. The message of the
    // last failure stays readable for the batch commands.
    bool Run(const Command& command);
    const std::string& LastFailure() const { return m_lastFailure; }
    // Whether the last command ended because it was stopped.
    bool LastStopped() const { return m_lastStopped; }

    // Asks the running command, or the one about to run, to stop; safe from any thread. The
    // request ends with the command it stopped.
    void RequestStop() noexcept { m_stop.Request(); }
    // Drops a request made after the command it was meant for had ended (a Ctrl+C between
    // the command's end and the front end taking its handler back), so the next command runs.
    void DropLateStop() noexcept { m_stop.Clear(); }

    // A front end that shows a test's progress its own way puts its events in place of the
    // window's; null gives the window's back.
    void ShowProgressWith(TestEvents* events) {
        m_services.events = events != nullptr ? events : &m_services.screen;
    }

    // Closes every open file (Quit).
    void CloseAllFiles();

private:
    AnalysisState m_state;
    Random m_random;
    StopToken m_stop;
    Services m_services;
    std::string m_lastFailure;
    bool m_lastStopped = false;
};

// What a command's failure says to its user: the exception's text, or that memory ran out.
std::string CommandFailureText(const std::exception& e);

}  // namespace vortel
