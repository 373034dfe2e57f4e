// The main window's small pastimes: the quotations, the command overview, the timer tick with
// its clock and greeting, and the dedication window's choice of quotation.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "shell/base/Clock.h"
#include "shell/state/Window.h"

namespace vortel {

struct AnalysisState;

inline constexpr int QuotationCount = 28;
// Where the command overview is kept in `QuotationList`.
inline constexpr int OverviewPosition = 53;

const std::array<std::string, QuotationCount>& Quotations();
// The overview of the lettered commands, lines joined and ended by a line feed.
const std::string& CommandOverview();

// The greeting for a value of `GreetingCounter`; nothing from 36 on, where the label keeps its
// caption.
std::optional<std::string> GreetingFor(std::int32_t counter);

// One tick of the main window's 500 ms timer. Reads `IntroPending`, `StartMoment`; leaves
// `SecondsSinceStart`, `GreetingCounter` and, after 15 seconds, `IntroPending` false.
void TickClock(AnalysisState& state, Window& window, Clock& clock);

// The dedication window: four sayings about teachers, the first being the button's design
// caption.
const std::array<std::string, 4>& TeacherQuotations();
// Which of the four a draw r in [0, 1) shows (0 to 3).
int DedicationChoice(float r);
// Reseeds from the clock's seconds, draws in single precision and returns the chosen saying.
std::string DedicationQuotation(Clock& clock, Random& random);

struct DedicationPlaces {
    int PictureLeft, PictureTop, ButtonLeft, ButtonTop;
};
// The picture centred across and a quarter of the free height down; the button centred below it.
DedicationPlaces PlaceDedication(int windowWidth, int windowHeight, int pictureWidth,
                                 int pictureHeight, int buttonWidth, int gap);

}  // namespace vortel
