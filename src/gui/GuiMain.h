// Starts the Qt front end: the main window, or a picture of it after start-up.
#pragma once

#include <string>

namespace vortel::gui {

// Runs the window until the program ends; with a picture path, saves the window after
// start-up to that PNG file instead and returns at once.
int RunMainWindow(int& argc, char** argv, const std::string& screenshotPath);

}  // namespace vortel::gui
