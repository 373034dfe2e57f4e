#include <cstdio>

#include "app/Commands.h"

namespace vortel {

int RunSortCountCommand(const std::vector<std::string>&) {
    std::fputs("vortel sortcount: not built yet\n", stderr);
    return 1;
}

}  // namespace vortel
