#include <cstdio>

#include "app/BatchOptions.h"
#include "app/Commands.h"

namespace vortel {

void PrintUsage() {
    std::fputs(
        "Usage:\n"
        "  vortel                      open the program window\n"
        "  vortel --terminal           run the program with prompts in this terminal\n"
        "  vortel --screenshot FILE.png\n"
        "                              save a picture of the window after start-up\n",
        stdout);
    // The commands' options come from the tables their parsers read.
    std::fputs(CartesianUsage().c_str(), stdout);
    std::fputs(SortCountUsage().c_str(), stdout);
    std::fputs(PaperTableUsage().c_str(), stdout);
    std::fputs(
        "A FILE whose name begins with - follows --. A refused run prints one line on\n"
        "standard error and writes no file.\n"
        "Exit status: 0 on success, 1 when the input is refused, 2 for a usage error.\n",
        stdout);
}

}  // namespace vortel
