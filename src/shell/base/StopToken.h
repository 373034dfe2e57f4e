// A request to stop the running command, made from another thread (a Stop button, Ctrl+C) and
// looked at by the computation between its steps.
#pragma once

#include <atomic>

#include "shell/base/RunStopped.h"

namespace vortel {

class StopToken {
public:
    void Request() noexcept { m_requested.store(true, std::memory_order_relaxed); }
    void Clear() noexcept { m_requested.store(false, std::memory_order_relaxed); }
    bool Requested() const noexcept { return m_requested.load(std::memory_order_relaxed); }

private:
    std::atomic<bool> m_requested{false};
};

// Thrown where a computation sees the request. The command is abandoned as a failed one is, so
// it writes nothing and keeps every earlier file, but the user asked for it: no failure is shown.
class CommandStopped : public RunStopped {
public:
    CommandStopped() : RunStopped("The command was stopped; no file was written.") {}
};

// A token may be absent: a command run without one cannot be stopped.
inline void StopIfRequested(const StopToken* token) {
    if (token != nullptr && token->Requested()) throw CommandStopped();
}

}  // namespace vortel
