#include "shell/mainwindow/App.h"

#include <exception>
#include <new>

#include "shell/base/RunStopped.h"
#include "shell/state/FlowRecord.h"

namespace vortel {

App::App(Dialogues& ui, Window& window, Clock& clock) : m_services{ui, window, clock, m_random} {
    m_services.stop = &m_stop;
}

bool App::Run(const Command& command) {
    m_lastFailure.clear();
    m_lastStopped = false;
    // Cleared as the command ends, not as it starts: a stop asked for while the front end was
    // starting the command still stops it, and none carries over to the next command.
    struct ClearWhenDone {
        StopToken& token;
        ~ClearWhenDone() { token.Clear(); }
    } clear{m_stop};
    try {
        command(m_state, m_services);
        return true;
    } catch (const CommandStopped& e) {
        // Asked for, so not shown as a failure; the command's files were never put in place.
        m_lastFailure = e.what();
        m_lastStopped = true;
        m_services.events->Stopped();
        return false;
    } catch (const std::exception& e) {  // RunStopped, filesystem_error, bad_alloc
        m_lastFailure = CommandFailureText(e);
    }
    m_services.ui.Notify(m_lastFailure, "VORTEL");
    return false;
}

std::string CommandFailureText(const std::exception& e) {
    if (dynamic_cast<const std::bad_alloc*>(&e)) return "Not enough memory to finish this command.";
    return e.what();
}

void App::CloseAllFiles() { m_state.FlowFile.reset(); }

}  // namespace vortel
