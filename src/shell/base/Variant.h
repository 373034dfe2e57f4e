// A field read from a text record as "any": a number when its text spells one, the text
// otherwise.
#pragma once

#include <string>

namespace vortel {

struct Variant {
    bool IsNumber = false;
    double Number = 0;
    std::string Text;
};

}  // namespace vortel
