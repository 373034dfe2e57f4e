#include <cstdio>

#include "app/Commands.h"

namespace vortel {

int RunWindow(int, char**, const std::string&) {
    std::fputs("This build of vortel has no window. Use vortel --terminal or the batch commands "
               "(vortel --help).\n", stderr);
    return 1;
}

}  // namespace vortel
