#include <cstdio>

#include "app/Commands.h"

namespace vortel {

int RunCartesianCommand(const std::vector<std::string>&) {
    std::fputs("vortel cartesian: not built yet\n", stderr);
    return 1;
}

}  // namespace vortel
