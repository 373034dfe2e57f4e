// The main window's procedures that the commands share: switching the command buttons.
#pragma once

#include "shell/Window.h"

namespace vortel {

// Start-up and every launch of a test: only "Q. CartesianPT" stays enabled.
void DisableAllButtonsForCartesian(Window& window);
// A click on the clock label: every command enabled, "N. Sort, norm." and Quit included.
void EnableAllButtonsForImage(Window& window);

}  // namespace vortel
