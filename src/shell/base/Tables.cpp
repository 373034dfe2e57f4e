#include "shell/base/Tables.h"

namespace vortel {

void ThrowIndexBeyond(const char* table, std::int64_t index, std::int64_t capacity) {
    throw RunStopped("Position " + std::to_string(index) + " lies beyond the capacity of " + table +
                     " (0 to " + std::to_string(capacity) + ").");
}

}  // namespace vortel
