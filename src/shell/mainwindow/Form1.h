// The main window's procedures as logic over the `Window` seam: start-up, the button switching
// and the small click handlers. The Qt window forwards its events here.
#pragma once

#include "shell/mainwindow/App.h"
#include "shell/state/Window.h"

namespace vortel {

// The button switching that a window applies for `Window::SwitchCommands`, walking the controls
// of the main window: off for a launch (only "Q. CartesianPT" stays on), on for the clock.
void SwitchCommandControls(Window& window, bool enabling);

// Start-up of the main window. Sets the edition values, `StartMoment`, `IntroPending`,
// `QuotationList`, `EditionLine`, seeds the generator and lays out the labels. A step that
// fails is passed over; start-up always finishes.
void StartUpWindow(AnalysisState& state, Services& services);

// Click on the start picture: the quotation and the command overview come early.
void ShowQuotationAndOverview(Window& window);
// Click on the quotation: a random one of the 28, the two end ones half as often.
void ShowRandomQuotation(AnalysisState& state, Services& services);
// Double click on the quotation: always the same one, number 26.
void ShowFixedQuotation(AnalysisState& state, Window& window);
// Click on the clock: every command switched on, Quit included.
void EnableEveryCommand(Window& window);
// Quit: closes every open file and hides the main window; the front end then shows the
// dedication window.
void QuitMainWindow(App& app);

// The quotation position a draw r in [0, 1) shows: r * 27 rounded, halves to even.
int QuotationPosition(double r);

}  // namespace vortel
