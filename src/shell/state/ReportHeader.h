// What a report's header takes from the session: the edition, the project, the table numbers
// that go on from report to report, and the tables' rules.
#pragma once

#include <cstdint>
#include <string>

namespace vortel {

struct ReportHeader {
    std::string EditionTitle;
    std::string VersionText;
    double NominalBootstrapNumber = 0;
    double NominalCartesianNumber = 0;
    // Set by the sort-and-count utility, named by a later report.
    std::string ProjectName;
    std::int16_t TableNumber = 0;
    std::string TableRuleDouble;
    std::string TableRuleSingle;

    // TableNumber increased by one; the 16-bit counter stops the command rather than wrap.
    std::int16_t NextTableNumber();
};

// The edition values the window's start-up sets; the batch commands set them the same way.
void SetEditionValues(ReportHeader& header);

}  // namespace vortel
