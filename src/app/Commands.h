// Entry points of the program's front ends; main() picks one by its first argument.
#pragma once

#include <string>
#include <vector>

namespace vortel {

// vortel cartesian [...] FILE1 FILE2 ...: one Cartesian paired test in a fresh program run.
int RunCartesianCommand(const std::vector<std::string>& args);
// vortel sortcount [...] FILE: the sort-and-count utility in a fresh program run.
int RunSortCountCommand(const std::vector<std::string>& args);
// vortel paper-table [...] FILE...: the treatments tables of several tests as one table.
int RunPaperTableCommand(const std::vector<std::string>& args);
// vortel --terminal: the program with its dialogues as terminal prompts.
int RunTerminal();
// vortel (no arguments) opens the window; vortel --screenshot FILE.png saves a picture of it.
int RunWindow(int argc, char** argv, const std::string& screenshotPath);

void PrintUsage();

}  // namespace vortel
