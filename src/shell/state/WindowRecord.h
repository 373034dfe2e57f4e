// The main window's own values: its start, the greeting's counter and the quotations.
#pragma once

#include <cstdint>
#include <string>

#include "shell/base/Clock.h"
#include "shell/base/Tables.h"

namespace vortel {

struct WindowRecord {
    DateTime StartMoment;
    bool IntroPending = false;
    FixedTable<std::string, 104> QuotationList{"QuotationList"};
    std::string EditionLine;
    double SecondsSinceStart = 0;
    std::int32_t GreetingCounter = 0;
};

}  // namespace vortel
