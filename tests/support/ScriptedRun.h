// One program run's record and the seams a command talks through, its dialogues answered from
// a script: for tests and fuzz targets that drive a whole command.
#pragma once

#include "shell/mainwindow/App.h"
#include "shell/mainwindow/HeadlessWindow.h"
#include "support/ScriptedDialogues.h"

namespace vortel {

struct ScriptedRun {
    ScriptedDialogues ui;
    HeadlessWindow window;
    FixedClock clock;
    Random random;
    Services services{ui, window, clock, random};
    AnalysisState state;
};

}  // namespace vortel
