#include <cstdio>

#include "app/Commands.h"

namespace vortel {

int RunTerminal() {
    std::fputs("vortel --terminal: not built yet\n", stderr);
    return 1;
}

}  // namespace vortel
